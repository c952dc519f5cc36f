// The screens as the X11 back end keeps them, on the test's own X server (DISPLAY points
// there): read without a trip to the server, and read anew after the server reports a change;
// and the pointer's motion as the back end hears of it.

#include "platform/x11/X11PointerScreens.h"

#include <QProcess>
#include <chrono>
#include <future>
#include <thread>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#undef None
#undef Bool
#include <gtest/gtest.h>

namespace {

bool xrandr(const QStringList &args)
{
    return QProcess::execute(QStringLiteral("xrandr"), args) == 0;
}

bool eventually(const std::function<bool()> &condition)
{
    for (int i = 0; i < 500; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace

TEST(X11ScreenChanges, ReadingTheScreensNeedsNoTripToTheServer)
{
    platform::X11PointerScreens screens;
    const QRect primary = screens.primaryScreen();
    Display *other = XOpenDisplay(nullptr);
    ASSERT_TRUE(other);
    // While another client holds the server, every request waits.
    XGrabServer(other);
    XSync(other, False);
    auto read = std::async(std::launch::async, [&] {
        return std::make_pair(screens.primaryScreen(), screens.virtualScreen());
    });
    const bool answered = read.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
    XUngrabServer(other);
    XSync(other, False);
    EXPECT_TRUE(answered);
    EXPECT_EQ(read.get().first, primary);
    XCloseDisplay(other);
}

TEST(X11ScreenChanges, AChangedScreenIsReadAfterTheServerReportsIt)
{
    platform::X11PointerScreens screens;
    const QRect full(0, 0, 640, 480);
    ASSERT_EQ(screens.virtualScreen(), full);
    ASSERT_EQ(screens.primaryScreen(), full);

    ASSERT_TRUE(xrandr({"--output", "screen", "--off", "--fb", "320x240"}));
    EXPECT_TRUE(eventually([&] { return screens.virtualScreen() == QRect(0, 0, 320, 240); }));
    // No output shows anything: the whole screen stands in for the primary one.
    EXPECT_EQ(screens.primaryScreen(), QRect(0, 0, 320, 240));

    ASSERT_TRUE(xrandr({"--output", "screen", "--mode", "640x480", "--fb", "640x480"}));
    EXPECT_TRUE(eventually([&] { return screens.primaryScreen() == full; }));
    EXPECT_EQ(screens.virtualScreen(), full);
}

// The status images poll the pointer every few milliseconds; the back end tells them when
// nothing has moved, so that they need not ask the server.
TEST(X11PointerMotion, EachMoveIsToldOnceAndStillnessAsNoMove)
{
    platform::X11PointerScreens screens;
    Display *other = XOpenDisplay(nullptr);
    ASSERT_TRUE(other);
    screens.pointerMayHaveMoved(); // whatever came before
    for (const QPoint at : {QPoint(100, 120), QPoint(101, 120), QPoint(400, 20)}) {
        EXPECT_FALSE(screens.pointerMayHaveMoved());
        XTestFakeMotionEvent(other, DefaultScreen(other), at.x(), at.y(), 0);
        XSync(other, False);
        EXPECT_TRUE(eventually([&] { return screens.pointerMayHaveMoved(); }));
        EXPECT_FALSE(screens.pointerMayHaveMoved());
    }
    // Not watched, motion is not heard of; asked again, the answer is yes at first.
    screens.stopWatchingPointerMotion();
    XTestFakeMotionEvent(other, DefaultScreen(other), 10, 10, 0);
    XSync(other, False);
    EXPECT_TRUE(screens.pointerMayHaveMoved());
    EXPECT_FALSE(screens.pointerMayHaveMoved());
    // Motion is not taken for a change of the screens, which is still read when it comes.
    ASSERT_TRUE(xrandr({"--output", "screen", "--off", "--fb", "320x240"}));
    EXPECT_TRUE(eventually([&] { return screens.virtualScreen() == QRect(0, 0, 320, 240); }));
    ASSERT_TRUE(xrandr({"--output", "screen", "--mode", "640x480", "--fb", "640x480"}));
    EXPECT_TRUE(eventually([&] { return screens.virtualScreen() == QRect(0, 0, 640, 480); }));
    XCloseDisplay(other);
}
