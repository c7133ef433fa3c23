#include "SeekerController.h"
#include "SeekerMessages.h"
#include "SeekerTestSupport.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace {

// The window's side, recorded: widget texts, option marks, alerts (answered from a script).
class FakeSeekerUi : public SeekerUi {
public:
    QString browserPath;
    QString filterText;
    QString infoLine;
    bool buttonsEnabled = false;
    bool progressShown = false;
    double progressValue = -1, progressMax = -1;
    QString progressText;
    int tableReloads = 0, playAllStops = 0;
    bool savedResultsMark = false, deepScanMark = false, openInSeekerMark = false, findInPathsMark = false;
    QStringList alerts;          // "question: text", "info: text", "critical: text"
    QList<bool> answers;         // for questions; true (the default button) when empty

    QString browserCachePath() override { return browserPath; }
    void stopPlayAll() override { ++playAllStops; }
    QString filterFieldText() override { return filterText; }
    void setFilterFieldText(const QString &t) override { filterText = t; }
    void setSeekerInfoLine(const QString &t) override { infoLine = t; }
    void enableSeekerButtons(bool e) override { buttonsEnabled = e; }
    void showProgressBar(const QString *text, double maxSize) override {
        if (text)
            progressText = *text;
        progressShown = true;
        progressMax = maxSize;
        progressValue = 0;
    }
    void updateProgrssBar(double v) override {
        progressShown = true;
        progressValue = v;
    }
    void hideProgressBar() override {
        progressShown = false;
        progressText.clear();
        progressValue = 0;
    }
    void reloadSeekerTable() override { ++tableReloads; }
    void showSeekerUseSavedResults(bool on) override { savedResultsMark = on; }
    void showSeekerUseDeepScan(bool on) override { deepScanMark = on; }
    void showOpenInSeeker(bool on) override { openInSeekerMark = on; }
    void showFindInPaths(bool on) override { findInPathsMark = on; }
    bool informationalQuestion(const QString &m, const QString &, const QString &) override {
        alerts << "question: " + m;
        return answers.isEmpty() ? true : answers.takeFirst();
    }
    void informational(const QString &m) override { alerts << "info: " + m; }
    void critical(const QString &m) override { alerts << "critical: " + m; }
};

// A playability test that can hold the scan on a chosen entry until released.
class Gate {
public:
    SeekerPlayabilityTest test() {
        return [this](const std::string &path, bool checkOnlyExt) {
            std::unique_lock lock(m_);
            ++tested_;
            lastCheckOnlyExt_ = checkOnlyExt;
            if (holdAt_ == tested_) {
                held_ = true;
                cv_.notify_all();
                cv_.wait(lock, [this] { return !holdAt_; });
            }
            return QString::fromStdString(path).endsWith(".wav");
        };
    }
    void holdAt(int entry) {
        std::lock_guard lock(m_);
        holdAt_ = entry;
        held_ = false;
    }
    void waitUntilHeld() {
        std::unique_lock lock(m_);
        cv_.wait(lock, [this] { return held_; });
    }
    void release() {
        std::lock_guard lock(m_);
        holdAt_ = 0;
        cv_.notify_all();
    }
    int tested() {
        std::lock_guard lock(m_);
        return tested_;
    }
    bool lastCheckOnlyExt() {
        std::lock_guard lock(m_);
        return lastCheckOnlyExt_;
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    int tested_ = 0, holdAt_ = 0;
    bool held_ = false, lastCheckOnlyExt_ = true;
};

class SeekerControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        seekerTestApp();
        root = tmp.path() + "/Lib";
        for (const char *name : {"Kick 01.wav", "Snare.wav", "Drums/808KICK.wav", "Drums/k1.wav", "notes.txt"})
            writeBytes(root + "/" + name, "x");
        memoryFolder = tmp.path() + "/app";
        QDir().mkpath(memoryFolder);
        ui.browserPath = root;
        seeker = std::make_unique<SeekerController>(&ui, memoryFolder, gate.test());
    }
    void TearDown() override {
        gate.release();
        seeker.reset();
    }
    void enterSeeker() {
        if (seeker->tabViewShouldSelectTabViewItem("Seeker"))
            seeker->tabViewWillSelectTabViewItem("Seeker");
    }
    void leaveSeeker() {
        if (seeker->tabViewShouldSelectTabViewItem("Browser"))
            seeker->tabViewWillSelectTabViewItem("Browser");
    }
    bool waitIdle() { return processEventsUntil([this] { return !seeker->isBusy(); }); }
    QStringList rows() const { return seeker->_seekerFilteredCacheContents; }

    QTemporaryDir tmp;
    QString root, memoryFolder;
    FakeSeekerUi ui;
    Gate gate;
    std::unique_ptr<SeekerController> seeker;
};

