// The information fields, the tempo, renaming and the sample-rate rewrite of the main window.
#include "BrowserDelegate.h"

#include "SrkUtils.h"

#include "BrowserModel.h"
#include "Defaults.h"
#include "DefaultsKeys.h"
#include "FileWell.h"
#include "InfoTexts.h"
#include "NotificationCenter.h"
#include "Prompter.h"
#include "SpeedSlider.h"

#include <QApplication>
#include "ColumnBrowser.h"
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSlider>

#include <cstdio>
#include <thread>

namespace {
}  // namespace

void BrowserDelegate::showStats(const QString &file) {
    // The facts are read on a thread of their own; the finished texts are handed to the main
    // thread. Several may run after quick selections: the last one to finish is shown.
    QPointer<BrowserDelegate> self(this);
    std::thread([self, file] {
        double sr = 0;
        uint32_t channels = 0, bits = 0, format = 0;
        int64_t bytes = 0;
        AudioKit::getAudioFileInfo(SrkUtils::nativePath(file), &sr, &channels, &bits, &format, &bytes);
        const InfoTexts texts = infoTextsFor(sr, channels, bits, format, bytes);
        QMetaObject::invokeMethod(
            qApp,
            [self, texts] {
                if (!self)
                    return;
                if (!texts.sampleRate.isEmpty()) {
                    self->_sampleRate->setText(texts.sampleRate);
                    self->_channels->setText(texts.channels);
                    self->_time->setText(texts.time);
                }
                self->_format->setText(texts.format);
                self->numberOfBeats();
                self->showComments(self.data());
                emit self->statsShown();
            },
            Qt::QueuedConnection);
    }).detach();
}

void BrowserDelegate::numberOfBeats(QObject *) {
    if (_sound) {
        const int beats = _numberOfBeats->currentText().trimmed().toInt();
        const bool keepDecimals = Defaults::boolForKey(RoundOffBPMKey);
        setBPMField(_sound->getBPM(beats, !keepDecimals));
    }
}

void BrowserDelegate::setBPMField(double tempo) {
    _BPM->setText(bpmFieldText(tempo, Defaults::boolForKey(RoundOffBPMKey)));
}

void BrowserDelegate::renameWithBPM(QObject *) {
    if (!_sound)
        return;
    play(false);
    const QString oldPath = filename();
    renameFile(oldPath, pathRenamedWithBPM(oldPath, _BPM->text(), Defaults::boolForKey(PostFixBPMKey)));
}

void BrowserDelegate::rename(QObject *) {
    if (!_sound)
        return;
    _renameField->setText(QFileInfo(filename()).fileName());
    _renamePanel->show();
    _renamePanel->raise();
    _renamePanel->activateWindow();
    _renameField->selectAll();
}

void BrowserDelegate::renameOk(QObject *) {
    if (_sound && !_renameField->text().isEmpty()) {
        play(false);
        const QString oldPath = filename();
        const QString folder = oldPath.left(oldPath.lastIndexOf(QLatin1Char('/')));
        renameFile(oldPath, folder + QLatin1Char('/') + _renameField->text());
    }
    _renamePanel->hide();
}

void BrowserDelegate::renameCancel(QObject *) { _renamePanel->hide(); }

bool BrowserDelegate::renameFile(const QString &oldPath, const QString &newPath) {
    // Never replace another file: a taken name is a failed rename, as a file manager's move is.
    const QByteArray from = QFile::encodeName(oldPath), to = QFile::encodeName(newPath);
    const QFileInfo target(newPath);
    const bool taken = target.exists() || target.isSymLink();
    if (newPath.isEmpty() || taken || std::rename(from.constData(), to.constData()) != 0) {
        Prompter::shared().critical(kAppName, QStringLiteral("Rename failed."));
        return false;
    }
    const QString newName = target.fileName();
    if (currentTabShowing() == 0) {
        // The entry keeps its place in the listing with its new name until the folder is
        // listed again.
        const QModelIndex current = browser->selectedIndex();
        const int row = current.isValid() ? current.row() : -1;
        if (row >= 0 && row < folderModel_._browserCacheContents.size())
            folderModel_._browserCacheContents[row] = newName;
        if (_sound)
            _sound->replaceFilename(SrkUtils::nativePath(newPath));
        browserModel_->renameRow(current, newName);
        browser->refreshSelection();
        fileWell->setFile(newPath);
    } else {
        renameInSeeker(oldPath, newPath);
    }
    beep();
    NotificationCenter::defaultCenter().post(kFavoritesDirectoryDidChange, this);
    return true;
}

void BrowserDelegate::writeNewSampleRate(QObject *) {
    if (!_sound)
        return;
    const QString file = filename();
    const Prompter::Choice choice = Prompter::shared().threeButton(
        kAppName,
        QStringLiteral("Are you sure you want to permanently change the sample rate (playback speed) of the file %1?")
            .arg(QFileInfo(file).fileName()),
        QStringLiteral("Yes"), QStringLiteral("Make 44100"), QStringLiteral("No"));
    if (choice == Prompter::Other)
        return;
    const double speed = _speedSlider->doubleValue();
    if (AudioKit::writeNewSampleRateHeaderInfo(SrkUtils::nativePath(file), speed, choice == Prompter::Alternate))
        Prompter::shared().informational(
            kAppName, QStringLiteral("Unable to write the file header.  Is the file locked?  Check permissions."));
    {
        const QSignalBlocker block(_speedSlider);
        _speedSlider->setDoubleValue(1.0);
    }
    setPlaybackSpeed(1.0);
}
