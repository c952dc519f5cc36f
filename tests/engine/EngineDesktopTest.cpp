// The engine on the real X server: its own pointer moves are not taken for a user's mouse,
// a pointer warped by another program makes it yield and recentre, and a dwell click and
// head scrolling reach the window under the pointer.

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "engine/ActionDispatch.h"
#include "engine/ClickEngine.h"
#include "engine/EngineSignals.h"
#include "engine/EngineState.h"
#include "engine/TrackingParameters.h"
#include "platform/Platform.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/support/TestHome.h"
#include "vision/FrameRecords.h"

// Xlib's headers last: their macros clash with Qt's names.
#include "tests/platform/XTestClient.h"

#include <X11/Xlib.h>
#undef None
#undef Bool

namespace {

class EngineOnDesktop : public EngineTest
{
protected:
    EngineOnDesktop() { recordingBackends = false; }
    void SetUp() override
    {
        ASSERT_TRUE(x.display) << "no X display";
        EngineTest::SetUp();
        clickOptionState.MOTION_MODE = 1;
        trackingParameters.MMM_TIME_LAG = 300;
    }
    void warp(int px, int py)
    {
        XWarpPointer(x.display, 0L, DefaultRootWindow(x.display), 0, 0, 0, 0, px, py);
        XSync(x.display, 0);
    }
    // The loop's order: the external-motion check, then (unless it yields) the pointer.
    bool loopFrame(double vx = 0.0)
    {
        frame(vx);
        frameRecords.motion.absolutePosition = headOffset;
        if (detectExternalMouseMotion())
            return true;
        procPointerMotion(trackingParameters.ABSOLUTE_MODE ? alwaysOnAbsoDetector
                                                           : alwaysOnDetector);
        procDwellClick();
        return false;
    }
    XTestClient x;
    cv::Point2d headOffset;
};

TEST_F(EngineOnDesktop, TheEnginesOwnMovesAreNotExternalMotion)
{
    trackingParameters.ABSOLUTE_MODE = true;
    for (int i = 0; i < 20; ++i) {
        // Large jumps back and forth, well above the motion threshold.
        headOffset = cv::Point2d(i % 2 ? 12.0 : -12.0, 0.0);
        ASSERT_FALSE(loopFrame(60.0)) << "frame " << i;
        const QPoint target(i % 2 ? 960 + 384 : 960 - 384, 540);
        // The server moves the pointer when it gets to the event, not before the call returns.
        EXPECT_TRUE(waitUntil([&] { return x.pointer() == target; })) << "frame " << i;
    }
    EXPECT_EQ(pointerEngineState.externalMotionCount, 0);
    // Relative steps too.
    trackingParameters.ABSOLUTE_MODE = false;
    for (int i = 0; i < 10; ++i)
        ASSERT_FALSE(loopFrame(i % 2 ? 40.0 : -40.0));
    EXPECT_EQ(pointerEngineState.externalMotionCount, 0);
}

TEST_F(EngineOnDesktop, AWarpByAnotherProgramPausesTheEngineThenRecentres)
{
    warp(300, 300);
    loopFrame();
    warp(700, 300);
    EXPECT_FALSE(loopFrame());
    warp(1100, 300);
    EXPECT_TRUE(loopFrame());
    const quint32 detectedAt = now();
    while (now() + 40 - detectedAt <= 300)
        EXPECT_TRUE(loopFrame());
    EXPECT_FALSE(loopFrame());
    EXPECT_TRUE(waitUntil([&] { return x.pointer() == QPoint(960, 540); }));
}

TEST_F(EngineOnDesktop, ADwellClickReachesTheWindowUnderThePointer)
{
    const Window window = x.createWindow(QRect(100, 100, 400, 300));
    clickOptionState.CLICK_MODE = 1;
    warp(300, 250);
    loopFrame();
    warp(320, 260); // away from where tracking started
    for (int i = 0; i < 50; ++i)
        loopFrame();
    EXPECT_TRUE(
        x.waitFor([&] { return x.count(ButtonPress, 1) == 1 && x.count(ButtonRelease, 1) == 1; }));
    EXPECT_EQ(x.pointerButtons(), 0u);
    x.destroyWindow(window);
}

TEST_F(EngineOnDesktop, HeadScrollingReachesTheWindowAsWheelButtons)
{
    const Window window = x.createWindow(QRect(100, 100, 400, 300));
    warp(300, 250);
    loopFrame();
    startScrollMode();
    const auto scrollFrame = [&](int headShiftY) {
        frame();
        frameRecords.motion.headShiftY20 = headShiftY;
        frameRecords.seen.hogSeenMs = frameRecords.seen.boxSeenMs = now();
        procScroll();
    };
    scrollFrame(-560); // head up: index 49, twelve notches up
    EXPECT_TRUE(x.waitFor([&] { return x.count(ButtonPress, 4) == 12; }));
    scrollFrame(1120); // as far below the start
    EXPECT_TRUE(x.waitFor([&] { return x.count(ButtonPress, 5) == 12; }));
    EXPECT_EQ(x.count(ButtonRelease, 4), 12);
    EXPECT_EQ(x.pointerButtons(), 0u);
    smileModeState.scrollingActive = 0;
    x.destroyWindow(window);
}

} // namespace

int main(int argc, char **argv)
{
    XInitThreads(); // as the program does first
    ::testing::InitGoogleTest(&argc, argv);
    TestHome home;
    if (platform::installDefault() != platform::Backend::Native) {
        fprintf(stderr, "no X display\n");
        return 1;
    }
    initDataFolder();
    initFileLocations();
    FacialDetectionApp application(argc, argv);
    EngineSignals engineOutput;
    setEngineSignals(&engineOutput);
    const int result = RUN_ALL_TESTS();
    setEngineSignals(nullptr);
    return result;
}