TEST_F(SeekerControllerTest, ScanPublishesTheSortedListWithItsStatusLine) {
    enterSeeker();
    EXPECT_TRUE(seeker->isBusy());
    EXPECT_EQ(ui.progressText, kOneMomentPlease);
    EXPECT_FALSE(ui.buttonsEnabled);
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(rows(), QStringList({root + "/Drums/808KICK.wav", root + "/Drums/k1.wav", root + "/Kick 01.wav",
                                   root + "/Snare.wav"}));
    EXPECT_EQ(seeker->_seekerCacheContents.value(), rows());
    EXPECT_EQ(seeker->_seekerCachePath, root);
    EXPECT_EQ(ui.infoLine, "4 files found");
    EXPECT_FALSE(ui.progressShown);
    EXPECT_TRUE(ui.buttonsEnabled);
    EXPECT_EQ(seeker->numberOfRowsInTableView(), 4);
    EXPECT_EQ(seeker->tableViewObjectValueForTableColumnRow("location", 0), "/Drums");
    EXPECT_EQ(seeker->tableViewObjectValueForTableColumnRow("filename", 3), "Snare.wav");
    EXPECT_EQ(seeker->tableViewObjectValueForTableColumnRow("filename", 4), "");
    EXPECT_EQ(ui.alerts, QStringList());
}

TEST_F(SeekerControllerTest, BusySeekerRefusesASecondScanAndSaving) {
    gate.holdAt(2);
    enterSeeker();
    gate.waitUntilHeld();
    seeker->rescanThread();   // the Rescan command while busy: nothing
    seeker->saveSeeker();
    EXPECT_EQ(ui.alerts, QStringList({"info: " + kBusyScanningTryAgain}));
    EXPECT_FALSE(QFileInfo::exists(seeker->saveSeekerFilename()));
    gate.release();
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(gate.tested(), 5);   // one scan: five non-folder entries tested once
    EXPECT_EQ(rows().size(), 4);
}

TEST_F(SeekerControllerTest, LeavingDuringAScanAsksAndStopsBeforeTheNextEntry) {
    gate.holdAt(2);
    enterSeeker();
    gate.waitUntilHeld();
    // "No": the Seeker stays and the scan goes on.
    ui.answers = {false};
    EXPECT_FALSE(seeker->tabViewShouldSelectTabViewItem("Browser"));
    EXPECT_EQ(ui.alerts, QStringList({"question: " + kBusyLeave}));
    EXPECT_TRUE(seeker->isBusy());
    // "Yes": the Browser shows, the Seeker is emptied at once and stays busy until the
    // worker has noticed the stop.
    ui.answers = {true};
    leaveSeeker();
    EXPECT_EQ(seeker->_currentTabShowing, 0);
    EXPECT_TRUE(seeker->isBusy());
    EXPECT_EQ(seeker->numberOfRowsInTableView(), 0);
    EXPECT_EQ(ui.infoLine, "0 files found");
    // Entering again while the stopped scan is still finishing is refused.
    ui.alerts.clear();
    EXPECT_FALSE(seeker->tabViewShouldSelectTabViewItem("Seeker"));
    EXPECT_EQ(ui.alerts, QStringList({"info: " + kBusyGoAwayPlease}));
    gate.release();
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(gate.tested(), 2);   // no entry tested after the stop
    EXPECT_FALSE(seeker->_seekerCacheContents.has_value());
    EXPECT_TRUE(seeker->_seekerCachePath.isNull());
    EXPECT_EQ(ui.infoLine, "0 files found");
    // Idle again: a new scan may start.
    enterSeeker();
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(rows().size(), 4);
}

TEST_F(SeekerControllerTest, SameRootIgnoringLetterCaseReusesTheListAndReappliesTheFilter) {
    enterSeeker();
    ASSERT_TRUE(waitIdle());
    const int tested = gate.tested();
    leaveSeeker();
    EXPECT_EQ(rows().size(), 4);   // a completed list survives the switch
    ui.browserPath = root.toUpper();
    ui.filterText = "kick";
    enterSeeker();
    EXPECT_FALSE(seeker->isBusy());
    EXPECT_EQ(gate.tested(), tested);
    EXPECT_EQ(rows(), QStringList({root + "/Drums/808KICK.wav", root + "/Kick 01.wav"}));
    EXPECT_EQ(ui.infoLine, "2 files found");
    // Another folder scans.
    leaveSeeker();
    ui.browserPath = root + "/Drums";
    enterSeeker();
    EXPECT_TRUE(seeker->isBusy());
    EXPECT_EQ(ui.filterText, "");
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(rows(), QStringList({root + "/Drums/808KICK.wav", root + "/Drums/k1.wav"}));
    EXPECT_EQ(seeker->tableViewObjectValueForTableColumnRow("location", 0), "");
}

