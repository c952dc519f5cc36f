// Gestures become clicks, presses, keys, recentring and freezing by the click options, and
// nothing the engine pressed is ever left down.

#include "engine/ActionDispatch.h"
#include "core/FacialDetectionApp.h"
#include "engine/ClickEngine.h"
#include "engine/EngineState.h"
#include "engine/TrackingParameters.h"
#include "platform/InputSynthesis.h"
#include "platform/Platform.h"
#include "tests/engine/EngineTestSupport.h"

#include <QSignalSpy>

namespace {

using platform::Key;
using platform::MouseButton;

class ActionDispatch : public EngineTest
{
protected:
    FacialDetectionApp *app() { return FacialDetectionApp::instance(); }
    void gesture(ActionType type)
    {
        int started = 0, ended = 0;
        gestureStart(type, started, ended, false);
        if (!ended)
            gestureEnd();
    }
    static bool anythingHeld()
    {
        platform::InputSynthesis &in = platform::inputSynthesis();
        for (Key k : {Key::Space, Key::Return, Key::One, Key::F12, Key::F13, Key::F14}) {
            if (in.isHeld(k))
                return true;
        }
        return in.isHeld(MouseButton::Left) || in.isHeld(MouseButton::Right);
    }
};

TEST_F(ActionDispatch, InstantLeftGestureClicksOnceAndCountsTwo)
{
    trackingParameters.INSTANT_CLICK = true;
    int started = 0, ended = 0;
    gestureStart(1, started, ended, false);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(buttonsAndKeys(), (QStringList{"button(left,down)", "button(left,up)"}));
    EXPECT_EQ(sounds(), QList<SoundId>{SoundId::Click});
    EXPECT_EQ(app()->clickCounter, 2);
    EXPECT_EQ(clickOptionState.clickPerformed, 1);
}

TEST_F(ActionDispatch, RightOptionClickCountsOnlyTheExtra)
{
    pointerSettings.CLICK_OPTION_LEFT_CLICK = 0;
    clickOptionState.CLICK_OPTION_RIGHT_CLICK = 1;
    primaryClick(true);
    EXPECT_EQ(buttonsAndKeys(), (QStringList{"button(right,down)", "button(right,up)"}));
    EXPECT_EQ(app()->clickCounter, 1);
}

TEST_F(ActionDispatch, OwnWindowsGetAPlainLeftClickWhateverTheOptions)
{
    clickOptionState.CLICK_OPTION_TIMES2_MODE = 1;
    app()->setPointerOverClickOptions(true);
    app()->clickingActive = false;
    primaryClick(true);
    EXPECT_EQ(buttonsAndKeys(), (QStringList{"button(left,down)", "button(left,up)"}));
    EXPECT_EQ(clickOptionState.clickPerformed, 0);
    EXPECT_EQ(app()->clickCounter, 2);
}

TEST_F(ActionDispatch, PausedClickingDoesNothingElsewhere)
{
    app()->clickingActive = false;
    gesture(1);
    primaryClick(true);
    dragStep();
    for (ActionType type : {2, 3, 7}) // the right button and keys stop too
        gesture(type);
    EXPECT_TRUE(buttonsAndKeys().isEmpty());
    EXPECT_FALSE(anythingHeld());
    EXPECT_EQ(app()->clickCounter, 0);
}

TEST_F(ActionDispatch, DoubleClickOptionMakesTheDoubleClickAtThePress)
{
    clickOptionState.CLICK_OPTION_TIMES2_MODE = 1;
    primaryPress(true);
    EXPECT_EQ(buttonsAndKeys().size(), 4);
    EXPECT_EQ(sounds(), QList<SoundId>{SoundId::DoubleClick});
    EXPECT_EQ(clickOptionState.clickPerformed, 0);
    primaryRelease();
    EXPECT_EQ(buttonsAndKeys().size(), 4);
    EXPECT_EQ(clickOptionState.clickPerformed, 1);
}

TEST_F(ActionDispatch, NonInstantDragTakesTwoGestures)
{
    clickOptionState.CLICK_OPTION_DRAG_MODE = 1;
    gesture(1); // presses; the release is not armed
    EXPECT_EQ(buttonsAndKeys(), QStringList{"button(left,down)"});
    EXPECT_EQ(clickOptionState.dragState, 1);
    gesture(1); // arms and releases
    EXPECT_EQ(buttonsAndKeys(), (QStringList{"button(left,down)", "button(left,up)"}));
    EXPECT_EQ(clickOptionState.dragState, 0);
    EXPECT_FALSE(anythingHeld());
}

TEST_F(ActionDispatch, InstantLeftDragReleasesAtTheSecondGesture)
{
    trackingParameters.INSTANT_CLICK = true;
    clickOptionState.CLICK_OPTION_DRAG_MODE = 1;
    gesture(1);
    EXPECT_TRUE(platform::inputSynthesis().isHeld(MouseButton::Left));
    gesture(1);
    EXPECT_FALSE(anythingHeld());
    EXPECT_EQ(clickOptionState.clickPerformed, 1);
}

TEST_F(ActionDispatch, ReleaseLetsGoOfThePressedButtonEvenIfTheOptionChanged)
{
    primaryPress(true);
    pointerSettings.CLICK_OPTION_LEFT_CLICK = 0;
    clickOptionState.CLICK_OPTION_RIGHT_CLICK = 1;
    primaryRelease();
    EXPECT_EQ(buttonsAndKeys(), (QStringList{"button(left,down)", "button(left,up)"}));
    EXPECT_FALSE(anythingHeld());
}

TEST_F(ActionDispatch, PausingClickingMidDragStillLetsTheButtonGo)
{
    clickOptionState.CLICK_OPTION_DRAG_MODE = 1;
    dragStep(); // the first dwell presses
    EXPECT_TRUE(platform::inputSynthesis().isHeld(MouseButton::Left));
    app()->clickingActive = false;
    dragStep(); // the second releases, paused or not
    EXPECT_FALSE(anythingHeld());
    EXPECT_EQ(clickOptionState.dragState, 0);
}

TEST_F(ActionDispatch, KeysPressAndReleaseWithTheirBeeps)
{
    performAction(7, ActionPhases::Click);
    int started = 0, ended = 0;
    gestureStart(3, started, ended, false);
    EXPECT_TRUE(platform::inputSynthesis().isHeld(Key::Space));
    gestureEnd();
    EXPECT_EQ(buttonsAndKeys(),
              (QStringList{"key(F13,down)", "key(F13,up)", "key(Space,down)", "key(Space,up)"}));
    // The three beeps are files of one size: the test sees them as one kind.
    EXPECT_EQ(sounds(), (QList<SoundId>{SoundId::Beep, SoundId::Beep, SoundId::Beep}));
    EXPECT_EQ(app()->clickCounter, 3);
}

TEST_F(ActionDispatch, NoneIsSilentAndUnknownTypesBeep)
{
    trackingParameters.SOUND_CLICK = false;
    performAction(0, ActionPhases::Click);
    EXPECT_TRUE(sounds().isEmpty());
    int started = 0, ended = 0;
    gestureStart(12, started, ended, false);
    gestureEnd();
    EXPECT_EQ(sounds(), (QList<SoundId>{SoundId::Beep, SoundId::Beep}));
    EXPECT_TRUE(buttonsAndKeys().isEmpty());
    EXPECT_EQ(app()->clickCounter, 0);
}

TEST_F(ActionDispatch, RecentreOnClickAndPressButNotRelease)
{
    setPointer(10, 10);
    performAction(9, ActionPhases::Release);
    EXPECT_EQ(pointer(), QPoint(10, 10));
    performAction(9, ActionPhases::Click);
    EXPECT_EQ(pointer(), QPoint(960, 540));
    setPointer(10, 10);
    performAction(9, ActionPhases::Press);
    EXPECT_EQ(pointer(), QPoint(960, 540));
    EXPECT_EQ(app()->clickCounter, 0);
}

TEST_F(ActionDispatch, FreezeNeedsThePressAndTheEndRestoresPointing)
{
    QSignalSpy notice(app(), &FacialDetectionApp::ttwSetAttributes);
    QSignalSpy hidden(app(), &FacialDetectionApp::ttwHideText);
    performAction(10, ActionPhases::Click);
    EXPECT_EQ(pointerEngineState.pointerFrozen, 0);
    EXPECT_EQ(sounds(), QList<SoundId>{SoundId::Tick});

    smileModeState.pointingActive = 1;
    int started = 0, ended = 0;
    gestureStart(10, started, ended, false);
    EXPECT_EQ(pointerEngineState.pointerFrozen, 1);
    EXPECT_EQ(smileModeState.pointingActive, 0);
    ASSERT_EQ(notice.count(), 1);
    EXPECT_EQ(notice.at(0).at(0).toString(), "Pointer Frozen");
    EXPECT_EQ(notice.at(0).at(6).toInt(), 540 + 120);
    gestureEnd();
    EXPECT_EQ(pointerEngineState.pointerFrozen, 0);
    EXPECT_EQ(smileModeState.pointingActive, 1);
    EXPECT_EQ(hidden.count(), 1);

    // In absolute mode pointing is left alone.
    trackingParameters.ABSOLUTE_MODE = true;
    performAction(10, ActionPhases::Press);
    EXPECT_EQ(smileModeState.pointingActive, 1);
    performAction(10, ActionPhases::Release);
}

TEST_F(ActionDispatch, ReleasingHeldInputLetsEverythingGo)
{
    performAction(2, ActionPhases::Press);
    performAction(5, ActionPhases::Press);
    clickOptionState.CLICK_OPTION_DRAG_MODE = 1;
    primaryPress(true);
    EXPECT_TRUE(anythingHeld());
    releaseHeldInput();
    EXPECT_FALSE(anythingHeld());
    EXPECT_EQ(clickOptionState.dragState, 0);
}

TEST_F(ActionDispatch, SwitchingDragOffReleasesADragInProgress)
{
    setDragMode(1);
    primaryPress(true);
    EXPECT_TRUE(platform::inputSynthesis().isHeld(MouseButton::Left));
    setDragMode(0);
    EXPECT_FALSE(anythingHeld());
    EXPECT_EQ(clickOptionState.dragState, 0);
}

TEST_F(ActionDispatch, ResetGestureStateEndsAStartedAction)
{
    int started = 0, ended = 0;
    gestureStart(1, started, ended, false, InputOwner::Smile);
    smileModeState.actionStarted = started;
    smileModeState.actionEnded = ended;
    smileModeState.pointingActive = 1;
    EXPECT_TRUE(platform::inputSynthesis().isHeld(MouseButton::Left));
    resetGestureState();
    EXPECT_FALSE(anythingHeld());
    EXPECT_EQ(smileModeState.actionStarted, 0);
    EXPECT_EQ(smileModeState.pointingActive, 0);
    EXPECT_EQ(smileEpisode.threshold, trackingParameters.SMILE_THRESHOLD);
    EXPECT_EQ(smileEpisode.endMs, now());
}

TEST_F(ActionDispatch, ResetGestureStateKeepsScrollingUnderTheScrollOption)
{
    clickOptionState.CLICK_OPTION_SCROLL_MODE = 1;
    smileModeState.scrollingActive = 1;
    resetGestureState();
    EXPECT_EQ(smileModeState.scrollingActive, 1);
    clickOptionState.CLICK_OPTION_SCROLL_MODE = 0;
    resetGestureState();
    EXPECT_EQ(smileModeState.scrollingActive, 0);
}

} // namespace
