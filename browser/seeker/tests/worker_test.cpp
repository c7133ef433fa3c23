#include "SeekerScanWorker.h"
#include "SeekerTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

namespace {

class RecordingSink : public SeekerScanSink {
public:
    QStringList steps;
    QList<qsizetype> progress;
    QStringList found;
    bool ended = false;
    void scanDidList(qsizetype n) override { steps << QString("list %1").arg(n); }
    void scanDidProgress(qsizetype i) override { progress << i; }
    void scanDidStop() override {
        steps << "stop";
        ended = true;
    }
    void scanDidComplete(QStringList list) override {
        steps << "complete";
        found = list;
        ended = true;
    }
};

// A flood of progress from another thread reaches the main thread as a few calls, in
// increasing order, the last one being the last index issued, and before the final step.
TEST(QueuedSeekerScanSink, CoalescesProgressAndKeepsTheOrderOfSteps) {
    seekerTestApp();
    QObject context;
    RecordingSink receiver;
    QueuedSeekerScanSink queued(&context, &receiver);
    const qsizetype n = 200000;
    std::thread worker([&] {
        queued.scanDidList(n);
        for (qsizetype i = 0; i < n; ++i)
            queued.scanDidProgress(i);
        queued.scanDidComplete({"/r/a.wav"});
    });
    // Let the worker run ahead before the main thread looks at its queue.
    worker.join();
    ASSERT_TRUE(processEventsUntil([&] { return receiver.ended; }));
    EXPECT_EQ(receiver.steps, QStringList({QString("list %1").arg(n), "complete"}));
    ASSERT_FALSE(receiver.progress.isEmpty());
    EXPECT_LT(receiver.progress.size(), 10);
    EXPECT_EQ(receiver.progress.last(), n - 1);
    EXPECT_EQ(receiver.found, QStringList({"/r/a.wav"}));
}

TEST(QueuedSeekerScanSink, LastProgressShownIsTheLastIssuedWhileTheMainThreadKeepsUp) {
    seekerTestApp();
    QObject context;
    RecordingSink receiver;
    QueuedSeekerScanSink queued(&context, &receiver);
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (qsizetype i = 0; i < 50000; ++i)
            queued.scanDidProgress(i);
        queued.scanDidStop();
        done = true;
    });
    ASSERT_TRUE(processEventsUntil([&] { return receiver.ended; }));
    worker.join();
    ASSERT_FALSE(receiver.progress.isEmpty());
    EXPECT_EQ(receiver.progress.last(), 49999);
    EXPECT_TRUE(std::is_sorted(receiver.progress.begin(), receiver.progress.end()));
}

// An index held back by the rate limit is still delivered before the final step.
TEST(QueuedSeekerScanSink, DeliversAHeldBackIndexBeforeTheFinalStep) {
    seekerTestApp();
    QObject context;
    RecordingSink receiver;
    QueuedSeekerScanSink queued(&context, &receiver);
    std::atomic<bool> firstShown{false};
    std::thread worker([&] {
        queued.scanDidList(3);
        queued.scanDidProgress(0);
        while (!firstShown)
            std::this_thread::yield();
        queued.scanDidProgress(1);
        queued.scanDidProgress(2);
        queued.scanDidStop();
    });
    ASSERT_TRUE(processEventsUntil([&] {
        if (!receiver.progress.isEmpty())
            firstShown = true;
        return receiver.ended;
    }));
    worker.join();
    EXPECT_EQ(receiver.progress.first(), 0);
    EXPECT_EQ(receiver.progress.last(), 2);
    EXPECT_EQ(receiver.steps, QStringList({"list 3", "stop"}));
}

TEST(SeekerScanWorker, OneScanAtATimeUntilFinished) {
    QTemporaryDir tmp;
    writeBytes(tmp.path() + "/a.wav", "x");
    SeekerScanWorker worker;
    RecordingSink sink;
    EXPECT_FALSE(worker.isBusy());
    ASSERT_TRUE(worker.start(tmp.path(), &sink));
    EXPECT_TRUE(worker.isBusy());
    EXPECT_FALSE(worker.start(tmp.path(), &sink));
    worker.waitForThread();
    EXPECT_EQ(sink.steps, QStringList({"list 1", "complete"}));
    EXPECT_EQ(sink.progress, QList<qsizetype>({0}));
    // Still busy until the last step has been handled.
    EXPECT_TRUE(worker.isBusy());
    worker.requestStop();
    worker.finish();
    EXPECT_FALSE(worker.isBusy());
    EXPECT_FALSE(worker.stopRequested());
    ASSERT_TRUE(worker.start(tmp.path(), &sink));
    worker.waitForThread();
    worker.finish();
    EXPECT_EQ(sink.steps.size(), 4);
}

}  // namespace
