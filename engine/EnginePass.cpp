#include "engine/EnginePass.h"

#include "core/FacialDetectionApp.h"
#include "engine/ActionDispatch.h"
#include "engine/ClickEngine.h"
#include "engine/EngineResets.h"
#include "engine/EngineState.h"
#include "engine/FacialGestures.h"
#include "engine/SmileGesture.h"
#include "engine/StillnessDetector.h"
#include "engine/SyntheticInput.h"
#include "engine/TrackingParameters.h"
#include "vision/FrameRecords.h"

namespace {

quint32 lastFrameMs = 0;
bool gapEnded = false;

void updateStillness(StillnessDetector &detector)
{
    const HeadMotionState &now = frameRecords.motion;
    const HeadMotionState &before = frameRecords.previousMotion;
    updateStillnessDetector(detector, now.smoothedPointerVelocity.x, now.smoothedPointerVelocity.y,
                            before.smoothedPointerVelocity.x, before.smoothedPointerVelocity.y,
                            now.timeMs);
}

} // namespace

void startEnginePasses(quint32 nowMs)
{
    lastFrameMs = nowMs;
    gapEnded = false;
}

bool runEnginePass(bool &dwellRan)
{
    const TrackingParameters &p = trackingParameters;
    dwellRan = false;
    lastFrameMs = frameRecords.motion.timeMs;
    gapEnded = false;
    updateStillness(alwaysOnDetector);
    updateStillness(alwaysOnAbsoDetector);
    updateStillness(holdHeadSteadyDetector);
    processQueuedCalls();
    updatePointerOffScreenFlag();
    if (p.MODE_FULL_FUNCTION && p.ACTIVATE_MMM_DETECTION && detectExternalMouseMotion()) {
        // The real mouse has the pointer: no gesture goes on holding anything meanwhile, and
        // a drag is dropped before anything moves the pointer.
        interruptGestures();
        dropDrag();
        return false;
    }
    // A gesture switched off ends what it started, and nothing else.
    if (p.ACTIVATE_SMILE_DETECTION) {
        procSmile();
        processQueuedCalls();
    } else {
        interruptSmileGesture();
    }
    if (p.ACTIVATE_BLINK_DETECTION)
        procBlinkEvent();
    else
        interruptSlowBlink();
    if (p.ACTIVATE_EYEBROWRAISE_DETECTION)
        procEyebrowRaiseEvent();
    else
        interruptEyebrowRaise();
    if (p.ACTIVATE_MOUTHOPEN_DETECTION)
        procMouthOpenEvent();
    else
        interruptMouthOpen();
    procScroll();
    if (p.ACTIVATE_HHS_DETECTION)
        procHoldHeadSteady(holdHeadSteadyDetector);
    sendDwellParkValues(alwaysOnAbsoDetector, alwaysOnDetector);
    if (p.MODE_FULL_FUNCTION)
        procPointerMotion(p.ABSOLUTE_MODE ? alwaysOnAbsoDetector : alwaysOnDetector);
    if (p.MODE_FULL_FUNCTION || (p.MODE_SWITCH_ONLY && p.GEN_CLICK_INSTEAD_OF_CLICK)) {
        procDwellClick();
        dwellRan = true;
    }
    if (clickOptionState.clickPerformed == 1) {
        if (FacialDetectionApp *app = FacialDetectionApp::instance())
            app->ResetClickOptions_Softly();
        setClickPerformed(0);
    }
    return true;
}

void suspendEnginePass()
{
    lastFrameMs = frameRecords.motion.timeMs;
    interruptGestures();
    dropDrag();
}

void enginePassWithoutFrame(quint32 nowMs)
{
    if (gapEnded || nowMs - lastFrameMs <= kNoFrameLimitMs)
        return;
    gapEnded = true;
    releaseEverything();
}

void releaseEverything()
{
    interruptGestures();
    interruptDwell();
    releaseHeldInput();
}
