// The slow blink: eyes closed for the minimum time issue the mapped action, reopening them
// ends it. Also the helpers the three face gestures share.

#include "core/FacialDetectionApp.h"
#include "engine/ActionDispatch.h"
#include "engine/ClickEngine.h"
#include "engine/EngineSignals.h"
#include "engine/EngineState.h"
#include "engine/FacialGestures.h"
#include "engine/ParkTimers.h"
#include "engine/TrackingParameters.h"
#include "vision/FrameRecords.h"

#include <algorithm>
#include <cmath>

BlinkState blinkState;

namespace facialgestures {

void sendLevel(const QString &name, int value, bool grey)
{
    if (EngineSignals *s = engineSignals())
        emit s->expressionIntensityChanged(name, value, false, grey, false);
}

void sendState(const QString &name, bool active)
{
    if (EngineSignals *s = engineSignals())
        emit s->expressionStateChanged(name, active);
}

void markClickPerformed()
{
    FacialDetectionApp *app = FacialDetectionApp::instance();
    if ((app && app->isPointerOverOwnWindow()) || clickOptionState.dragState != 0)
        return;
    clickOptionState.clickPerformed = 1;
}

void endStartedAction(qint32 &started, qint32 &ended, InputOwner owner)
{
    if (started && !ended) {
        gestureEnd(owner);
        ended = 1;
    }
}

int roundedLevel(double value)
{
    if (!std::isfinite(value))
        return 0;
    return int(std::clamp(value + 0.5, -1.0e9, 1.0e9));
}

bool pointerOffScreen()
{
    FacialDetectionApp *app = FacialDetectionApp::instance();
    return app && app->isPointerOffScreen();
}

} // namespace facialgestures

using namespace facialgestures;

namespace {

// Closures of 75 ms or less are never a slow blink, whatever the minimum says.
constexpr quint32 kMinimumFloorMs = 75;
// A stuck blink lets go after this long even with the head still moving.
constexpr quint32 kStuckLimitMs = 30000;
constexpr double kBridgeMotionLimit = 5.0;

void sendBlinkValues(double level, quint32 dur, quint32 sinceLast, bool blocked)
{
    sendLevel(QStringLiteral("Blink-TH"), roundedLevel(level), blocked);
    sendLevel(QStringLiteral("Blink-MinDur"), int(dur), blocked);
    sendLevel(QStringLiteral("Blink-Throttle"), int(std::min<quint32>(sinceLast, 0x7fffffff)));
    sendLevel(QStringLiteral("Blink-MaxDur"), int(dur), blocked);
}

} // namespace

void resetBlinkState()
{
    // The record is what says the blink holds its action: it never goes while the action
    // stays down.
    gestureEnd(InputOwner::SlowBlink);
    blinkState.current = BlinkRecord{};
}

void interruptSlowBlink()
{
    BlinkRecord &b = blinkState.current;
    if (b.inProgress && b.pastMinimum)
        sendState(QStringLiteral("Blink"), false);
    resetBlinkState();
}

void interruptFacialGestures()
{
    interruptSlowBlink();
    interruptMouthOpen();
    interruptEyebrowRaise();
}

