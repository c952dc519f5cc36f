#include "engine/EngineResets.h"

#include "core/FacialDetectionApp.h"
#include "engine/ActionDispatch.h"
#include "engine/ClickEngine.h"
#include "engine/SyntheticInput.h"
#include "engine/TrackingParameters.h"
#include "platform/Platform.h"
#include "platform/PointerScreens.h"
#include "vision/FrameRecords.h"

void updatePointerOffScreenFlag()
{
    FacialDetectionApp *app = FacialDetectionApp::instance();
    if (!app)
        return;
    if (!trackingParameters.ABSOLUTE_MODE) {
        app->setPointerOffScreen(false);
        return;
    }
    const QRect screen = platform::pointerScreens().logicalPrimaryScreen();
    if (screen.isEmpty()) {
        app->setPointerOffScreen(false);
        return;
    }
    const cv::Point pos = currentPointerRecord().pointerPos;
    const int x = pos.x - screen.left();
    const int y = pos.y - screen.top();
    app->setPointerOffScreen(x < 0 || x > screen.width() || y < 0 || y > screen.height());
}

void resetDwellRecord(DwellRecord &record)
{
    record = DwellRecord{};
}

void resetDwellRecords()
{
    FacialDetectionApp *app = FacialDetectionApp::instance();
    if (currentDwell.countdownShown && app)
        emit app->cdtStopTimer();
    resetDwellRecord(currentDwell);
    resetDwellRecord(lastDwellClick);
}

void resetSmileEpisode()
{
    smileEpisode = SmileEpisode{};
    smileEpisode.endMs = frameRecords.motion.timeMs;
    smileEpisode.threshold = trackingParameters.SMILE_THRESHOLD;
}

void resetGestureState()
{
    SmileModeState &s = smileModeState;
    // The action ends before its record goes, whatever the record says by now: nothing the
    // smile pressed stays down.
    gestureEnd(InputOwner::Smile);
    const bool scrollOption = clickOptionState.CLICK_OPTION_SCROLL_MODE != 0;
    s.smileActive = 0;
    s.smileSustained = 0;
    resetSmileEpisode();
    if (!scrollOption)
        resetScrollState();
    s.pointingActive = 0;
    s.draggingActive = 0;
    if (!scrollOption) {
        s.scrollingActive = 0;
        s.scrollNotYetMoved = false;
    }
    s.pointStageShown = 0;
    s.scrollStageShown = 0;
    s.dragStageShown = 0;
    s.peakTracked = 0;
    smileOnset.current = SmileOnsetFields{};
    s.actionStarted = 0;
    s.actionEnded = 0;
}

void primaryScreenCentre(int &x, int &y)
{
    const QRect screen = platform::pointerScreens().logicalPrimaryScreen();
    x = screen.left() + screen.width() / 2;
    y = screen.top() + screen.height() / 2;
}

void recenterPointer()
{
    resetPointerState();
    int x = 0, y = 0;
    primaryScreenCentre(x, y);
    movePointerAbsolute(x, y);
}

void resetPointerState()
{
    int x = 0, y = 0;
    primaryScreenCentre(x, y);
    const cv::Point centre(x, y);
    for (PointerFrameRecord *rec : {&pointerRecords.current, &pointerRecords.previous}) {
        rec->pointerPos = centre;
        rec->realPointerPos = centre;
        rec->pointerDelta = cv::Point();
        rec->sentStep = cv::Point();
        rec->gainStep = cv::Point2d();
        rec->absoluteRaw = centre;
        rec->absoluteTrueSm = centre;
        rec->absoluteCombo.fill(centre);
    }
    smileEpisode.pointerRemainder = {0.0, 0.0};
    // The head's offset starts again from the centre.
    for (HeadMotionState *m : {&frameRecords.motion, &frameRecords.previousMotion}) {
        m->absolutePosition = cv::Point2d();
        m->absolutePositionMean.fill(cv::Point2d());
        m->absoluteSeriesX.clear();
        m->absoluteSeriesY.clear();
    }
    pointerEngineState.parkState = 0;
    // A session's start or a recentring puts the pointer somewhere it did not dwell: no dwell
    // begins there until the pointer has left it (the next dwell step anchors it there).
    resetDwellRecords();
}

void setDragMode(int value)
{
    clickOptionState.CLICK_OPTION_DRAG_MODE = value;
    // Switching the drag off lets go of a drag in progress, and of nothing else.
    if (!value && clickOptionState.dragState != 0)
        dropDrag();
}

void setClickPerformed(int value)
{
    clickOptionState.clickPerformed = value;
}

void recenterWithSound()
{
    if (trackingParameters.SOUND_RECENTER)
        playSound(SoundId::LoudBlink);
    recenterPointer();
}
