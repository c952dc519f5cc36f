// Timed samples with means over a recent span, as the head-speed and absolute-position means
// use them.

#include "vision/TimeWindowSeries.h"

#include <gtest/gtest.h>

namespace {

TEST(TimeWindowSeries, KeepsTheFirstValueForATime)
{
    TimeWindowSeries series;
    series.add(1000, 1.0);
    series.add(1000, 5.0);
    EXPECT_EQ(series.size(), 1u);
    EXPECT_DOUBLE_EQ(series.mean(100, 1000), 1.0);
}

TEST(TimeWindowSeries, IgnoresATimeOlderThanTheNewest)
{
    TimeWindowSeries series;
    series.add(1000, 1.0);
    series.add(990, 9.0);
    EXPECT_EQ(series.size(), 1u);
}

TEST(TimeWindowSeries, MeanCoversTheSpanEndingNow)
{
    TimeWindowSeries series;
    const quint32 now = 50000;
    series.add(now - 200, 10.0);
    series.add(now - 100, 2.0);
    series.add(now, 4.0);
    EXPECT_DOUBLE_EQ(series.mean(125, now), 3.0);
    EXPECT_DOUBLE_EQ(series.mean(200, now), 16.0 / 3.0);
    // Nothing in the span is no error.
    EXPECT_DOUBLE_EQ(series.mean(125, now + 1000), 0.0);
    EXPECT_DOUBLE_EQ(TimeWindowSeries().mean(125, now), 0.0);
}

TEST(TimeWindowSeries, SpanLongerThanTheWindowIsCutToIt)
{
    TimeWindowSeries series(1000);
    series.add(10000, 100.0);
    series.add(10500, 1.0);
    series.add(10900, 3.0);
    // The sample at 10000 is still kept (900 ms older than the newest) ...
    EXPECT_EQ(series.size(), 3u);
    // ... but 1200 ms before now it lies outside the window.
    EXPECT_DOUBLE_EQ(series.mean(5000, 11200), 2.0);
}

TEST(TimeWindowSeries, KeepsASampleExactlyTheWindowOldAndDropsOneOlder)
{
    TimeWindowSeries series;
    series.add(20000, 1.0);
    series.add(30000, 2.0);
    EXPECT_EQ(series.size(), 2u);
    series.add(30001, 3.0);
    EXPECT_EQ(series.size(), 2u);
    EXPECT_DOUBLE_EQ(series.mean(10000, 30001), 2.5);
}

TEST(TimeWindowSeries, AClockNearZeroOrWrappingLosesNothing)
{
    // Right after zero, "now - span" would wrap and exclude everything.
    TimeWindowSeries nearZero;
    nearZero.add(10, 2.0);
    nearZero.add(40, 4.0);
    EXPECT_DOUBLE_EQ(nearZero.mean(125, 50), 3.0);

    TimeWindowSeries wrapping;
    wrapping.add(0xFFFFFFF0u, 1.0);
    wrapping.add(0x00000010u, 3.0); // 32 ms later, after the wrap
    EXPECT_EQ(wrapping.size(), 2u);
    EXPECT_DOUBLE_EQ(wrapping.mean(125, 0x20), 2.0);
    wrapping.add(0x00000010u + 10001, 5.0);
    EXPECT_EQ(wrapping.size(), 1u);
}

TEST(TimeWindowSeries, ClearEmptiesIt)
{
    TimeWindowSeries series;
    series.add(1, 1.0);
    series.clear();
    EXPECT_TRUE(series.isEmpty());
    EXPECT_DOUBLE_EQ(series.mean(125, 1), 0.0);
}

} // namespace
