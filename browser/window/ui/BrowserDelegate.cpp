#include "BrowserDelegate.h"

#include "BPMTapPad.h"
#include "BrowserModel.h"
#include "Defaults.h"
#include "DefaultsKeys.h"
#include "DesktopServices.h"
#include "EndOfSoundSignal.h"
#include "FileWell.h"
#include "Preferences.h"
#include "Prompter.h"
#include "SeekerBridge.h"
#include "SrkTrace.h"
#include "SrkUtils.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include "ColumnBrowser.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include <cstdio>

namespace {

const QString kMissingFileBrowser = QStringLiteral(
    "Unable to locate the file \"%1\".  The file may have been moved, renamed or deleted outside of "
    "Soundrake.");
const QString kMissingFileSeeker = QStringLiteral(
    "Unable to locate the file \"%1\".  The file may have been moved, renamed or deleted outside of "
    "Soundrake.  The saved scan memory is out of sync with the system.");
}  // namespace

BrowserDelegate::BrowserDelegate(QObject *parent) : QObject(parent) {
    endOfSound_ = std::make_unique<EndOfSoundSignal>([this] {
        // Only the current sound's end changes the buttons: an older sound that ended after
        // a new one started must not show the stopped state.
        if (!_sound || !_sound->isPlaying())
            showStoppedState();
    });
    browserModel_ = new BrowserModel(
        [this](const QString &folder) {
            const QStringList &names = directoryContentsAtPath(folder);
            std::vector<BrowserModel::Entry> entries;
            entries.reserve(size_t(names.size()));
            for (qsizetype i = 0; i < names.size(); ++i)
                entries.push_back({names[i], folderModel_._browserCacheContentsAttrs.value(i) == 1});
            return entries;
        },
        this);
    buildSeeker();
    buildInterface();
}

BrowserDelegate::~BrowserDelegate() {
    std::puts("Soundrake -- Terminated.");
    std::fflush(stdout);
    if (_autoTimer) {
        _autoTimer->stop();
        _autoTimer = nullptr;
    }
    // Sounds go before the window whose delegate they report to.
    _sound.reset();
    _beep.reset();
    _spinup.reset();
    // The Seeker table stops reading the Seeker's lists before they go; the Seeker goes
    // (stopping a running scan and waiting for its worker) while its widgets still exist.
    if (_seeker)
        _seeker->setModel(nullptr);
    seeker_.reset();
    delete _window;
}

// ---------------------------------------------------------------------------------------
// Start-up

void BrowserDelegate::awakeFromNib() {
    enableButtons(false);
    if (_scanbar)
        _scanbar->hide();
    if (_scanbarText)
        _scanbarText->hide();

    rootPath = QStringLiteral("/");
    browserModel_->reload();

    setBrowserPath(Preferences::startUpDir());
    doClickBrowser();

    _beep = AudioKit::initWithContentsOfFile(SrkUtils::nativePath(resourcePath(QStringLiteral("beep.aif"))));
    _spinup = AudioKit::initWithContentsOfFile(SrkUtils::nativePath(resourcePath(QStringLiteral("spinup.aif"))));

    _seekerVocabulary = std::make_unique<SeekerVocabulary>(QFileInfo(resourcePath(SeekerVocabulary::_vocabularyFilename)).path());
    if (const QStringList *words = _seekerVocabulary->getSeekerVocabulary()) {
        const QString typed = _filterField->currentText();
        _filterField->addItems(*words);
        _filterField->setEditText(typed);
    }

    const bool savedResults = Defaults::boolForKey(SeekerUseSavedResultsKey);
    const bool findInPaths = Defaults::boolForKey(SeekerFindsInPathsKey);
    const bool deepScan = Defaults::boolForKey(SeekerUseDeepScanKey);
    const bool openInSeeker = Defaults::boolForKey(OpenInSeekerKey);
    seeker_->setStartupOptions(savedResults, findInPaths, deepScan, openInSeeker);
    _seekerUseSavedResults->setChecked(savedResults);
    _findInPaths->setChecked(findInPaths);
    _seekerUseDeepScan->setChecked(deepScan);
    _openInSeeker->setChecked(openInSeeker);
    autopilot_._autoRandom = Defaults::boolForKey(AutoRandomKey);
    _autoRandomMenu->setChecked(autopilot_._autoRandom);
    autopilot_._autoPause = Defaults::boolForKey(AutoPauseKey);
    _autopilotPauseMenu->setChecked(autopilot_._autoPause);

    loopPlayFlag = _loopPlayButton->isChecked();
    inPlayAllMode = _playAllButton->isChecked();

    _commentsDirty = false;
    autopilot_.playAllCounter = 0;
    _autoTimer = nullptr;
    autopilot_.clearAutopilotHistory();
    _playbackSpeed = 1.0;
    _volume = 100.0;

    if (Defaults::boolForKey(TapPadWindowOpenKey))
        BPMTapPanel(this);
    if (!Defaults::boolForKey(InfoOpenKey))
        _infoTabView->setCurrentIndex(_infoTabView->count() - 1);

    initVinyl();

    if (openInSeeker && savedResults) {
        // The tab's rules then restore the saved scan.
        _tabView->setCurrentIndex(_tabView->count() - 1);
    }

    const QByteArray frame = Defaults::bytesForKey(DefaultWindowKey);
    if (!frame.isEmpty())
        _window->restoreGeometry(frame);
    _window->show();
    _window->activateWindow();

    const QString start = Preferences::startUpDir();
    setBrowserPath(start);
    directoryContentsAtPath(FolderModel::listingPathFor(start));
    doClickBrowser();
    browser->focusSelection();
    updateMenuEnabling();
    srkTrace(QStringLiteral("ready"));
}

