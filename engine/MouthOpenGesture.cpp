// Opening the mouth: held for the minimum time it issues the mapped action and lets the head
// point while the mouth stays open; closing it ends the action and gives the pointing mode
// back.

#include "engine/ClickEngine.h"
#include "engine/EngineState.h"
#include "engine/FacialGestures.h"
#include "engine/ParkTimers.h"
#include "engine/TrackingParameters.h"
#include "vision/FrameRecords.h"

#include <algorithm>
#include <cmath>

MouthOpenState mouthOpenState;

using namespace facialgestures;

namespace {

constexpr quint32 kMinimumFloorMs = 75;
// Past this an opening stuck by a fast head is taken for a face at rest, not a gesture.
constexpr quint32 kLongestMs = 60000;
// Lips moving against the head this much are speech or chewing, not an opening.
constexpr double kLipMotionLimit = 1.4;

void sendMouthValues(double level, quint32 dur, quint32 sinceLast, bool withLevel = true)
{
    if (withLevel)
        sendLevel(QStringLiteral("Mo-TH"), roundedLevel(level));
    sendLevel(QStringLiteral("Mo-MinDur"), int(dur));
    sendLevel(QStringLiteral("Mo-Throttle"), int(std::min<quint32>(sinceLast, 0x7fffffff)));
}

// The pointing mode from before the mouth opened, when one was saved.
void restorePointing()
{
    const qint32 saved = mouthOpenState.current.savedPointing;
    if (saved != -1)
        smileModeState.pointingActive = saved;
}

bool otherGestureHolds()
{
    const SmileModeState &s = smileModeState;
    const BlinkRecord &blink = blinkState.current;
    const EyebrowRaiseRecord &raise = eyebrowRaiseState.raise;
    return s.smileActive || (blink.inProgress && blink.stuck) ||
           (raise.inProgress && raise.stuck) || s.draggingActive;
}

} // namespace

void resetMouthOpenState()
{
    // The record is what says the opening holds its action: it never goes while the action
    // stays down.
    gestureEnd(InputOwner::MouthOpen);
    mouthOpenState.current = MouthOpenRecord{};
}

bool mouthOpenStandsAside()
{
    const MouthOpenRecord &g = mouthOpenState.current;
    return !(g.inProgress && g.stuck) && otherGestureHolds();
}

void interruptMouthOpen()
{
    MouthOpenRecord &g = mouthOpenState.current;
    if (g.inProgress) {
        restorePointing();
        if (g.issued)
            sendState(QStringLiteral("Mo"), false);
    }
    resetMouthOpenState();
}