void procBlinkEvent()
{
    const TrackingParameters &p = trackingParameters;
    BlinkState &state = blinkState;
    BlinkRecord &b = state.current;
    const quint32 now = frameRecords.motion.timeMs;
    // A frame that skipped the blink (a pause, a real mouse) leaves no blink half done.
    if (b.inProgress && state.lastRunMs != frameRecords.previousMotion.timeMs)
        interruptSlowBlink();
    state.lastRunMs = now;

    const ActionType type = p.FEMAP_INDEX_SLOWBLINK;
    const double level =
        std::max(frameRecords.metrics.blinkLevelA, frameRecords.metrics.blinkLevelB);
    const cv::Point2d v = frameRecords.motion.smoothedPointerVelocity;
    const double speed = std::hypot(v.x, v.y);
    const bool headQuiet = speed < std::max(p.MAX_MOTION_AT_SMILE_START, 10);
    const bool parked = headParkElapsed();
    const quint32 minDur = quint32(std::max(p.SLOWBLINK_MINDUR, 0));
    const quint32 throttle = quint32(std::max(p.SLOWBLINK_THROTTLETIME, 0));
    const quint32 dur = b.inProgress ? now - b.startMs : 0;
    const quint32 sinceLast = state.hadBlink ? now - state.last.endMs : 2 * throttle;
    const bool pastFloor = dur >= kMinimumFloorMs && dur >= minDur;
    b.lookingAway = pointerOffScreen() || (b.inProgress && b.lookingAway);
    if (b.inProgress) {
        b.peakLevel = std::max(b.peakLevel, level);
        ++b.frames;
    }

    bool above = b.inProgress ? level >= (pastFloor ? b.holdThreshold : b.threshold)
                              : level >= p.SLOWBLINK_THRESHOLD;
    // Without an earlier blink the throttle has nothing to hold back, even at 0.
    const bool startCandidate =
        above && headQuiet && (b.inProgress || !state.hadBlink || sinceLast > throttle);
    bool valid = b.stuck ? !(dur > kStuckLimitMs || (parked && !above)) : above;

    // Looking away, or the head moving: a blink not past its minimum is no blink.
    const bool lookingAway = p.IGNORE_BLINK_WHEN_LOOKING_AWAY && b.lookingAway;
    const bool headMoving = speed > p.MAX_MOTION_AT_SMILE_START;
    if (lookingAway || headMoving) {
        if (!b.inProgress || dur <= minDur) {
            if (b.inProgress || lookingAway)
                interruptSlowBlink();
            sendBlinkValues(level, dur, sinceLast, true);
            return;
        }
    }

    if (!b.stuck && b.inProgress && p.MODE_FULL_FUNCTION && !p.INSTANT_CLICK && valid &&
        isButtonAction(type) && dur >= minDur) {
        const double escape = std::max(p.ESCAPE_SPEED, p.ESCAPE_VELOCITY);
        if (speed > escape)
            b.stuck = 1;
    } else if (b.stuck && !valid) {
        b.stuck = 0;
        above = false;
    }

    if (b.inProgress) {
        if (!valid && !b.stuck) {
            // The eyes opened, or a stuck blink came to rest.
            sendState(QStringLiteral("Blink"), false);
            // An action started under a shorter minimum (raised since) ends as any other.
            if (dur >= minDur || (b.actionStarted && !b.actionEnded)) {
                if (b.actionStarted) {
                    endStartedAction(b.actionStarted, b.actionEnded, InputOwner::SlowBlink);
                    markClickPerformed();
                } else if (!b.actionEnded && dur < quint32(std::max(p.SLOWBLINK_MAXDUR, 0))) {
                    // Reached the minimum only as the eyes opened: a click.
                    int started = 0, ended = 0;
                    gestureStart(type, started, ended, true, InputOwner::SlowBlink);
                }
                b.endMs = now;
                state.last = b;
                state.hadBlink = true;
            }
            resetBlinkState();
            sendBlinkValues(level, dur, sinceLast, false);
            return;
        }
        if (pastFloor) {
            if (!b.pastMinimum) {
                b.pastMinimum = 1;
                b.actionStarted = 0;
                b.actionEnded = 0;
                sendState(QStringLiteral("Blink"), true);
            }
            if (!b.actionStarted && !(b.actionEnded && p.INSTANT_CLICK)) {
                int started = 0, ended = 0;
                gestureStart(type, started, ended, false, InputOwner::SlowBlink);
                b.actionStarted = started;
                b.actionEnded = ended;
            }
        }
        sendBlinkValues(level, dur, sinceLast, false);
        return;
    }

    bool refused = false;
    if (startCandidate) {
        const HeadMotionState &m = frameRecords.motion;
        if (m.bridgeMotionSmoothed < kBridgeMotionLimit &&
            m.bridgeMotionSlow < kBridgeMotionLimit) {
            resetBlinkState();
            b.inProgress = 1;
            b.startMs = now;
            b.threshold = p.SLOWBLINK_THRESHOLD;
            b.holdThreshold = 0.8 * p.SLOWBLINK_THRESHOLD;
            b.peakLevel = level;
            b.lookingAway = pointerOffScreen();
        } else {
            refused = true;
        }
    }
    sendBlinkValues(level, dur, sinceLast, refused);
}
