// The audition transport of the main window: load and start the current file, play, stop,
// loop, play-all, speed and volume, the interface sounds and the spinning disc.
#include "BrowserDelegate.h"

#include "SrkUtils.h"

#include "EndOfSoundSignal.h"
#include "FileWell.h"
#include "SpeedSlider.h"
#include "SrkTrace.h"

#include <QAction>
#include "ColumnBrowser.h"
#include <QListView>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableView>
#include <QThread>
#include <QTimer>

namespace {
}  // namespace

void BrowserDelegate::clickIt(QObject *, bool fromAutopilot) {
    if (_sound) {
        if (inPlayAllMode && !fromAutopilot)
            stopPlayAll();
        play(false);
        _sound.reset();
    }
    const QString file = fileWell->file();
    if (file.isEmpty() || !AudioKit::canPlayFile(SrkUtils::nativePath(file), false)) {
        enableButtons(false);
        updateMenuEnabling();
        return;
    }
    enableButtons(true);
    if (fromAutopilot)
        pushFileOnAutopilotHistory(file);
    _sound = soundFactory_(SrkUtils::nativePath(file));
    if (_sound) {
        _sound->setDelegate(this);
        _sound->setPlaybackSpeed(_playbackSpeed);
        _sound->setVolume(_volume / 100.0);
    }
    showStats(file);
    play(true);
    updateMenuEnabling();
}

void BrowserDelegate::play(bool start) {
    if (start) {
        _stopButton->setShortcut(QKeySequence(Qt::Key_Space));
        _playButton->setShortcut(QKeySequence());
        _playButton->setChecked(true);
        startVinyl(true);
        if (_sound)
            _sound->play(loopPlayFlag);
        srkTrace(QStringLiteral("play %1").arg(_sound ? filename() : QStringLiteral("(nothing)")));
        emit playbackStateChanged(true);
    } else {
        _stopButton->setShortcut(QKeySequence());
        _playButton->setShortcut(QKeySequence(Qt::Key_Space));
        _playButton->setChecked(false);
        stopVinyl();
        if (_sound)
            _sound->stop();
        srkTrace(QStringLiteral("stop"));
        emit playbackStateChanged(false);
    }
}

void BrowserDelegate::playButton(QObject *) { play(true); }

void BrowserDelegate::stopButton(QObject *) {
    stopPlayAll();
    play(false);
}

void BrowserDelegate::loopPlay(QObject *) {
    loopPlayFlag = _loopPlayButton->isChecked();
    if (_sound)
        _sound->setLooping(loopPlayFlag);
}

void BrowserDelegate::playAllButton(QObject *) {
    const bool wanted = _playAllButton->isChecked();
    stopPlayAll();
    if (currentTabShowing() == 0) {
        // The selected row of the last visible column (-1 when a folder is selected, since
        // its column has no selection yet).
        QListView *last = browser->columnView(browser->columnCount() - 1);
        const QModelIndexList sel = last ? last->selectionModel()->selectedIndexes() : QModelIndexList();
        autopilot_.playAllCounter = sel.isEmpty() ? -1 : sel.first().row();
    } else {
        const QModelIndex current = _seeker ? _seeker->currentIndex() : QModelIndex();
        autopilot_.playAllCounter = current.isValid() ? current.row() : -1;
    }
    play(false);
    inPlayAllMode = wanted;
    _playAllButton->setChecked(wanted);
    if (inPlayAllMode) {
        loopPlayFlag = false;
        _loopPlayButton->setChecked(false);
        _autoTimer = new QTimer(this);
        _autoTimer->setInterval(1000);
        connect(_autoTimer, &QTimer::timeout, this, [this] { _timerAutoAction(_autoTimer); });
        _autoTimer->start();
    }
}