TEST_F(SeekerControllerTest, RootWarning) {
    ui.browserPath = "/";
    ui.answers = {true};   // "Go Back"
    EXPECT_FALSE(seeker->tabViewShouldSelectTabViewItem("Seeker"));
    EXPECT_EQ(ui.alerts, QStringList({"question: " + kSeekerWillTakeALogTimeWarning}));
    EXPECT_FALSE(seeker->isBusy());
    ui.answers = {false};  // "Continue"
    EXPECT_TRUE(seeker->shouldSeekFromTheRoot());
    ui.browserPath = root;
    ui.alerts.clear();
    EXPECT_TRUE(seeker->shouldSeekFromTheRoot());
    EXPECT_EQ(ui.alerts, QStringList());
}

TEST_F(SeekerControllerTest, SaveWhileFilteredKeepsTheWholeListAndRestoreShowsIt) {
    enterSeeker();
    ASSERT_TRUE(waitIdle());
    ui.filterText = "kick";
    seeker->seekerFilter();
    ASSERT_EQ(rows().size(), 2);
    const QStringList whole = seeker->_seekerCacheContents.value();
    seeker->saveSeeker();
    EXPECT_EQ(ui.alerts, QStringList({"info: " + kTheScanWasSaved}));
    EXPECT_TRUE(seeker->_seekerUseSavedResultsValue);
    EXPECT_TRUE(ui.savedResultsMark);
    EXPECT_EQ(SeekerMemory(memoryFolder).read().value(), whole);

    // Back in the Seeker with the mode on: the whole list, an empty filter, the memory status.
    leaveSeeker();
    enterSeeker();
    EXPECT_FALSE(seeker->isBusy());
    EXPECT_EQ(ui.filterText, "");
    EXPECT_EQ(rows(), whole);
    const QString date = SeekerMemory(memoryFolder).modificationDate();
    EXPECT_EQ(ui.infoLine, "4 files found in saved scan memory from " + date);
    EXPECT_TRUE(QRegularExpression("^\\d\\d-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$").match(date).hasMatch()) << date.toStdString();
    // Saved results show each file's whole folder.
    EXPECT_EQ(seeker->tableViewObjectValueForTableColumnRow("location", 0), root + "/Drums");

    // A new scan leaves the mode.
    seeker->rescanThread();
    EXPECT_FALSE(seeker->_seekerUseSavedResultsValue);
    ASSERT_TRUE(waitIdle());
}

TEST_F(SeekerControllerTest, MissingMemoryFileTurnsTheModeOffAndScans) {
    seeker->setStartupOptions(true, false, false, false);
    enterSeeker();
    EXPECT_EQ(ui.alerts, QStringList({"critical: " + kNoScanMemoryError}));
    EXPECT_FALSE(seeker->_seekerUseSavedResultsValue);
    EXPECT_FALSE(ui.savedResultsMark);
    EXPECT_TRUE(seeker->isBusy());
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(ui.infoLine, "4 files found");
    // Toggling the mode with no file still reports it, and the mode ends off.
    ui.alerts.clear();
    seeker->seekerUseSavedResults();
    EXPECT_EQ(ui.alerts, QStringList({"critical: " + kNoScanMemoryError}));
    EXPECT_FALSE(seeker->_seekerUseSavedResultsValue);
    ASSERT_TRUE(waitIdle());
}

TEST_F(SeekerControllerTest, EmptyMemoryFileStartsALiveScanWithoutAMessage) {
    ASSERT_TRUE(SeekerMemory(memoryFolder).write({}));
    seeker->setStartupOptions(true, false, false, false);
    enterSeeker();
    EXPECT_TRUE(seeker->isBusy());
    EXPECT_FALSE(seeker->_seekerUseSavedResultsValue);
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(rows().size(), 4);
    EXPECT_EQ(ui.alerts, QStringList());
}