void procMouthOpenEvent()
{
    const TrackingParameters &p = trackingParameters;
    MouthOpenState &state = mouthOpenState;
    MouthOpenRecord &g = state.current;
    const quint32 now = frameRecords.motion.timeMs;
    if (g.inProgress && state.lastRunMs != frameRecords.previousMotion.timeMs)
        interruptMouthOpen();
    state.lastRunMs = now;

    const ActionType type = p.FEMAP_INDEX_MOUTHOPEN;
    const FacialMetrics &metrics = frameRecords.metrics;
    const HeadMotionState &motion = frameRecords.motion;
    const double m = metrics.mouthOpenPeak;
    const double mSlow = metrics.mouthOpenSlow;
    const double threshold = p.MOUTHOPEN_THRESHOLD;
    const quint32 minDur = quint32(std::max(p.MOUTHOPEN_MINDUR, 0));
    const quint32 throttle = quint32(std::max(p.MOUTHOPEN_THROTTLETIME, 0));
    const quint32 dur = g.inProgress ? now - g.startMs : 0;
    const quint32 sinceLast = now - state.last.endMs;
    const cv::Point2d v = motion.smoothedPointerVelocity;
    const double speed = std::hypot(v.x, v.y);
    const bool parked = headParkedOnce();
    g.lookingAway = pointerOffScreen() || (g.inProgress && g.lookingAway);

    // Another gesture that holds the pointer goes first. An opening in progress ends: a key
    // left down for as long as a smile lasts is a key stuck, and an opening resumed after it
    // would act on a mouth it has not watched meanwhile.
    if (mouthOpenStandsAside()) {
        if (g.inProgress)
            interruptMouthOpen();
        sendMouthValues(m, 0, sinceLast);
        return;
    }

    state.previousSample = state.sample;
    const MouthOpenSample &prev = state.previousSample;
    MouthOpenSample &s = state.sample;
    s.timeMs = now;
    s.level = m;
    s.slowLevel = mSlow;
    s.above = m > threshold;
    s.rising = m > prev.level;
    const double d = m - prev.slowLevel;
    const bool steep = threshold < d && d < 5 * threshold;
    const bool s1 = s.rising && prev.rising && d > 0.75 * threshold;
    const bool s2 = !s.rising && prev.above && steep;
    const bool s3 = s.rising && steep;
    const bool s4 = s.rising && prev.rising && mSlow >= 1.1 * threshold;
    bool shapeOk = s.above && (s1 || s2 || s3 || s4);
    const bool qualityOk = motion.lipMotion <= kLipMotionLimit &&
                           motion.lipMotionSmoothed <= kLipMotionLimit &&
                           motion.lipMotionSlow <= kLipMotionLimit;

    // The head moving, or looking away, cancels an opening not past its minimum.
    const bool headMoving = speed > p.MAX_MOTION_AT_SMILE_START;
    const bool lookingAway = p.IGNORE_MOUTHOPEN_WHEN_LOOKING_AWAY && g.lookingAway;
    if ((headMoving || lookingAway) && (!g.inProgress || dur <= minDur)) {
        const bool cancelled = g.inProgress;
        interruptMouthOpen();
        sendMouthValues(m, dur, sinceLast, !cancelled);
        return;
    }

    // A held opening ends on the second frame in a row below the threshold: the lips' fit can
    // flip to another solution for a frame while the mouth stays open.
    bool above = s.above || (g.inProgress && !g.stuck && prev.above);
    bool valid = g.stuck ? !(dur > kLongestMs || (parked && !above)) : above;
    if (!g.inProgress) {
        shapeOk = shapeOk && sinceLast > throttle && now - smileEpisode.startMs > throttle &&
                  now - smileEpisode.endMs > throttle;
    }

    const double escape = std::max(p.ESCAPE_SPEED, p.ESCAPE_VELOCITY);
    if (!g.stuck && g.inProgress && p.MODE_FULL_FUNCTION && !p.INSTANT_CLICK && valid &&
        isButtonAction(type) && dur >= minDur) {
        if (speed > escape)
            g.stuck = 1;
    } else if (g.stuck && !valid) {
        g.stuck = 0;
        above = false;
    }

    if (g.inProgress) {
        if (!valid && !g.stuck) {
            // The mouth closed, or a stuck opening came to rest.
            sendState(QStringLiteral("Mo"), false);
            if (dur >= minDur && dur <= kLongestMs) {
                if (g.actionStarted) {
                    endStartedAction(g.actionStarted, g.actionEnded, InputOwner::MouthOpen);
                    markClickPerformed();
                } else if (!g.actionEnded) {
                    int started = 0, ended = 0;
                    gestureStart(type, started, ended, true, InputOwner::MouthOpen);
                }
                g.endMs = now;
                state.last = g;
                state.hadGesture = true;
            } else {
                endStartedAction(g.actionStarted, g.actionEnded, InputOwner::MouthOpen);
            }
            restorePointing();
            resetMouthOpenState();
            sendMouthValues(m, dur, sinceLast);
            return;
        }
        if (dur < kMinimumFloorMs || dur < minDur) {
            // The pointer holds still while the mouth is opening.
            if (g.savedPointing == -1)
                g.savedPointing = smileModeState.pointingActive;
            smileModeState.pointingActive = 0;
        } else if (!g.actionStarted && !(g.actionEnded && p.INSTANT_CLICK) && !g.issued) {
            g.issued = 1;
            sendState(QStringLiteral("Mo"), true);
            int started = 0, ended = g.actionEnded;
            gestureStart(type, started, ended, false, InputOwner::MouthOpen);
            g.actionStarted = started;
            g.actionEnded = ended;
            smileModeState.pointingActive = 1;
            if (!ended && !clickOptionState.CLICK_OPTION_DRAG_MODE) {
                if (isButtonAction(type) && speed > escape)
                    g.stuck = 1;
                pointerEngineState.parkState = 1;
            }
        }
        sendMouthValues(m, dur, sinceLast);
        return;
    }

    bool refused = false;
    if (shapeOk && qualityOk) {
        resetMouthOpenState();
        g.inProgress = 1;
        g.startMs = now;
        g.savedPointing = smileModeState.pointingActive;
        g.lookingAway = pointerOffScreen();
    } else if (shapeOk) {
        refused = true;
    }
    sendMouthValues(m, dur, sinceLast, !refused);
}