QString BrowserDelegate::resourcePath(const QString &name) const {
    // Resources are installed beside the program (bin/resources in a build); SRK_RESOURCE_DIR
    // names another folder (tests and tools that run from elsewhere in the build).
    const QString override = qEnvironmentVariable("SRK_RESOURCE_DIR");
    if (!override.isEmpty() && QFileInfo::exists(override + QLatin1Char('/') + name))
        return override + QLatin1Char('/') + name;
    const QStringList candidates = {
        QCoreApplication::applicationDirPath() + QStringLiteral("/resources/") + name,
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/soundrake/") + name,
    };
    for (const QString &c : candidates)
        if (QFileInfo::exists(c))
            return c;
    return candidates.first();
}

// ---------------------------------------------------------------------------------------
// Folder model

QString BrowserDelegate::path(int column) const {
    QStringList names;
    const QModelIndex current = browser ? browser->selectedIndex() : QModelIndex();
    if (current.isValid())
        names = browserModel_->namesTo(current);
    return FolderModel::pathForColumn(column, names);
}

const QStringList &BrowserDelegate::directoryContentsAtPath(const QString &folder) {
    return folderModel_.directoryContentsAtPath(folder);
}

void BrowserDelegate::reloadBrowserView() {
    // Column 0 is listed again and the columns to its right go away.
    folderModel_.invalidate();
    browserModel_->reload();
}

QString BrowserDelegate::browserPath() const {
    const QModelIndex current = browser ? browser->selectedIndex() : QModelIndex();
    if (!current.isValid())
        return QStringLiteral("/");
    return browserModel_->browserPathOf(current);
}

bool BrowserDelegate::setBrowserPath(const QString &browserPathValue) {
    const QString single = SrkUtils::stripSlashIfNeeded(browserPathValue);
    return browser->setPath(single) || single == QLatin1String("/");
}

int BrowserDelegate::selectedColumn() const {
    return browser ? browser->selectedColumn() : -1;
}

void BrowserDelegate::doClickBrowser() { singleClick(browser); }

void BrowserDelegate::setFilename(const QString &file) {
    // saveComments: hands the previous file's edited comment back to the file system.
    saveComments(fileWell->file());
    if (!QFileInfo::exists(file) && !QFileInfo(file).isSymLink()) {
        const QString name = QFileInfo(file).fileName();
        Prompter::shared().critical(kAppName, (seeker_->_seekerUseSavedResultsValue ? kMissingFileSeeker
                                                                            : kMissingFileBrowser)
                                                  .arg(name));
        return;
    }
    fileWell->setFile(file);
    srkTrace(QStringLiteral("current %1").arg(file));
    emit currentFileChanged(file);
}

QString BrowserDelegate::filename() const {
    if (!_sound)
        return QString();
    return QFile::decodeName(QByteArray::fromStdString(_sound->filename()));
}

void BrowserDelegate::singleClick(QObject *sender) {
    if (sender == browser) {
        setFilename(path(selectedColumn() + 1));
    } else if (sender == _seeker && _seeker) {
        const QModelIndex current = _seeker->currentIndex();
        const QStringList &rows = seeker_->_seekerFilteredCacheContents;
        if (current.isValid() && current.row() >= 0 && current.row() < rows.size())
            setFilename(rows.at(current.row()));
    }
    clickIt(sender, false);
}

void BrowserDelegate::doubleClick(QObject *) {
    const QString editor = Defaults::stringForKey(AudioEditorKey);
    const QString file = fileWell->file();
    if (!file.isEmpty() && AudioKit::canPlayFile(SrkUtils::nativePath(file), false)) {
        stopPlayAll();
        play(false);
        enableButtons(true);
        DesktopServices::shared().openFile(SrkUtils::stripSlashIfNeeded(file), editor);
    } else {
        enableButtons(false);
    }
}

void BrowserDelegate::fileWellClick(QObject *) {
    const QString file = fileWell->file();
    if (file.isEmpty())
        return;
    _tabView->setCurrentIndex(0);
    setBrowserPath(file);
    singleClick(browser);
}

