// Who holds what: each press has an owner and goes up with its owner's end, as it was pressed,
// whatever the settings, the pointer or the frames do meanwhile.

#include "core/FacialDetectionApp.h"
#include "engine/ActionDispatch.h"
#include "engine/ClickEngine.h"
#include "engine/EnginePass.h"
#include "engine/EngineState.h"
#include "engine/FacialGestures.h"
#include "engine/InputOwners.h"
#include "engine/TrackingParameters.h"
#include "platform/InputSynthesis.h"
#include "platform/Platform.h"
#include "tests/engine/EngineTestSupport.h"
#include "vision/FrameRecords.h"

namespace {

using platform::MouseButton;

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

bool leftHeld()
{
    return platform::inputSynthesis().isHeld(MouseButton::Left);
}

class HeldInput : public EngineTest
{
protected:
    void TearDown() override
    {
        interruptGestures();
        EngineTest::TearDown();
    }
    // A pass of the frame loop with a frame.
    void pass(int dtMs = 40)
    {
        frame(0.0, 0.0, dtMs);
        bool dwellRan = false;
        runEnginePass(dwellRan);
    }
};

TEST_F(HeldInput, TheDragOptionDrivenByClicksPicksUpDropsAndPicksUp)
{
    clickOptionState.CLICK_OPTION_DRAG_MODE = 1;
    for (bool right : {false, true}) {
        for (bool instant : {false, true}) {
            SCOPED_TRACE(std::string(right ? "right" : "left") + (instant ? ", instant" : ""));
            pointerSettings.CLICK_OPTION_LEFT_CLICK = !right;
            clickOptionState.CLICK_OPTION_RIGHT_CLICK = right;
            trackingParameters.INSTANT_CLICK = instant;
            clearLogs();
            // Forced or instant gesture clicks, as a short smile or an opening closed at the
            // minimum makes them.
            for (int i = 0; i < 3; ++i) {
                int started = 0, ended = 0;
                gestureStart(1, started, ended, true, InputOwner::MouthOpen);
            }
            const QString b = right ? "right" : "left";
            EXPECT_EQ(buttonsAndKeys(),
                      (QStringList{"button(" + b + ",down)", "button(" + b + ",up)",
                                   "button(" + b + ",down)"}));
            releaseHeldInput();
        }
    }
}

TEST_F(HeldInput, AGestureEndsWithTheMappingAndOptionsItBeganWith)
{
    // The Dwell button maps the smile to nothing and resets the gesture state after it.
    smileModeState.actionStarted = 0;
    gestureStart(1, smileModeState.actionStarted, smileModeState.actionEnded, false,
                 InputOwner::Smile);
    ASSERT_TRUE(leftHeld());
    trackingParameters.FEMAP_INDEX_SMILE = 0;
    resetGestureState();
    EXPECT_FALSE(leftHeld());

    // A blink holding F13, remapped in the settings window, lets go of F13.
    trackingParameters.FEMAP_INDEX_SLOWBLINK = 7;
    BlinkRecord &blink = blinkState.current;
    blink.inProgress = 1;
    gestureStart(7, blink.actionStarted, blink.actionEnded, false, InputOwner::SlowBlink);
    trackingParameters.FEMAP_INDEX_SLOWBLINK = 3;
    interruptSlowBlink();
    EXPECT_EQ(buttonsAndKeys().mid(2), (QStringList{"key(F13,down)", "key(F13,up)"}));

    // The click options changed between press and release: the press's own release.
    int started = 0, ended = 0;
    gestureStart(1, started, ended, false, InputOwner::EyebrowRaise);
    clickOptionState.CLICK_OPTION_TIMES2_MODE = 1;
    gestureEnd(InputOwner::EyebrowRaise);
    EXPECT_FALSE(leftHeld());
}

TEST_F(HeldInput, APressOverOurOwnWindowsIsReleasedAsThePlainPressItWas)
{
    for (int option = 0; option < 3; ++option) {
        SCOPED_TRACE(option);
        clickOptionState.CLICK_OPTION_TIMES2_MODE = option == 0;
        clickOptionState.CLICK_OPTION_DRAG_MODE = option == 1;
        clickOptionState.CLICK_OPTION_SCROLL_MODE = option == 2;
        app()->setPointerOverClickOptions(true);
        int started = 0, ended = 0;
        gestureStart(1, started, ended, false, InputOwner::MouthOpen);
        ASSERT_TRUE(leftHeld());
        app()->setPointerOverClickOptions(false);
        gestureEnd(InputOwner::MouthOpen);
        EXPECT_FALSE(leftHeld());
        EXPECT_EQ(clickOptionState.dragState, 0);
    }
}

TEST_F(HeldInput, PausedClickingStopsTheSmilesClick)
{
    app()->clickingActive = false;
    for (int type : {2, 3, 8}) {
        trackingParameters.FEMAP_INDEX_SMILE = type;
        int started = 0, ended = 0;
        dispatchSmileClick(type, started, ended);
        EXPECT_EQ(ended, 1);
    }
    EXPECT_TRUE(buttonsAndKeys().isEmpty());
}

TEST_F(HeldInput, ARealMouseDropsADragBeforeThePointerMoves)
{
    trackingParameters.ACTIVATE_MMM_DETECTION = true;
    pass();
    clickOptionState.CLICK_OPTION_DRAG_MODE = 1;
    dragStep(); // a dwell picks up
    ASSERT_TRUE(leftHeld());
    setPointer(200, 200);
    pass();
    setPointer(600, 600);
    pass();
    EXPECT_FALSE(leftHeld());
    EXPECT_EQ(clickOptionState.dragState, 0);
    // The recentre at the end of the lag comes after the drop.
    for (int i = 0; i < 80; ++i)
        pass();
    const QStringList calls = input();
    const int up = int(calls.indexOf("button(left,up)"));
    ASSERT_GE(up, 0);
    EXPECT_GT(calls.lastIndexOf("move(960,540)"), up);
    EXPECT_EQ(calls.indexOf("move(960,540)"), calls.indexOf("move(960,540)", up));
}

TEST_F(HeldInput, AShortGapWithoutFramesChangesNothingALongOneLetsGo)
{
    clickOptionState.CLICK_OPTION_DRAG_MODE = 1;
    startEnginePasses(currentTimeMs32());
    pass();
    dragStep();
    BlinkRecord &blink = blinkState.current;
    blink.inProgress = 1;
    gestureStart(7, blink.actionStarted, blink.actionEnded, false, InputOwner::SlowBlink);
    for (int t = 0; t < 480; t += 20) {
        clock->advance(20);
        enginePassWithoutFrame(currentTimeMs32());
    }
    EXPECT_TRUE(leftHeld());
    EXPECT_TRUE(platform::inputSynthesis().isHeld(platform::Key::F13));
    for (int t = 0; t < 100; t += 20) {
        clock->advance(20);
        enginePassWithoutFrame(currentTimeMs32());
    }
    EXPECT_FALSE(engineHoldsAnyInput());
    EXPECT_FALSE(leftHeld());
    EXPECT_EQ(blinkState.current.inProgress, 0);
    EXPECT_EQ(clickOptionState.dragState, 0);
}

TEST_F(HeldInput, ASwitchEndsWhatItsOwnGestureHoldsAndNothingElse)
{
    clickOptionState.CLICK_OPTION_DRAG_MODE = 1;
    dragStep();
    BlinkRecord &blink = blinkState.current;
    blink.inProgress = 1;
    trackingParameters.FEMAP_INDEX_SLOWBLINK = 7;
    gestureStart(7, blink.actionStarted, blink.actionEnded, false, InputOwner::SlowBlink);
    blinkState.lastRunMs = now();
    trackingParameters.ACTIVATE_HHS_DETECTION = false;
    trackingParameters.ACTIVATE_MMM_DETECTION = false;
    trackingParameters.ACTIVATE_BLINK_DETECTION = false;
    pass();
    EXPECT_FALSE(platform::inputSynthesis().isHeld(platform::Key::F13));
    EXPECT_TRUE(leftHeld());
    EXPECT_EQ(clickOptionState.dragState, -1);
}

} // namespace
