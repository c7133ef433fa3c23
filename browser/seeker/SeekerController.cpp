#include "SeekerController.h"

#include "SeekerFilter.h"
#include "SeekerMessages.h"

namespace {
const QString kBrowserTab = QStringLiteral("Browser");
const QString kSeekerTab = QStringLiteral("Seeker");
}  // namespace

SeekerController::SeekerController(SeekerUi *ui, QString memoryFolder, SeekerPlayabilityTest canPlayFile)
    : ui_(ui), memory_(std::move(memoryFolder)), worker_(std::move(canPlayFile)) {}

SeekerController::~SeekerController() = default;

// ---- Tabs ----

bool SeekerController::tabViewShouldSelectTabViewItem(const QString &identifier) {
    if (identifier == kBrowserTab) {
        if (!isBusy())
            return true;
        return ui_->informationalQuestion(kBusyLeave, QStringLiteral("Yes"), QStringLiteral("No"));
    }
    if (identifier == kSeekerTab) {
        if (isBusy() && !_seekerUseSavedResultsValue) {
            ui_->informational(kBusyGoAwayPlease);
            return false;
        }
        if (_seekerUseSavedResultsValue) {
            if (!memory_.exists()) {
                ui_->critical(kNoScanMemoryError);
                setSeekerMemoryState(false);
            }
            return true;
        }
        return shouldSeekFromTheRoot();
    }
    return true;
}

void SeekerController::tabViewWillSelectTabViewItem(const QString &identifier) {
    ui_->stopPlayAll();
    if (identifier == kBrowserTab) {
        _currentTabShowing = 0;
        stopRescanThread();
    } else if (identifier == kSeekerTab) {
        _currentTabShowing = 1;
        const QString browserPath = ui_->browserCachePath();
        if (_seekerUseSavedResultsValue)
            restoreSaved();
        else if (!_seekerCachePath.isNull() && !browserPath.isNull() &&
                 QString::compare(browserPath, _seekerCachePath, Qt::CaseInsensitive) == 0)
            seekerFilter();   // same folder: the list is reused, the filter applied again
        else
            rescanThread();
    }
}

bool SeekerController::shouldSeekFromTheRoot() {
    if (ui_->browserCachePath() != QLatin1String("/"))
        return true;
    // The default button is "Go Back"; only "Continue" goes on.
    return !ui_->informationalQuestion(kSeekerWillTakeALogTimeWarning, QStringLiteral("Go Back"),
                                       QStringLiteral("Continue"));
}

// ---- Scan ----

void SeekerController::rescanThread() {
    if (isBusy())
        return;
    setSeekerMemoryState(false);
    ui_->enableSeekerButtons(false);
    ui_->setFilterFieldText(QString());
    ui_->setSeekerInfoLine(QString());
    _seekerCacheContents.reset();
    _seekerFilteredCacheContents.clear();
    _seekerCachePath = ui_->browserCachePath();
    if (_seekerCachePath.isNull())
        _seekerCachePath = QStringLiteral("");
    ui_->showProgressBar(&kOneMomentPlease, 100.0);
    worker_.start(_seekerCachePath, &queuedSink_);
}

void SeekerController::stopRescanThread() {
    if (!isBusy())
        return;
    worker_.requestStop();
    _seekerCacheContents.reset();
    _seekerCachePath = QString();
    _seekerFilteredCacheContents.clear();
    ui_->updateProgrssBar(0.0);
    updateSeekerStatusLine();
}

void SeekerController::Receiver::scanDidList(qsizetype entryCount) {
    owner_->ui_->showProgressBar(nullptr, double(entryCount));
}

void SeekerController::Receiver::scanDidProgress(qsizetype index) {
    owner_->ui_->updateProgrssBar(double(index));
}

void SeekerController::Receiver::scanDidStop() {
    owner_->_seekerCachePath = QString();
    owner_->ui_->updateProgrssBar(0.0);
    owner_->updateSeekerStatusLine();
    owner_->worker_.finish();
}

void SeekerController::Receiver::scanDidComplete(QStringList found) {
    // A stop requested after the worker tested its last entry reaches the worker too late;
    // the result is discarded here as the stop asked.
    if (owner_->worker_.stopRequested()) {
        scanDidStop();
        return;
    }
    owner_->_seekerFilteredCacheContents = found;
    owner_->_seekerCacheContents = std::move(found);
    owner_->updateSeekerStatusLine();
    owner_->ui_->enableSeekerButtons(true);
    owner_->worker_.finish();
}

void SeekerController::updateSeekerStatusLine() {
    ui_->hideProgressBar();
    ui_->setSeekerInfoLine(QString());
    ui_->reloadSeekerTable();
    const QString date = _seekerUseSavedResultsValue ? memory_.modificationDate() : QString();
    ui_->setSeekerInfoLine(seekerStatusLine(_seekerFilteredCacheContents.size(), _seekerUseSavedResultsValue, date));
}

