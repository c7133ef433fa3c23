#pragma once
// The Seeker's operations of the main window's controller: entering and leaving the Seeker
// tab, the scan on its worker thread, stopping it, the status line, the table cells, the
// filter, the saved scan memory and the Seeker options. Widgets, alerts and user defaults
// are reached through SeekerUi, which the window implements; everything here runs on the main
// thread (the scan's steps arrive there through queued calls).
//
// Wiring in the window: the tab view's should-select / will-select go to
// tabViewShouldSelectTabViewItem / tabViewWillSelectTabViewItem with the item's identifier; the
// Rescan command to rescanThread (enabled while !isBusy()); the filter button, the filter box's
// action and the combo box's will-dismiss to seekerFilter; the save button to saveSeeker; the
// option menu items and the deep-scan check box to their toggles; the table's data source to
// numberOfRowsInTableView / tableViewObjectValueForTableColumnRow; Quit to endThread. Start-up
// passes the four option defaults to setStartupOptions. A rename or trash in the Seeker tab calls
// seekerFileRenamed / seekerFileTrashed.
#include "SeekerMemory.h"
#include "SeekerScanWorker.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

// The window's side of the Seeker. Main thread.
class SeekerUi {
public:
    virtual ~SeekerUi() = default;
    // The folder the Browser shows (`_browserCachePath`); the scan starts there.
    virtual QString browserCachePath() = 0;
    // Ends a play-all run (`stopPlayAll`).
    virtual void stopPlayAll() = 0;

    // `_filterField`'s text, exactly as typed.
    virtual QString filterFieldText() = 0;
    virtual void setFilterFieldText(const QString &text) = 0;
    // `_seekerInfoLine`.
    virtual void setSeekerInfoLine(const QString &text) = 0;
    // Enables or disables `_filterField`, `_filterButton` and `_scanSaveButton`, in this order.
    virtual void enableSeekerButtons(bool enabled) = 0;
    // The progress bar `_scanbar` and its text `_scanbarText`:
    // show it indeterminate with range 0..maxSize and value 0 (a null text leaves the text);
    virtual void showProgressBar(const QString *text, double maxSize) = 0;
    // show it determinate at `value`;
    virtual void updateProgrssBar(double value) = 0;
    // hide it, empty its text, value 0, animation stopped.
    virtual void hideProgressBar() = 0;
    // Deselects every row of the Seeker table and reloads it.
    virtual void reloadSeekerTable() = 0;

    // Each shows an option's new value as its check mark and writes its boolean default:
    // "Seeker Use Saved Results", "Seeker Use Deep Scan", "Open in Seeker", "Seeker Find In Paths".
    virtual void showSeekerUseSavedResults(bool on) = 0;
    virtual void showSeekerUseDeepScan(bool on) = 0;
    virtual void showOpenInSeeker(bool on) = 0;
    virtual void showFindInPaths(bool on) = 0;

    // Alerts titled with the program's name. informationalQuestion answers true for the
    // default button.
    virtual bool informationalQuestion(const QString &message, const QString &defaultButton,
                                       const QString &otherButton) = 0;
    virtual void informational(const QString &message) = 0;
    virtual void critical(const QString &message) = 0;
};

class SeekerController {
public:
    // `memoryFolder`: where the saved scan memory lives (null: the program's folder).
    // `canPlayFile`: the scan's playability test (empty: the program's audio test).
    SeekerController(SeekerUi *ui, QString memoryFolder = QString(), SeekerPlayabilityTest canPlayFile = {});
    // Stops a running scan and waits for its thread.
    ~SeekerController();

    // ---- Tabs ("Browser", "Seeker") ----
    bool tabViewShouldSelectTabViewItem(const QString &identifier);
    void tabViewWillSelectTabViewItem(const QString &identifier);
    // Warns before a scan of "/"; true to go on.
    bool shouldSeekFromTheRoot();

    // ---- Scan ----
    // Starts a scan of the Browser's folder; nothing when busy.
    void rescanThread();
    // Asks a running scan to stop and empties the Seeker; nothing when not busy.
    void stopRescanThread();
    // Busy: a scan worker exists (`_scanningThread`), until its last step has been handled.
    bool isBusy() const { return worker_.isBusy(); }
    // Quit: asks a running scan to stop (`_endThread`).
    void endThread() { worker_.requestStop(); }
    void updateSeekerStatusLine();

    // ---- Table ----
    int numberOfRowsInTableView() const { return int(_seekerFilteredCacheContents.size()); }
    // The cell of column "filename" or "location" for `row`.
    QString tableViewObjectValueForTableColumnRow(const QString &column, int row) const;

    // ---- Options (each toggles its value) ----
    void seekerUseDeepScan();
    void openInSeeker();
    void findInPaths();
    void seekerUseSavedResults();
    // Start-up values read from the defaults (no check of the memory file, no alert).
    void setStartupOptions(bool useSavedResults, bool findInPathsValue, bool useDeepScan, bool openInSeekerValue);

    // ---- Filter ----
    void seekerFilter();

    // ---- Saved scan memory ----
    QString saveSeekerFilename() const { return memory_.saveSeekerFilename(); }
    // The save button: refuses while busy, saves and confirms, or reports that the file could
    // not be written.
    void saveSeeker();
    // Writes the whole scan list to the memory file and switches saved-results mode on. False
    // when the file could not be written; the mode is then left as it was.
    bool _saveSeeker();
    void restoreSaved();
    void setSeekerMemoryState(bool on);

    // ---- Keeping the lists in step with file operations ----
    // A file of the list was renamed: every entry equal to `oldPath` becomes `newPath`, the
    // filter runs again and, in saved-results mode, the memory file is rewritten.
    void seekerFileRenamed(const QString &oldPath, const QString &newPath);
    // A file of the list was moved to the trash: every entry equal to `path` goes, the memory
    // file is rewritten in saved-results mode, and the filter runs again.
    void seekerFileTrashed(const QString &path);

    // ---- Fields ----
    int _currentTabShowing = 0;              // 0 Browser, 1 Seeker
    QString _seekerCachePath;                // root of the current list; null when none
    std::optional<QStringList> _seekerCacheContents;   // the scan list; nothing when none
    QStringList _seekerFilteredCacheContents;           // the rows
    bool _seekerUseSavedResultsValue = false;
    bool _findInPathsValue = false;
    bool _openInSeekerValue = false;
    bool _seekerUseDeepScanValue() const { return worker_.deepScan(); }

private:
    // Receives the scan's steps on the main thread.
    class Receiver : public SeekerScanSink {
    public:
        explicit Receiver(SeekerController *owner) : owner_(owner) {}
        void scanDidList(qsizetype entryCount) override;
        void scanDidProgress(qsizetype index) override;
        void scanDidStop() override;
        void scanDidComplete(QStringList found) override;

    private:
        SeekerController *owner_;
    };
    void reportMemoryNotSaved();

    SeekerUi *ui_;
    SeekerMemory memory_;
    QObject context_;   // lives on the main thread; the scan's steps are queued to it
    Receiver receiver_{this};
    QueuedSeekerScanSink queuedSink_{&context_, &receiver_};
    SeekerScanWorker worker_;   // last: destroyed (and its thread joined) first
};
