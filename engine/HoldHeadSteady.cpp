#include "core/FacialDetectionApp.h"
#include "engine/ClickEngine.h"
#include "engine/EngineSignals.h"
#include "engine/EngineState.h"
#include "engine/TrackingParameters.h"
#include "vision/FrameRecords.h"

#include <cmath>

namespace {

constexpr quint32 kWarningBeforeMs = 3000;

int roundedHeadSpeed()
{
    const double speed = frameRecords.motion.headSpeed;
    if (!std::isfinite(speed))
        return 0;
    return int(std::min(speed + 0.5, 1.0e9));
}

quint32 stillFor(const StillnessDetector &detector)
{
    return detector.isStill ? frameRecords.motion.timeMs - detector.stillSinceMs : 0;
}

bool engineBusy()
{
    const SmileModeState &s = smileModeState;
    FacialDetectionApp *app = FacialDetectionApp::instance();
    return s.pointingActive || s.scrollingActive || s.draggingActive ||
           (app && app->oswExternalMouseMoveShown) || isAnyGestureActionStarted() ||
           pointerEngineState.pointerFrozen || clickOptionState.dragState != 0;
}

} // namespace

void procAutoRecenter(StillnessDetector &detector)
{
    FacialDetectionApp *app = FacialDetectionApp::instance();
    if (!app)
        return;
    const int hhsTime = trackingParameters.HHS_TIME;
    if (engineBusy()) {
        setStillnessDetector(detector, trackingParameters.HHS_THRESHOLD,
                             QStringLiteral("HoldHeadSteady"));
        emit app->hideAutoCenter();
        return;
    }
    if (detector.lastStillMs == frameRecords.motion.timeMs) {
        if (hhsTime <= 0 || detector.stillDurationMs >= quint32(hhsTime)) {
            if (detector.stillSinceMs != pointerEngineState.lastAutoRecenterEpisode) {
                emit app->hideAutoCenter();
                recenterWithSound();
                pointerEngineState.lastAutoRecenterEpisode = detector.stillSinceMs;
            }
        } else if (detector.stillDurationMs >= quint32(hhsTime) - kWarningBeforeMs &&
                   !app->oswAutoCenterShown) {
            emit app->showAutoCenter();
        }
    } else if (app->oswAutoCenterShown) {
        emit app->hideAutoCenter();
    }
}

void procHoldHeadSteady(StillnessDetector &detector)
{
    const TrackingParameters &p = trackingParameters;
    const int s = roundedHeadSpeed();
    const quint32 dur = stillFor(detector);
    const bool active = s <= p.HHS_THRESHOLD && dur >= quint32(std::max(p.HHS_TIME, 0));
    if (!p.MODE_SWITCH_ONLY) {
        if (p.FEMAP_INDEX_HHS == 9)
            procAutoRecenter(detector);
        else if (p.FEMAP_INDEX_HHS != 0)
            return;
    }
    if (EngineSignals *t = engineSignals()) {
        emit t->expressionIntensityChanged(QStringLiteral("HHS-TH"), s, false, false, true);
        emit t->expressionIntensityChanged(QStringLiteral("HHS-MinDur"), int(dur), false, false,
                                           false);
        emit t->expressionStateChanged(QStringLiteral("HHS"), active);
    }
}

void sendDwellParkValues(StillnessDetector &absoluteDetector, StillnessDetector &relativeDetector)
{
    const TrackingParameters &p = trackingParameters;
    if (p.MODE_SWITCH_ONLY)
        return;
    const StillnessDetector &detector = p.ABSOLUTE_MODE ? absoluteDetector : relativeDetector;
    const quint32 dur = stillFor(detector);
    const bool parked =
        detector.isStill && (p.DWELL_PARK_TIME <= 0 || dur >= quint32(p.DWELL_PARK_TIME));
    const int s = roundedHeadSpeed();
    if (EngineSignals *t = engineSignals()) {
        emit t->expressionStateChanged(QStringLiteral("DwellParkThreshold"), parked);
        emit t->expressionStateChanged(QStringLiteral("DwellParkTime"), parked);
        emit t->expressionIntensityChanged(QStringLiteral("DwellParkTH"), s, false, false, true);
        emit t->expressionIntensityChanged(QStringLiteral("DwellParkTime"), int(dur), false, false,
                                           false);
        emit t->expressionIntensityChanged(QStringLiteral("EscapeVelocity"), s, false, false,
                                           false);
        emit t->expressionIntensityChanged(QStringLiteral("TremorControl"), s, false, false, false);
    }
}