// ---- Table ----

QString SeekerController::tableViewObjectValueForTableColumnRow(const QString &column, int row) const {
    if (row < 0 || row >= _seekerFilteredCacheContents.size())
        return QString();
    return seekerCellText(column, _seekerFilteredCacheContents.at(row), _seekerCachePath, _seekerUseSavedResultsValue);
}

// ---- Options ----

void SeekerController::seekerUseDeepScan() {
    const bool on = !worker_.deepScan();
    worker_.setDeepScan(on);
    ui_->showSeekerUseDeepScan(on);
    if (_seekerUseSavedResultsValue)
        return;   // takes effect at the next scan
    if (ui_->informationalQuestion(kWantToRescan, QStringLiteral("Yes"), QStringLiteral("No"))) {
        stopRescanThread();
        rescanThread();   // nothing while the stopped scan is still finishing
    }
}

void SeekerController::openInSeeker() {
    _openInSeekerValue = !_openInSeekerValue;
    ui_->showOpenInSeeker(_openInSeekerValue);
    if (_openInSeekerValue) {
        // Starting in the Seeker means starting with the saved list; the file is not checked here.
        _seekerUseSavedResultsValue = true;
        ui_->showSeekerUseSavedResults(true);
    }
}

void SeekerController::findInPaths() {
    _findInPathsValue = !_findInPathsValue;
    ui_->showFindInPaths(_findInPathsValue);
    if (_currentTabShowing == 1)
        seekerFilter();
}

void SeekerController::seekerUseSavedResults() {
    bool on = !_seekerUseSavedResultsValue;
    if (!memory_.exists()) {
        ui_->critical(kNoScanMemoryError);
        on = false;
    }
    setSeekerMemoryState(on);
    if (_currentTabShowing == 1) {
        stopRescanThread();
        if (on)
            restoreSaved();
        else
            rescanThread();
    } else {
        _seekerCachePath = QString();   // the next entry scans instead of reusing the list
    }
}

void SeekerController::setStartupOptions(bool useSavedResults, bool findInPathsValue, bool useDeepScan,
                                         bool openInSeekerValue) {
    _seekerUseSavedResultsValue = useSavedResults;
    _findInPathsValue = findInPathsValue;
    worker_.setDeepScan(useDeepScan);
    _openInSeekerValue = openInSeekerValue;
}

// ---- Filter ----

void SeekerController::seekerFilter() {
    _seekerFilteredCacheContents =
        seekerFilterPaths(_seekerCacheContents ? &*_seekerCacheContents : nullptr, ui_->filterFieldText(),
                          _findInPathsValue);
    ui_->enableSeekerButtons(true);
    updateSeekerStatusLine();
}

// ---- Saved scan memory ----

void SeekerController::saveSeeker() {
    if (isBusy()) {
        ui_->informational(kBusyScanningTryAgain);
        return;
    }
    if (_saveSeeker())
        ui_->informational(kTheScanWasSaved);
    else
        reportMemoryNotSaved();
}

bool SeekerController::_saveSeeker() {
    if (!memory_.write(_seekerCacheContents.value_or(QStringList())))
        return false;
    setSeekerMemoryState(true);
    return true;
}

void SeekerController::reportMemoryNotSaved() {
    ui_->critical(QString(kScanMemoryNotSaved).replace(QLatin1String("%@"), memory_.folder()));
}

void SeekerController::restoreSaved() {
    ui_->enableSeekerButtons(true);
    ui_->setFilterFieldText(QString());
    ui_->setSeekerInfoLine(QString());
    _seekerCacheContents.reset();
    _seekerFilteredCacheContents.clear();
    _seekerCacheContents = memory_.read();
    if (_seekerCacheContents)
        _seekerFilteredCacheContents = *_seekerCacheContents;
    updateSeekerStatusLine();
    if (!_seekerCacheContents || _seekerCacheContents->isEmpty()) {
        stopRescanThread();
        rescanThread();
    }
}

void SeekerController::setSeekerMemoryState(bool on) {
    _seekerUseSavedResultsValue = on;
    ui_->showSeekerUseSavedResults(on);
}

// ---- File operations ----

void SeekerController::seekerFileRenamed(const QString &oldPath, const QString &newPath) {
    if (_seekerCacheContents) {
        for (QString &path : *_seekerCacheContents) {
            if (path == oldPath)
                path = newPath;
        }
    }
    seekerFilter();
    if (_seekerUseSavedResultsValue && !_saveSeeker())
        reportMemoryNotSaved();
}

void SeekerController::seekerFileTrashed(const QString &path) {
    if (_seekerCacheContents)
        _seekerCacheContents->removeAll(path);
    if (_seekerUseSavedResultsValue && !_saveSeeker())
        reportMemoryNotSaved();
    seekerFilter();
}
