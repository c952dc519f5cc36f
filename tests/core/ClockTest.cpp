// The program's clock and its diagnostic trace lines.

#include "core/Clock.h"
#include "core/Trace.h"

#include <gtest/gtest.h>

namespace {

TEST(Clock, IsMonotonicAndFarFromZero)
{
    const qint64 a = currentTimeMs();
    const qint64 b = currentTimeMs();
    EXPECT_GE(b, a);
    EXPECT_GT(a, 1'000'000'000LL);
}

TEST(Clock, IntervalsSurviveAWrapOfTheLow32Bits)
{
    FakeClock clock(0xFFFFFF00LL);
    const quint32 before = currentTimeMs32();
    clock.advance(0x200);
    EXPECT_EQ(elapsedMs(currentTimeMs32(), before), 0x200u);
}

TEST(Clock, AFakeClockIsUsedWhileItLives)
{
    {
        FakeClock clock(1000);
        EXPECT_EQ(currentTimeMs(), 1000);
        clock.advance(25);
        EXPECT_EQ(currentTimeMs(), 1025);
    }
    EXPECT_GT(currentTimeMs(), 1'000'000'000LL);
}

TEST(Trace, LineCarriesTheGapAndADotBar)
{
    EXPECT_EQ(formatTraceLine(1500, 1000, "msg"), "1500,msg, (500),  [......]");
    EXPECT_EQ(formatTraceLine(0, 0, "m"), "0,m, (0),  [.]");
    EXPECT_EQ(formatTraceLine(100000, 0, "m"), "100000,m, (100000),  [" + QString(101, '.') + "]");
    EXPECT_EQ(formatTraceLine(0, 10, "m"), "0,m, (-10),  []");
}

} // namespace
