// The recording input and screen services: what tests of the engine and the overlays rely on.

#include "platform/InputSynthesis.h"
#include "platform/Platform.h"
#include "platform/PointerScreens.h"
#include "platform/recording/CallLog.h"
#include "platform/recording/RecordingInputSynthesis.h"
#include "platform/recording/RecordingPointerScreens.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using platform::Key;
using platform::MouseButton;

namespace {

struct RecordingDesktop : ::testing::Test
{
    void SetUp() override { platform::installRecording(); }
    platform::InputSynthesis &input = platform::inputSynthesis();
    platform::RecordingPointerScreens &screens = platform::recordingPointerScreens();
    QStringList events() const { return platform::recordingLog().calls("input"); }
};

} // namespace

TEST_F(RecordingDesktop, EveryEventIsLoggedOnceInTheOrderSent)
{
    input.moveAbsolute(10, 20);
    input.buttonDown(MouseButton::Left);
    input.buttonUp(MouseButton::Left);
    input.keyDown(Key::F13);
    input.keyUp(Key::F13);
    input.keyDown(Key::One);
    input.keyUp(Key::One);
    EXPECT_EQ(events(), (QStringList{"move(10,20)", "button(left,down)", "button(left,up)",
                                     "key(F13,down)", "key(F13,up)", "key(1,down)", "key(1,up)"}));
}

TEST_F(RecordingDesktop, TheWheelSendsWholeNotchesAndCarriesTheRemainder)
{
    input.wheel(240);
    EXPECT_EQ(events(), (QStringList{"wheel(up)", "wheel(up)"}));
    platform::recordingLog().clear();

    input.wheel(60);
    EXPECT_TRUE(events().isEmpty());
    input.wheel(60);
    EXPECT_EQ(events(), QStringList{"wheel(up)"});
    platform::recordingLog().clear();

    input.wheel(-150);
    EXPECT_EQ(events(), QStringList{"wheel(down)"});
    EXPECT_EQ(platform::recordingInputSynthesis().wheelRemainder(), -30);
    input.wheel(0);
    input.wheel(30);
    EXPECT_EQ(events(), QStringList{"wheel(down)"});
    EXPECT_EQ(platform::recordingInputSynthesis().wheelRemainder(), 0);
}

TEST_F(RecordingDesktop, ReleaseAllLetsGoOfWhatIsHeldAndOfNothingElse)
{
    input.buttonDown(MouseButton::Right);
    input.keyDown(Key::Space);
    input.keyDown(Key::F14);
    input.buttonDown(MouseButton::Left);
    input.buttonUp(MouseButton::Left);
    EXPECT_TRUE(input.isHeld(MouseButton::Right));
    EXPECT_TRUE(input.isHeld(Key::F14));
    EXPECT_FALSE(input.isHeld(MouseButton::Left));
    platform::recordingLog().clear();

    input.releaseAll();
    EXPECT_EQ(events(), (QStringList{"button(right,up)", "key(Space,up)", "key(F14,up)"}));
    EXPECT_FALSE(input.isHeld(MouseButton::Right));
    EXPECT_FALSE(input.isHeld(Key::Space));
    EXPECT_FALSE(input.isHeld(Key::F14));

    platform::recordingLog().clear();
    input.releaseAll();
    EXPECT_TRUE(events().isEmpty());
}

// As on the desktop: a press on one thread racing a release-all on another is logged as it
// is noted, whichever comes first.
TEST_F(RecordingDesktop, APressRacingAReleaseAllOnAnotherThreadIsLoggedAsItIsNoted)
{
    constexpr int Rounds = 100000;
    std::atomic<int> go{-1}, pressed{-1};
    std::thread presser([&] {
        for (int round = 0; round < Rounds; ++round) {
            while (go.load() < round)
                std::this_thread::yield();
            input.buttonDown(MouseButton::Left);
            pressed.store(round);
        }
    });
    int disagreements = 0;
    for (int round = 0; round < Rounds; ++round) {
        platform::recordingLog().clear();
        go.store(round);
        input.releaseAll();
        while (pressed.load() < round)
            std::this_thread::yield();
        const QStringList sent = events();
        disagreements += input.isHeld(MouseButton::Left) != (sent.last() == "button(left,down)");
        input.releaseAll();
    }
    presser.join();
    EXPECT_EQ(disagreements, 0) << "of " << Rounds << " rounds";
}

TEST_F(RecordingDesktop, MovesStartFromThePointerAndStayOnTheVirtualScreen)
{
    screens.setScreens(QRect(0, 0, 1920, 1080), QRect(0, 0, 3840, 1080));
    screens.setPointer(QPoint(100, 100));
    input.moveRelative(-30, 5);
    EXPECT_EQ(screens.pointer(), QPoint(70, 105));
    input.moveRelative(-500, -500);
    EXPECT_EQ(screens.pointer(), QPoint(0, 0));
    input.moveAbsolute(5000, 2000);
    EXPECT_EQ(screens.pointer(), QPoint(3839, 1079));
}

TEST_F(RecordingDesktop, LogicalPixelsArePhysicalOnesDividedByTheRatio)
{
    platform::PointerScreens &s = platform::pointerScreens();
    EXPECT_EQ(s.devicePixelRatio(), 1.0);
    s.setDevicePixelRatio(2.0);
    screens.setPointer(QPoint(101, 51));
    QPoint logical;
    ASSERT_TRUE(s.logicalPointerPosition(&logical));
    EXPECT_EQ(logical, QPoint(50, 25));
    EXPECT_EQ(s.toPhysical(QPoint(50, 25)), QPoint(100, 50));
    screens.setScreens(QRect(1920, 0, 3840, 2160), QRect(0, 0, 5760, 2160));
    EXPECT_EQ(s.logicalPrimaryScreen(), QRect(960, 0, 1920, 1080));
    EXPECT_EQ(s.logicalVirtualScreen(), QRect(0, 0, 2880, 1080));

    s.setDevicePixelRatio(1.5);
    EXPECT_EQ(s.toLogical(QPoint(-3, 4)), QPoint(-2, 2)); // toward zero
    s.setDevicePixelRatio(0);
    EXPECT_EQ(s.devicePixelRatio(), 1.0);

    screens.setFailing(true);
    logical = QPoint(7, 7);
    EXPECT_FALSE(s.logicalPointerPosition(&logical));
    EXPECT_EQ(logical, QPoint(7, 7));
}
