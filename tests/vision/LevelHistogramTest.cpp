// The adaptive histograms that turn raw ratios into 0-100 levels on the user's own range.

#include "vision/LevelHistogram.h"
#include "core/Clock.h"

#include <gtest/gtest.h>

namespace {

// 200 samples: each value 20 to 59 five times. Read from the top, 2.5 % (5 samples) lie at
// or above 59 and 97.5 % (195) at or above 21.
void addSpread(LevelHistogram &h, FakeClock &clock)
{
    for (int round = 0; round < 5; ++round) {
        for (int v = 20; v < 60; ++v) {
            if (round == 4 && v == 59)
                clock.advance(1000); // the last add may refresh the percentiles
            h.add(v);
        }
    }
}

TEST(LevelHistogram, ReadsZeroUntilItHasAHundredSamples)
{
    FakeClock clock;
    LevelHistogram h('e');
    for (int i = 0; i < 99; ++i)
        h.add(40);
    EXPECT_FALSE(h.ready());
    EXPECT_DOUBLE_EQ(h.level(80), 0.0);
    h.add(40);
    EXPECT_TRUE(h.ready());
}

TEST(LevelHistogram, MapsBetweenItsPercentiles)
{
    FakeClock clock;
    LevelHistogram h('e');
    addSpread(h, clock);
    EXPECT_EQ(h.sampleCount(), 200);
    EXPECT_EQ(h.upperPercentile(), 59);
    EXPECT_EQ(h.lowerPercentile(), 21);
    EXPECT_DOUBLE_EQ(h.level(21), 0.0);
    EXPECT_DOUBLE_EQ(h.level(10), 0.0);
    EXPECT_DOUBLE_EQ(h.level(59), 100.0);
    EXPECT_DOUBLE_EQ(h.level(90), 100.0);
    EXPECT_DOUBLE_EQ(h.level(40), 19.0 * 100.0 / 38.0);
    EXPECT_DOUBLE_EQ(h.level(0), 0.0);
    EXPECT_DOUBLE_EQ(h.level(-5), 0.0);
}

TEST(LevelHistogram, UsesTheSeenRangeUntilTheFirstRefresh)
{
    FakeClock clock;
    LevelHistogram h('e'); // seeds: seen 25 to 30
    for (int i = 0; i < 100; ++i)
        h.add(i % 2 ? 20 : 60);
    // Less than a second since start: no percentiles yet, the range is 20 to 60.
    EXPECT_EQ(h.lowerPercentile(), 0);
    EXPECT_EQ(h.minSeen(), 20);
    EXPECT_EQ(h.maxSeen(), 60);
    EXPECT_DOUBLE_EQ(h.level(40), 50.0);
}

TEST(LevelHistogram, RefreshesAtMostOnceASecondAcrossAClockWrap)
{
    FakeClock clock(0x1FFFFFE0CLL); // low 32 bits 500 ms before a wrap
    LevelHistogram h('e');
    for (int i = 0; i < 150; ++i)
        h.add(40);
    EXPECT_EQ(h.upperPercentile(), 0);
    clock.advance(999);
    h.add(40);
    EXPECT_EQ(h.upperPercentile(), 0);
    clock.advance(1);
    h.add(40);
    EXPECT_EQ(h.upperPercentile(), 40);
}

TEST(LevelHistogram, EqualPercentilesMapEverythingToZero)
{
    FakeClock clock;
    LevelHistogram h('e');
    for (int i = 0; i < 150; ++i)
        h.add(40);
    clock.advance(1000);
    h.add(40);
    EXPECT_EQ(h.lowerPercentile(), 40);
    EXPECT_EQ(h.upperPercentile(), 40);
    EXPECT_DOUBLE_EQ(h.level(40), 0.0);
    EXPECT_DOUBLE_EQ(h.level(80), 0.0);
}

TEST(LevelHistogram, ClampsIntoItsKindsRangeAndIgnoresNonPositiveValues)
{
    LevelHistogram w('w'); // counts 28 to 100
    w.add(5);
    w.add(150);
    w.add(0);
    w.add(-3);
    EXPECT_EQ(w.sampleCount(), 2);
    EXPECT_EQ(w.binCount(28), 1);
    EXPECT_EQ(w.binCount(100), 1);
    EXPECT_EQ(w.minSeen(), 28);
    EXPECT_EQ(w.maxSeen(), 100);

    LevelHistogram m('m'); // 0 to 99, seen 1 to 10
    m.add(120);
    EXPECT_EQ(m.binCount(99), 1);
    EXPECT_EQ(m.minSeen(), 1);
}

TEST(LevelHistogram, PeakPrefersTheLowerValueOnATie)
{
    LevelHistogram h('e');
    h.add(50);
    h.add(30);
    EXPECT_EQ(h.peakBin(), 30);
    h.add(50);
    EXPECT_EQ(h.peakBin(), 50);
}

TEST(LevelHistogram, GateClosesOnUnreliableFramesAfterTwelveActionsAndAtTenThousand)
{
    LevelHistogram h('e');
    EXPECT_FALSE(h.addGated(40, 0.2, 0));
    EXPECT_FALSE(h.addGated(40, 0.0, 12));
    EXPECT_EQ(h.sampleCount(), 0);
    EXPECT_TRUE(h.addGated(40, 0.19, 11));
    EXPECT_EQ(h.sampleCount(), 1);
    for (int i = 1; i < LevelHistogram::kGatedSampleLimit; ++i)
        h.addGated(40, 0.0, 0);
    EXPECT_EQ(h.sampleCount(), 10000);
    EXPECT_FALSE(h.addGated(40, 0.0, 0));
    EXPECT_EQ(h.sampleCount(), 10000);
}

TEST(LevelHistogram, CountingStopsAtItsLimit)
{
    LevelHistogram h('e');
    for (int i = 0; i < LevelHistogram::kCountLimit + 5; ++i)
        h.add(40);
    EXPECT_EQ(h.sampleCount(), LevelHistogram::kCountLimit);
}

TEST(LevelHistogram, InitStartsAfreshWithTheKindsSeeds)
{
    FakeClock clock;
    LevelHistogram h('e');
    addSpread(h, clock);
    h.init('l');
    EXPECT_EQ(h.kind(), 'l');
    EXPECT_EQ(h.sampleCount(), 0);
    EXPECT_EQ(h.binCount(40), 0);
    EXPECT_EQ(h.minSeen(), 50);
    EXPECT_EQ(h.maxSeen(), 55);
    EXPECT_EQ(h.upperPercentile(), 0);
    EXPECT_FALSE(h.ready());
}

} // namespace
