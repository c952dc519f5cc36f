// Whether the head holds still, and for how long.

#include "engine/StillnessDetector.h"

#include <gtest/gtest.h>

namespace {

struct Head
{
    StillnessDetector detector;
    double previousX = 100, previousY = 0;

    void frame(double x, double y, quint32 nowMs)
    {
        updateStillnessDetector(detector, x, y, previousX, previousY, nowMs);
        previousX = x;
        previousY = y;
    }
};

TEST(StillnessDetector, ASpeedExactlyAtTheThresholdCountsAsStill)
{
    Head head;
    setStillnessDetector(head.detector, 5, "AlwaysOn");
    head.frame(3, 4, 1000); // length 5
    EXPECT_TRUE(head.detector.isStill);
    head.frame(3, 4.01, 1040);
    EXPECT_FALSE(head.detector.isStill);
    EXPECT_TRUE(head.detector.brokeOut);
}

TEST(StillnessDetector, DurationIsMeasuredFromTheFirstStillFrame)
{
    Head head;
    setStillnessDetector(head.detector, 3, "HoldHeadSteady");
    head.frame(0, 0, 1000);
    EXPECT_TRUE(head.detector.isStill);
    EXPECT_EQ(head.detector.stillSinceMs, 1000u);
    EXPECT_EQ(head.detector.stillDurationMs, 0u);
    head.frame(0, 0, 1040);
    head.frame(1, 1, 1080);
    EXPECT_EQ(head.detector.stillDurationMs, 80u);
    EXPECT_EQ(head.detector.lastStillMs, 1080u);

    // Motion ends the period; its duration is final and the frame reports the break once.
    head.frame(10, 0, 1120);
    EXPECT_TRUE(head.detector.brokeOut);
    EXPECT_EQ(head.detector.stillDurationMs, 120u);
    head.frame(10, 0, 1160);
    EXPECT_FALSE(head.detector.brokeOut);

    // The first still frame after motion still reports the previous period's duration.
    head.frame(0, 0, 2000);
    EXPECT_TRUE(head.detector.isStill);
    EXPECT_EQ(head.detector.stillDurationMs, 120u);
    head.frame(0, 0, 2100);
    EXPECT_EQ(head.detector.stillDurationMs, 100u);
}

TEST(StillnessDetector, SettingItUpAgainClearsItsStateAndClearingKeepsItsThreshold)
{
    Head head;
    setStillnessDetector(head.detector, 3, "AlwaysOn");
    head.frame(0, 0, 1000);
    head.frame(0, 0, 1500);
    clearStillnessDetector(head.detector);
    EXPECT_EQ(head.detector.stillSinceMs, 0u);
    EXPECT_EQ(head.detector.threshold, 3);
    EXPECT_EQ(head.detector.name, "AlwaysOn");
    setStillnessDetector(head.detector, 7, "AlwaysOn_Abso");
    EXPECT_EQ(head.detector.threshold, 7);
    EXPECT_EQ(head.detector.name, "AlwaysOn_Abso");
    EXPECT_FALSE(head.detector.isStill);
}

TEST(StillnessDetector, DurationsSurviveAClockWrap)
{
    Head head;
    setStillnessDetector(head.detector, 3, "AlwaysOn");
    head.frame(0, 0, 0xFFFFFFF0u);
    head.frame(0, 0, 0xFFFFFFF0u + 20);
    EXPECT_EQ(head.detector.stillDurationMs, 20u);
}

} // namespace
