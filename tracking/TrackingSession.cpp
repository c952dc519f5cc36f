#include "tracking/TrackingSession.h"

#include "core/Clock.h"
#include "core/FacialDetectionApp.h"
#include "engine/ActionDispatch.h"
#include "engine/ClickEngine.h"
#include "engine/SyntheticInput.h"
#include "engine/TrackingParameters.h"
#include "feedback/COnScreenText.h"
#include "feedback/CProgressMeter.h"
#include "platform/Platform.h"
#include "platform/PointerScreens.h"
#include "vision/FacialMetricsState.h"

#include <QObject>
#include <QPoint>

namespace {

constexpr int kRelaxMs = 8000;
constexpr int kSmileMs = 3000;
constexpr int kMouthMs = 3000;
constexpr int kFinalMs = 6000;
constexpr quint32 kLabelColor = 0xFF3D00;
constexpr quint32 kRingColor = 0x00FF00;

bool smileClicking()
{
    return clickOptionState.CLICK_MODE == 0;
}

} // namespace

bool TrackingSession::startTrackingSession(bool force, const Hooks &hooks)
{
    if (FacialDetectionApp *app = FacialDetectionApp::instance()) {
        app->clickCounter = 0;
        app->clickCounterResetTime = int(hooks.frameTimeMs);
    }
    resetPointerState();
    wholeImageSearchDue = true;
    const bool started = startCalibration(force);
    if (started && hooks.metricsState)
        hooks.metricsState->startSession();
    return started;
}

bool TrackingSession::startCalibration(bool force)
{
    const qint64 now = currentTimeMs();
    if (active && now <= startMs + kRestartGuardMs)
        return false;

    const QString text = (smileClicking() || force) ? QObject::tr("Calibrating...")
                                                    : QObject::tr("Centering Mouse Pointer...");
    int x = 0, y = 0;
    primaryScreenCentre(x, y);
    startMs = now;
    smileModeAtStart = smileClicking();
    // The label is drawn in the desktop's pixels, the screen's centre is in the program's.
    const QPoint heading = platform::pointerScreens().toPhysical(QPoint(x, y - 280));
    CalibrationText.StartBelow(text, heading.x(), heading.y(), 2, 2);
    CalibrationText.SetSize(55);
    CalibrationText.SetTextColor(kLabelColor);
    // A restarted calibration keeps the engine state saved when the first one began.
    if (!active) {
        savedEngineEnabled = pointerSettings.engineEnabled;
        savedEngineState = true;
        pointerSettings.engineEnabled = 0;
    }
    active = true;
    current = Phase::Idle;
    // Nothing held is dragged to the centre: gestures end and a drag is dropped first.
    interruptGestures();
    dropDrag();
    movePointerAbsolute(x, y);
    return true;
}

TrackingSession::Phase TrackingSession::phase() const
{
    return current;
}

void TrackingSession::enterPhase(Phase phase, int durationMs, const QString &text)
{
    current = phase;
    GlobalProgressMeter.Stop();
    GlobalProgressMeter.SetDiameter(100);
    GlobalProgressMeter.SetThickness(30);
    GlobalProgressMeter.SetColor(kRingColor);
    GlobalProgressMeter.SetDuration(durationMs);
    GlobalProgressMeter.SetLabelSize(25);
    int x = 0, y = 0;
    primaryScreenCentre(x, y);
    movePointerAbsolute(x, y);
    GlobalProgressMeter.Start(text, true);
}

void TrackingSession::calibrationTick(double headSpeed)
{
    if (!active)
        return;
    const qint64 elapsed = currentTimeMs() - startMs;
    const bool smileMode = smileClicking();

    if (elapsed <= kRelaxMs) {
        if (current != Phase::Relax)
            enterPhase(Phase::Relax, kRelaxMs, QObject::tr("Relax and Hold Head Steady."));
        return;
    }
    if (smileMode && elapsed <= kRelaxMs + kSmileMs) {
        if (current != Phase::Smile)
            enterPhase(Phase::Smile, kSmileMs, QObject::tr("Smile Moderately and Hold."));
        return;
    }
    if (smileMode && elapsed <= kRelaxMs + kSmileMs + kMouthMs) {
        if (current != Phase::Mouth)
            enterPhase(Phase::Mouth, kMouthMs, QObject::tr("Stop Smiling. Open Your Mouth."));
        return;
    }
    const qint64 end = smileMode ? 20000 : 14000;
    if (elapsed <= end) {
        if (current != Phase::Final) {
            enterPhase(Phase::Final, kFinalMs,
                       smileMode ? QObject::tr("Remember:  Smile to click, drag or scroll.")
                                 : QObject::tr("Remember:  Dwell to click, drag or scroll."));
            if (!smileMode)
                CalibrationText.SetText(QObject::tr("Mouse Centering Complete"));
            return;
        }
        // Moving the head in the reminder ends it early: the user is ready.
        const double limit =
            qMax(trackingParameters.TREMOR_CONTROL, trackingParameters.ESCAPE_VELOCITY);
        if (headSpeed < limit)
            return;
    }
    finishCalibration(smileMode);
}

void TrackingSession::finishCalibration(bool smileMode)
{
    GlobalProgressMeter.Stop();
    if (savedEngineState)
        pointerSettings.engineEnabled = savedEngineEnabled;
    savedEngineState = false;
    // Whatever happened meanwhile, a finished calibration never leaves the engine off.
    if (pointerSettings.engineEnabled == 0)
        pointerSettings.engineEnabled = 1;
    active = false;
    current = Phase::Idle;
    CalibrationText.Stop();
    if (trackingParameters.ABSOLUTE_MODE)
        recenterWithSound();
    if (trackingParameters.MINIMIZE_AFTER_CALIBRATION)
        minimiseRequested = true;
    if (smileMode)
        clickOptionState.trackingSessionStarted = 1;
}

bool TrackingSession::takeMinimiseRequest()
{
    const bool requested = minimiseRequested;
    minimiseRequested = false;
    return requested;
}

bool TrackingSession::takeWholeImageSearch()
{
    const bool due = wholeImageSearchDue;
    wholeImageSearchDue = false;
    return due;
}