void BrowserDelegate::stopPlayAll() {
    if (!inPlayAllMode)
        return;
    autopilot_.clearAutopilotHistory();
    inPlayAllMode = false;
    _playAllButton->setChecked(false);
    if (_autoTimer) {
        _autoTimer->stop();
        _autoTimer->deleteLater();
        _autoTimer = nullptr;
    }
}

void BrowserDelegate::soundDidFinishPlaying() {
    if (QThread::currentThread() == thread())
        showStoppedState();
    else
        endOfSound_->raise();
}

void BrowserDelegate::showStoppedState() {
    stopVinyl();
    _stopButton->setShortcut(QKeySequence());
    _playButton->setShortcut(QKeySequence(Qt::Key_Space));
    _playButton->setChecked(false);
    srkTrace(QStringLiteral("finished"));
    emit playbackStateChanged(false);
}

void BrowserDelegate::speedSlider(QObject *) { setPlaybackSpeed(_speedSlider->doubleValue()); }

void BrowserDelegate::setPlaybackSpeed(double speed) {
    _playbackSpeed = speed;
    clickIt(this, false);
}

void BrowserDelegate::resetSpeedSlider(QObject *) {
    if (_speedSlider->doubleValue() == 1.0)
        return;
    if (_sound && _sound->isPlaying())
        spinup();
    setPlaybackSpeed(1.0);
    const QSignalBlocker block(_speedSlider);
    _speedSlider->setDoubleValue(1.0);
}

void BrowserDelegate::volumeSlider(QObject *) { setVolumeControl(double(_volumeSlider->value())); }

void BrowserDelegate::setVolumeControl(double volume) {
    _volume = volume;
    if (_sound)
        _sound->setVolume(volume / 100.0);
}

void BrowserDelegate::beep() {
    if (_beep) {
        _beep->stop();
        _beep->play(false);
    }
}

void BrowserDelegate::spinup() {
    if (!_spinup)
        return;
    _spinup->setVolume(0.6);
    _spinup->stop();
    if (_spinup->play(false))
        return;
    // Wait for the spin-up sound to end, but never longer than a few seconds in case the
    // sound never reports its end.
    QElapsedTimer waited;
    waited.start();
    while (_spinup->isPlaying() && waited.elapsed() < 5000)
        QThread::msleep(10);
    _spinup->stop();
}

void BrowserDelegate::initVinyl() {
    _endDiscSpinningThread = false;
    _discAnimationArray.clear();
    for (int i = 1; i <= 60; ++i) {
        const QPixmap frame(resourcePath(QStringLiteral("disc00%1.jpg").arg(i, 2, 10, QLatin1Char('0'))));
        if (!frame.isNull())
            _discAnimationArray.append(frame);
    }
    _discSpinning = false;
    _discSpinningFrame = 0;
    if (!_discAnimationArray.isEmpty() && _diskView)
        _diskView->setPixmap(_discAnimationArray.first());
}

void BrowserDelegate::startVinyl(bool) {
    _discSpinning = true;
    if (!discTimer_) {
        // The disc turns on the main thread, one frame every 0.03 s (about 33 frames/s).
        discTimer_ = new QTimer(this);
        discTimer_->setTimerType(Qt::PreciseTimer);
        discTimer_->setInterval(30);
        connect(discTimer_, &QTimer::timeout, this, &BrowserDelegate::discSpinAction);
        discTimer_->start();
    }
}

void BrowserDelegate::stopVinyl() { _discSpinning = false; }

void BrowserDelegate::discSpinAction() {
    if (_endDiscSpinningThread) {
        if (discTimer_)
            discTimer_->stop();
        return;
    }
    if (!_discSpinning || _discAnimationArray.isEmpty())
        return;
    if (_discSpinningFrame >= _discAnimationArray.size())
        _discSpinningFrame = 0;
    if (_diskView)
        _diskView->setPixmap(_discAnimationArray.at(_discSpinningFrame));
    _discSpinningFrame = (_discSpinningFrame + 1) % int(_discAnimationArray.size());
}
