// The rest timers of the gestures and the sliding maxima.

#include "engine/ParkTimers.h"
#include "engine/EngineState.h"
#include "engine/TrackingParameters.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

class ParkTimersTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        parkTimers = ParkTimers{};
        clearSlidingWindows();
        trackingParameters.PARK_SPEED = 3;
    }
};

TEST_F(ParkTimersTest, SmileParkFiresOnceAfterTheParkTimeThenStartsAgain)
{
    int fired = 0;
    quint32 firstAt = 0;
    const quint32 start = now() + 40;
    for (int i = 0; i < 30; ++i) {
        frame(1.0, 1.0);
        if (isSmileParked()) {
            if (++fired == 1)
                firstAt = now() - start;
        }
    }
    // 30 frames of 40 ms: the first period ends at 500 ms, the second at 1040 ms.
    EXPECT_EQ(firstAt, 520u);
    EXPECT_EQ(fired, 2);
}

TEST_F(ParkTimersTest, MotionOrASmileKeepTheSmileParkFromRunning)
{
    for (int i = 0; i < 20; ++i) {
        frame(i % 5 == 0 ? 10.0 : 0.0);
        EXPECT_FALSE(isSmileParked());
    }
    smileOnset.current.on = 1;
    for (int i = 0; i < 20; ++i) {
        frame();
        EXPECT_FALSE(isSmileParked());
    }
}

TEST_F(ParkTimersTest, AZeroParkTimeCountsAsElapsed)
{
    trackingParameters.DWELL_PARK_TIME = 0;
    frame();
    EXPECT_FALSE(headParkedOnce()); // starts the timer
    frame();
    EXPECT_TRUE(headParkedOnce());
}

TEST_F(ParkTimersTest, TheLatchedParkHoldsUntilTheHeadMoves)
{
    int trueFrames = 0;
    for (int i = 0; i < 20; ++i) {
        frame();
        trueFrames += headParkedLatched() ? 1 : 0;
    }
    // From 500 ms after the first rest frame on: 800 - 520 ms of 40 ms frames.
    EXPECT_EQ(trueFrames, 7);
    frame();
    EXPECT_TRUE(headParkedLatched());
    EXPECT_TRUE(parkTimers.ebrParkReached);
    frame(10.0);
    EXPECT_FALSE(headParkedLatched());
    EXPECT_FALSE(parkTimers.ebrParkReached);
}

TEST_F(ParkTimersTest, SlidingMaximaKeepTheirWindows)
{
    const quint32 t = 1'000'000;
    EXPECT_EQ(slidingMax100(t, -5.0), 0.0);
    EXPECT_EQ(slidingMax100(t + 10, 7.0), 7.0);
    EXPECT_EQ(slidingMax100(t + 110, 2.0), 7.0); // t + 10 is exactly 100 ms old: it stays
    EXPECT_EQ(slidingMax100(t + 111, 1.0), 2.0);

    EXPECT_EQ(slidingDeviation500(t, 3.0), 0.0);
    EXPECT_EQ(slidingDeviation500(t + 100, -2.0), 5.0);
    EXPECT_EQ(slidingDeviation500(t + 601, 0.0), 0.0);
    EXPECT_DOUBLE_EQ(vectorLength(3.0, 4.0), 5.0);
}

} // namespace
