#include "TapTempo.h"

#include <gtest/gtest.h>

#include <vector>

TEST(TapTempo, LastAndAverageTempoOfTapRuns) {
    struct Case {
        std::vector<double> taps;
        const char *last, *average;
    } cases[] = {
        {{0.0, 0.5}, "120.00", "120.00"},
        {{0.0, 0.5, 1.0, 1.5}, "120.00", "120.00"},
        {{0.0, 0.5, 1.5}, "60.00", "90.00"},  // the mean of the tempos, not of the intervals
        {{0.0, 0.7}, "85.71", "85.71"},
        {{100.0, 100.25, 100.75}, "120.00", "180.00"},
    };
    for (const Case &c : cases) {
        TapTempo t;
        for (double at : c.taps)
            t.tap(at);
        EXPECT_EQ(TapTempo::fieldText(t.lastTempo()), c.last);
        EXPECT_EQ(TapTempo::fieldText(t.averageTempo()), c.average);
    }
    TapTempo t;
    t.tap(0.0);
    t.tap(0.7);
    EXPECT_DOUBLE_EQ(t.averageTempo(), 85.714);
}

TEST(TapTempo, FirstTapAndResetChangeNoTempo) {
    TapTempo t;
    EXPECT_FALSE(t.tap(3.0));
    EXPECT_EQ(t.count, 1);
    EXPECT_EQ(t.bpm, 0.0);
    EXPECT_TRUE(t.tap(3.5));
    t.resetValues();
    EXPECT_FALSE(t.tap(9.0)) << "the first tap after a reset starts a new measurement";
    EXPECT_EQ(t.avgBpm, 0.0);
    EXPECT_TRUE(t.tap(10.0));
    EXPECT_EQ(TapTempo::fieldText(t.averageTempo()), "60.00");
}

TEST(TapTempo, TwoTapsAtTheSameInstantAreOneTap) {
    TapTempo t;
    t.tap(1.0);
    EXPECT_FALSE(t.tap(1.0));
    EXPECT_EQ(t.count, 1);
    EXPECT_TRUE(t.tap(1.5));
    EXPECT_EQ(TapTempo::fieldText(t.averageTempo()), "120.00");
    EXPECT_FALSE(t.tap(1.5));
    EXPECT_EQ(TapTempo::fieldText(t.averageTempo()), "120.00") << "no infinite tempo enters the average";
}
