#include "SeekerScanWorker.h"

#include <QMetaObject>

SeekerScanWorker::SeekerScanWorker(SeekerPlayabilityTest canPlayFile) : canPlayFile_(std::move(canPlayFile)) {}

SeekerScanWorker::~SeekerScanWorker() {
    requestStop();
    waitForThread();
}

bool SeekerScanWorker::start(const QString &root, SeekerScanSink *sink) {
    if (busy_)
        return false;
    busy_ = true;
    waitForThread();   // a finished scan's thread may still be returning
    thread_ = std::thread([this, root, sink] {
        SeekerScanOptions options;
        options.deepScan = &deepScan_;
        options.stop = &endThread_;
        options.progress = sink;
        options.canPlayFile = canPlayFile_;
        std::optional<QStringList> found = seekerScan(root, options);
        if (found)
            sink->scanDidComplete(std::move(*found));
        else
            sink->scanDidStop();
    });
    return true;
}

void SeekerScanWorker::finish() {
    if (!busy_)
        return;
    waitForThread();
    endThread_.store(false);
    busy_ = false;
}

void SeekerScanWorker::waitForThread() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
}

QueuedSeekerScanSink::QueuedSeekerScanSink(QObject *context, SeekerScanSink *receiver)
    : context_(context), receiver_(receiver) {}

void QueuedSeekerScanSink::scanDidList(qsizetype entryCount) {
    latest_.store(-1);
    lastQueued_ = {};
    unsent_ = false;
    QMetaObject::invokeMethod(context_, [r = receiver_, entryCount] { r->scanDidList(entryCount); }, Qt::QueuedConnection);
}

void QueuedSeekerScanSink::scanDidProgress(qsizetype index) {
    latest_.store(index);
    // A delivery already waiting will pick up this index.
    if (queued_.load())
        return;
    if (std::chrono::steady_clock::now() - lastQueued_ < std::chrono::milliseconds(16)) {
        unsent_ = true;
        return;
    }
    queueProgress();
}

void QueuedSeekerScanSink::queueProgress() {
    queued_.store(true);
    lastQueued_ = std::chrono::steady_clock::now();
    unsent_ = false;
    QMetaObject::invokeMethod(context_, [this] { deliverProgress(); }, Qt::QueuedConnection);
}

// Before the final step: an index held back by the rate limit is delivered now. When a
// delivery is still waiting, it reads the last index itself.
void QueuedSeekerScanSink::flushProgress() {
    if (unsent_ && !queued_.load())
        queueProgress();
}

// Runs on the receiving thread. The flag is cleared before the index is read: an index stored
// after the read then finds the flag clear and is queued or flushed on its own.
void QueuedSeekerScanSink::deliverProgress() {
    queued_.store(false);
    const qsizetype index = latest_.load();
    if (index >= 0)
        receiver_->scanDidProgress(index);
}

void QueuedSeekerScanSink::scanDidStop() {
    flushProgress();
    QMetaObject::invokeMethod(context_, [r = receiver_] { r->scanDidStop(); }, Qt::QueuedConnection);
}

void QueuedSeekerScanSink::scanDidComplete(QStringList found) {
    flushProgress();
    QMetaObject::invokeMethod(
        context_, [r = receiver_, list = std::move(found)]() mutable { r->scanDidComplete(std::move(list)); },
        Qt::QueuedConnection);
}
