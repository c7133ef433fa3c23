#pragma once
// The Seeker's scan worker: at most one scan at a time on its own thread, stoppable before
// every entry, reporting its steps in order to a sink.
#include "SeekerScan.h"

#include <QObject>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

// The steps of one scan, in the order they happen: scanDidList, scanDidProgress for entries
// 0, 1, ... (possibly coalesced), then exactly one of scanDidStop or scanDidComplete.
// SeekerScanWorker calls them on its worker thread; QueuedSeekerScanSink carries them to the
// main thread.
class SeekerScanSink : public SeekerScanProgress {
public:
    // The scan was stopped: its result is discarded.
    virtual void scanDidStop() = 0;
    // The scan ended: `found` is the sorted list of full paths.
    virtual void scanDidComplete(QStringList found) = 0;
};

class SeekerScanWorker {
public:
    explicit SeekerScanWorker(SeekerPlayabilityTest canPlayFile = {});
    // Stops a running scan and waits for its thread (a scan polls the stop request before
    // every entry, so this is short); steps not yet delivered are dropped by the sink.
    ~SeekerScanWorker();
    SeekerScanWorker(const SeekerScanWorker &) = delete;
    SeekerScanWorker &operator=(const SeekerScanWorker &) = delete;

    // Main thread. Starts a scan of `root` reporting to `sink` (not owned; it must outlive
    // the scan). Marks the worker busy before the thread starts. False, and nothing started,
    // when busy.
    bool start(const QString &root, SeekerScanSink *sink);
    // Main thread. Busy from start() until finish(): a scan runs or its last step has not
    // been handled yet.
    bool isBusy() const { return busy_; }
    // Any thread. Asks the running scan to stop before its next entry.
    void requestStop() { endThread_.store(true); }
    bool stopRequested() const { return endThread_.load(); }
    // Main thread, once the last step of the scan (scanDidStop or scanDidComplete) has been
    // handled: waits for the thread's last instructions, then clears the stop request and
    // the busy mark, in this order. Nothing when not busy.
    void finish();
    // Any thread. Deep scan, read by the scan once per tested entry.
    void setDeepScan(bool on) { deepScan_.store(on); }
    bool deepScan() const { return deepScan_.load(); }
    // Blocks until the current scan's thread has ended (for tests and the command line).
    void waitForThread();

private:
    SeekerPlayabilityTest canPlayFile_;
    std::thread thread_;
    bool busy_ = false;
    std::atomic<bool> endThread_{false};
    std::atomic<bool> deepScan_{false};
};

// Carries the steps of a scan to the thread of `receiver`'s context object with queued calls,
// in order. Progress is coalesced: at most one progress call is queued at any time, at most
// about sixty are queued a second, and each delivers the latest index when it runs, so the
// receiving thread never floods; before the final step the last index issued is delivered. `context` and this sink must outlive the scan's thread;
// when `context` is destroyed, steps still queued are dropped.
class QueuedSeekerScanSink : public SeekerScanSink {
public:
    QueuedSeekerScanSink(QObject *context, SeekerScanSink *receiver);

    void scanDidList(qsizetype entryCount) override;
    void scanDidProgress(qsizetype index) override;
    void scanDidStop() override;
    void scanDidComplete(QStringList found) override;

private:
    void queueProgress();
    void flushProgress();
    void deliverProgress();
    QObject *context_;
    SeekerScanSink *receiver_;
    std::atomic<qsizetype> latest_{-1};
    std::atomic<bool> queued_{false};
    // Worker thread only.
    std::chrono::steady_clock::time_point lastQueued_{};
    bool unsent_ = false;
};
