// The Seeker and the autopilot in the main window: the window's side of the Seeker's
// controller (widgets, alerts, defaults), the tab rules, the table, and the play-all tick.
#include "BrowserDelegate.h"
#include "SeekerBridge.h"

#include "ColumnBrowser.h"
#include "Defaults.h"
#include "DefaultsKeys.h"
#include "FileWell.h"
#include "Preferences.h"
#include "Prompter.h"
#include "SeekerTableModel.h"
#include "SrkUtils.h"
#include "SuperProgressIndicator.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>

void BrowserDelegate::buildSeeker() {
    seekerBridge_ = std::make_unique<SeekerBridge>(this);
    seeker_ = std::make_unique<SeekerController>(seekerBridge_.get(), Preferences::applicationFolder());
}

void BrowserDelegate::tabViewDidChange(int index) {
    if (revertingTab_)
        return;
    const QString identifier = index == _tabView->count() - 1 ? QStringLiteral("Seeker") : QStringLiteral("Browser");
    if (!seeker_->tabViewShouldSelectTabViewItem(identifier)) {
        revertingTab_ = true;
        _tabView->setCurrentIndex(shownTab_);
        revertingTab_ = false;
        return;
    }
    shownTab_ = index;
    seeker_->tabViewWillSelectTabViewItem(identifier);
    updateMenuEnabling();
}

void BrowserDelegate::focusFilterField() {
    focusFilterWhenEnabled_ = !_filterField->isEnabled();
    if (focusFilterWhenEnabled_)
        return;
    _filterField->setFocus();
    _filterField->lineEdit()->selectAll();
}

void BrowserDelegate::rescanThread(QObject *) {
    seeker_->rescanThread();
    updateMenuEnabling();
}

void BrowserDelegate::seekerFilter(QObject *) { seeker_->seekerFilter(); }

void BrowserDelegate::_timerAutoAction(QObject *) {
    AutopilotInput input;
    input.currentTabShowing = currentTabShowing();
    input.browserCachePath = folderModel_._browserCachePath;
    input.browserCacheContents = &folderModel_._browserCacheContents;
    input.browserCacheContentsAttrs = &folderModel_._browserCacheContentsAttrs;
    input.seekerFilteredCacheContents = seeker_->_seekerCacheContents ? &seeker_->_seekerFilteredCacheContents : nullptr;
    input.soundLoaded = _sound != nullptr;
    input.soundPlaying = _sound && _sound->isPlaying();
    autopilot_._timerAutoAction(input, *seekerBridge_);
}

void BrowserDelegate::pushFileOnAutopilotHistory(const QString &file) { autopilot_.pushFileOnAutopilotHistory(file); }

void BrowserDelegate::randomSelectionJump(QObject *) {
    autopilot_.randomSelectionJump(seeker_->_seekerCacheContents ? &seeker_->_seekerFilteredCacheContents : nullptr,
                                   *seekerBridge_);
}

void BrowserDelegate::renameInSeeker(const QString &oldPath, const QString &newPath) {
    const QModelIndex current = _seeker->currentIndex();
    const int row = current.isValid() ? current.row() : -1;
    seeker_->seekerFileRenamed(oldPath, newPath);
    if (_sound)
        _sound->replaceFilename(SrkUtils::nativePath(newPath));
    fileWell->setFile(newPath);
    seekerTableModel_->reloadData();
    if (row >= 0 && row < seekerTableModel_->rowCount()) {
        _seeker->selectRow(row);
        _seeker->scrollTo(seekerTableModel_->index(row, 0));
    }
}