void BrowserDelegate::fileWellDoubleClick(QObject *) { doubleClick(browser); }

void BrowserDelegate::gotoDirectory(const QString &folder) {
    stopPlayAll();
    play(false);
    setBrowserPath(folder);
    const QString single = SrkUtils::stripSlashIfNeeded(folder);
    directoryContentsAtPath(FolderModel::listingPathFor(single));
    _tabView->setCurrentIndex(0);
    doClickBrowser();
}

QString BrowserDelegate::volumesFolder() {
    const QString user = qEnvironmentVariable("USER", QDir::home().dirName());
    for (const QString &candidate : {QStringLiteral("/media/") + user, QStringLiteral("/run/media/") + user})
        if (QFileInfo(candidate).isDir())
            return candidate;
    return QStringLiteral("/mnt");
}

void BrowserDelegate::jump(QObject *) {
    const QString file = filename();
    if (!file.isEmpty())
        gotoDirectory(QFileInfo(SrkUtils::stripSlashIfNeeded(file)).path());
}
void BrowserDelegate::gotoVolumes(QObject *) { gotoDirectory(volumesFolder()); }
void BrowserDelegate::gotoDesktop(QObject *) { gotoDirectory(QDir::homePath() + QStringLiteral("/Desktop")); }
void BrowserDelegate::gotoRoot(QObject *) { gotoDirectory(QStringLiteral("/")); }
void BrowserDelegate::gotoFavorites(QObject *) { gotoDirectory(Preferences::favortiesDirectory()); }
void BrowserDelegate::gotoStartUpDir(QObject *) { gotoDirectory(Preferences::startUpDir()); }

void BrowserDelegate::makeFavortiesDirectory(QObject *) { Preferences::makeFavortiesDirectory(fileWell->file()); }
void BrowserDelegate::makeStartupDirectory(QObject *) { Preferences::makeStartupDirectory(fileWell->file()); }

void BrowserDelegate::revealInFinder(QObject *) {
    const QString file = filename();
    if (!file.isEmpty())
        DesktopServices::shared().revealFile(SrkUtils::stripSlashIfNeeded(file));
}

void BrowserDelegate::startNewSoundrake(QObject *) { DesktopServices::shared().startNewCopy(); }

void BrowserDelegate::BPMTapPanel(QObject *) {
    BPMTapPad::sharedTapPad()->show([this](double tempo) { setBPMField(tempo); },
                                    QFileInfo(resourcePath(QStringLiteral("TapPadKick.aif"))).path());
}

void BrowserDelegate::textDidChange() { _commentsDirty = true; }

void BrowserDelegate::enableButtons(bool enable) {
    for (QPushButton *b : {_playButton, _stopButton, _playAllButton, _loopPlayButton, _renameWithBPMButton,
                           _copyToFavoritesButton, _referToFavoritesButton, _moveToTrashButton})
        if (b)
            b->setEnabled(enable);
    for (QLabel *l : {_sampleRate, _channels, _format, _time})
        if (l)
            l->setText(QString());
    if (_BPM)
        _BPM->setText(QString());
    // Without a sound there is no file to keep a comment for: the field shows nothing and takes
    // no edits (an edit still waiting to be written is left alone).
    if (_comments) {
        _comments->setEnabled(enable);
        if (!enable && !_commentsDirty)
            _comments->clear();
    }
}

bool BrowserDelegate::validateMenuItem(QAction *item) const {
    const QString action = item->property("srkAction").toString();
    MenuState state;
    state.seekerShowing = currentTabShowing() == 1;
    state.soundLoaded = _sound != nullptr;
    state.scanRunning = seeker_->isBusy();
    return validateMenuAction(action, state);
}

void BrowserDelegate::updateMenuEnabling() {
    for (QAction *a : std::as_const(actions_))
        if (!a->property("srkAction").toString().isEmpty())
            a->setEnabled(validateMenuItem(a));
}

void BrowserDelegate::saveDefaults() {
    Defaults::setBool(BPMTapPad::panelShowing(), TapPadWindowOpenKey);
    Defaults::setBool(_infoTabView->currentIndex() == 0, InfoOpenKey);
    Defaults::setBytes(_window->saveGeometry(), DefaultWindowKey);
    Defaults::synchronize();
}

bool BrowserDelegate::eventFilter(QObject *watched, QEvent *event) {
    if (watched == _window && event->type() == QEvent::Close && !quitting_)
        cleanQuit(_window);
    return QObject::eventFilter(watched, event);
}

void BrowserDelegate::cleanQuit(QObject *) {
    if (quitting_)
        return;
    quitting_ = true;
    seeker_->endThread();
    _endDiscSpinningThread = true;
    stopPlayAll();
    saveComments(filename());
    saveDefaults();
    srkTrace(QStringLiteral("quit"));
    QCoreApplication::quit();
}