TEST_F(SeekerControllerTest, UnwritableMemoryFolderIsReportedAndTheModeStaysOff) {
    seeker.reset();
    seeker = std::make_unique<SeekerController>(&ui, tmp.path() + "/missing-app-folder", gate.test());
    enterSeeker();
    ASSERT_TRUE(waitIdle());
    seeker->saveSeeker();
    ASSERT_EQ(ui.alerts.size(), 1);
    EXPECT_TRUE(ui.alerts[0].startsWith("critical: The results of this scan could not be saved"));
    EXPECT_TRUE(ui.alerts[0].contains(tmp.path() + "/missing-app-folder"));
    EXPECT_FALSE(seeker->_seekerUseSavedResultsValue);
}

TEST_F(SeekerControllerTest, RenameAndTrashRewriteTheSavedList) {
    enterSeeker();
    ASSERT_TRUE(waitIdle());
    seeker->saveSeeker();
    ui.filterText = "kick";
    seeker->seekerFileRenamed(root + "/Kick 01.wav", root + "/Kick 01 120bpm.wav");
    EXPECT_EQ(rows(), QStringList({root + "/Drums/808KICK.wav", root + "/Kick 01 120bpm.wav"}));
    EXPECT_TRUE(SeekerMemory(memoryFolder).read().value().contains(root + "/Kick 01 120bpm.wav"));
    seeker->seekerFileTrashed(root + "/Drums/808KICK.wav");
    EXPECT_EQ(rows(), QStringList({root + "/Kick 01 120bpm.wav"}));
    EXPECT_EQ(SeekerMemory(memoryFolder).read().value(),
              QStringList({root + "/Drums/k1.wav", root + "/Kick 01 120bpm.wav", root + "/Snare.wav"}));
}

TEST_F(SeekerControllerTest, DeepScanToggleRescansWithFilesOpened) {
    enterSeeker();
    ASSERT_TRUE(waitIdle());
    EXPECT_TRUE(gate.lastCheckOnlyExt());
    const int tested = gate.tested();
    ui.answers = {true};   // "Yes, rescan"
    seeker->seekerUseDeepScan();
    EXPECT_EQ(ui.alerts, QStringList({"question: " + kWantToRescan}));
    EXPECT_TRUE(seeker->isBusy());
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(gate.tested(), 2 * tested);
    EXPECT_FALSE(gate.lastCheckOnlyExt());
    EXPECT_EQ(rows().size(), 4);
}

TEST_F(SeekerControllerTest, FindInPathsOnTheSeekerTabFiltersAtOnce) {
    enterSeeker();
    ASSERT_TRUE(waitIdle());
    ui.filterText = "drums";
    seeker->seekerFilter();
    EXPECT_EQ(rows(), QStringList());
    EXPECT_EQ(ui.infoLine, "0 files found");
    seeker->findInPaths();
    EXPECT_TRUE(ui.findInPathsMark);
    EXPECT_EQ(rows(), QStringList({root + "/Drums/808KICK.wav", root + "/Drums/k1.wav"}));
    EXPECT_EQ(ui.infoLine, "2 files found");
    // The scan root is part of the subject: a root named like the filter passes every file.
    ui.filterText = "LIB/";
    seeker->seekerFilter();
    EXPECT_EQ(rows().size(), 4);
}

TEST_F(SeekerControllerTest, OptionToggles) {
    // Open-in-Seeker on also turns saved results on; off leaves them.
    seeker->openInSeeker();
    EXPECT_TRUE(ui.openInSeekerMark);
    EXPECT_TRUE(seeker->_seekerUseSavedResultsValue);
    EXPECT_TRUE(ui.savedResultsMark);
    seeker->openInSeeker();
    EXPECT_FALSE(ui.openInSeekerMark);
    EXPECT_TRUE(seeker->_seekerUseSavedResultsValue);
    // Deep scan with saved results on: no question, effective at the next scan.
    seeker->seekerUseDeepScan();
    EXPECT_TRUE(ui.deepScanMark);
    EXPECT_TRUE(seeker->_seekerUseDeepScanValue());
    EXPECT_EQ(ui.alerts, QStringList());
    // With saved results off it asks; "No" starts nothing.
    seeker->setSeekerMemoryState(false);
    ui.answers = {false};
    seeker->seekerUseDeepScan();
    EXPECT_EQ(ui.alerts, QStringList({"question: " + kWantToRescan}));
    EXPECT_FALSE(seeker->isBusy());
    // Find In Paths on the Browser tab changes no list until the next filter run.
    seeker->findInPaths();
    EXPECT_TRUE(ui.findInPathsMark);
    EXPECT_EQ(ui.tableReloads, 0);
}

}  // namespace
