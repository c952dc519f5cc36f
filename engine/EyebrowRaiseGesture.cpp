// Raising the eyebrows: the forehead region rising against the middle of the face, quickly
// and with a steady head and eye line, held for the minimum time issues the mapped action;
// lowering the brows ends it.

#include "engine/ClickEngine.h"
#include "engine/EngineState.h"
#include "engine/FacialGestures.h"
#include "engine/ParkTimers.h"
#include "engine/TrackingParameters.h"
#include "vision/FrameRecords.h"

#include <algorithm>
#include <cmath>

EyebrowRaiseState eyebrowRaiseState;

using namespace facialgestures;

namespace {

// The onset is checked frame by frame for this long, whatever the minimum says.
quint32 floorMs()
{
    return quint32(std::max(trackingParameters.GESTURE_MINDUR_FLOOR, 0));
}
constexpr quint32 kParkedEndMs = 10000;
// A face lost this long is gone (the bound of a gap without frames, too): under it, a few
// frames at camera rate, a raise carries on.
constexpr quint32 kFaceLossMs = 500;
constexpr quint32 kLongestMs = 60000;
// A start needs the lift to have risen through zero this recently.
constexpr quint32 kRiseMarkerAgeMs = 5000;
constexpr double kBridgeMotionLimit = 20.0;
// A lift this high at the issue is the whole face moving, not the brows.
constexpr double kLowLift = 6.0;
constexpr double kCalmLift = 1.0;
// Just above 0.15, so that a share of exactly 0.15 computed in doubles passes.
constexpr double kShareOfRate = 0.15000000000000002;

// The threshold's base rate: starts faster than this widen the tilt limit.
double baseRate(int threshold)
{
    return threshold / 3.0 * 15.0;
}

double tiltLimitFor(double rate, int threshold)
{
    const double base = baseRate(threshold);
    const double f = rate <= base ? 1.0 : (rate - base) / base + 1.0;
    return 5.0 * f;
}

void sendRaiseValues(const EyebrowSample &s, quint32 dur, bool grey)
{
    sendLevel(QStringLiteral("Ebr-TH"), roundedLevel(s.shown), grey);
    sendLevel(QStringLiteral("Ebr-MinDur"), int(dur));
}

bool tiltOk()
{
    const EyebrowRaiseRecord &r = eyebrowRaiseState.raise;
    const EyebrowSample &s = eyebrowRaiseState.sample;
    return (r.startRate >= 30.0 && r.startLiftRate >= 20.0) || s.tiltDeviation < s.tiltLimit;
}

// When a new raise began: a frame earlier when that frame already rose fast.
quint32 ebrOnsetTime()
{
    const EyebrowRaiseState &st = eyebrowRaiseState;
    const EyebrowSample &s = st.sample;
    const EyebrowSample &prev = st.previousSample;
    if (prev.rising && (prev.strongOnset || prev.moderateOnset || s.strongOnset) &&
        s.sum >= prev.sum && s.headQuiet && tiltOk() && s.sum >= st.raise.startSum)
        return prev.timeMs;
    return s.timeMs;
}

// A raise younger than the floor.
bool ebrOnsetValid(bool first)
{
    const EyebrowRaiseState &st = eyebrowRaiseState;
    const EyebrowSample &s = st.sample;
    const EyebrowSample &prev = st.previousSample;
    const bool rising =
        first ? s.sum >= prev.sum : (s.netRate >= 0.85 * s.smoothedRate || prev.vy > s.vy);
    return rising && s.headQuiet && tiltOk() && s.sum >= st.raise.startSum;
}

// An older raise until and at its issue: the head's vertical motion does not account for
// much of the rise.
bool ebrRiseValid(bool atIssue, const EyebrowLimits &limits)
{
    const EyebrowRaiseState &st = eyebrowRaiseState;
    const EyebrowSample &s = st.sample;
    const double d = std::fabs(s.smoothedRate - s.netRate);
    const double rel = s.smoothedRate != 0.0 ? std::fabs(d / s.smoothedRate) : 0.0;
    const double room = st.raise.peakRate - std::fabs(s.rate);
    const double pct = room != 0.0 ? d * 100.0 / room : 0.0;
    const bool ok = s.smoothedRate <= limits.fastRate || rel <= kShareOfRate || d <= 3.0 ||
                    st.previousSample.vy > s.vy || (s.rate > limits.fastRate && pct <= 25.0);
    return ok && (!atIssue || s.low);
}

// Clears the raise, ending an action it started.
void cancelRaise(bool restartSums)
{
    EyebrowRaiseRecord &r = eyebrowRaiseState.raise;
    endStartedAction(r.actionStarted, r.actionEnded, InputOwner::EyebrowRaise);
    resetEyebrowState(restartSums);
}

} // namespace

EyebrowLimits eyebrowLimits(int threshold)
{
    EyebrowLimits l;
    l.threshold = std::max(threshold, 1);
    const int t = l.threshold;
    const double unit = t == 1 ? t / 6.0 : t / 3.0;
    double rateUnit = t / 3.0;
    if (t == 1)
        rateUnit *= 0.025;
    else if (t < 3)
        rateUnit *= 0.1;
    l.riseLimit = 1.24 * unit;
    l.fastRate = 30 * rateUnit * 0.5;
    l.slowRate = 20 * rateUnit * 0.5;
    return l;
}

void resetEyebrowRecord(quint32 timeMs)
{
    EyebrowSample &s = eyebrowRaiseState.sample;
    const quint32 marker = s.riseMarkerMs;
    s = EyebrowSample{};
    s.timeMs = timeMs;
    s.riseMarkerMs = marker;
}

void resetEyebrowState(bool restartSums)
{
    // The record is what says the raise holds its action: it never goes while the action
    // stays down.
    gestureEnd(InputOwner::EyebrowRaise);
    eyebrowRaiseState.raise = EyebrowRaiseRecord{};
    if (restartSums) {
        FacialMetrics &m = frameRecords.metrics;
        m.regionTiltSum.fill(0.0);
        m.regionTiltSumSmoothed.fill(0.0);
    }
}

void scaleEyebrowLimits(double startRate)
{
    eyebrowRaiseState.sample.tiltLimit =
        tiltLimitFor(startRate, eyebrowLimits(trackingParameters.EYEBROWRAISE_THRESHOLD).threshold);
}

void interruptEyebrowRaise()
{
    EyebrowRaiseRecord &r = eyebrowRaiseState.raise;
    if (r.inProgress && r.issued)
        sendState(QStringLiteral("Ebr"), false);
    cancelRaise(false);
}

void procEyebrowRaiseEvent()
{
    const TrackingParameters &p = trackingParameters;
    EyebrowRaiseState &st = eyebrowRaiseState;
    EyebrowRaiseRecord &r = st.raise;
    const quint32 now = frameRecords.motion.timeMs;
    const bool chained = st.lastRunMs == frameRecords.previousMotion.timeMs;
    // A frame without a face is not measured. A raise carries on through a short loss (a
    // detection missed, a hand passing); once the face stays lost, it ends as a lost face does.
    if (!frameRecords.detection.faceFound) {
        if (r.inProgress && chained && now - st.faceSeenMs <= kFaceLossMs) {
            st.lastRunMs = now;
            return;
        }
        interruptEyebrowRaise();
        st.lastRunMs = 0;
        return;
    }
    // A frame that skipped the raise leaves none half done.
    if (r.inProgress && !chained)
        interruptEyebrowRaise();
    st.lastRunMs = now;
    st.faceSeenMs = now;

    const ActionType type = p.FEMAP_INDEX_EYEBROWRAISE;
    const EyebrowLimits limits = eyebrowLimits(p.EYEBROWRAISE_THRESHOLD);
    const int thr = limits.threshold;
    const quint32 minDur = quint32(std::max(p.EYEBROWRAISE_MINDUR, 0));
    const quint32 dur = r.inProgress ? now - r.startMs : 0;
    bool grey = false;

    st.previousSample = st.sample;
    const EyebrowSample &prev = st.previousSample;
    resetEyebrowRecord(now);
    EyebrowSample &s = st.sample;
    const FacialMetrics &metrics = frameRecords.metrics;
    const HeadMotionState &motion = frameRecords.motion;
    const cv::Point2d v = motion.smoothedPointerVelocity;
    const float speed = std::sqrt(float(v.x) * float(v.x) + float(v.y) * float(v.y));
    s.headQuiet = slidingMax100(now, speed) < std::max(p.MAX_MOTION_AT_SMILE_START, 10);
    s.tiltDeviation = slidingDeviation500(now, metrics.eyeLineTiltSmoothed);
    s.sum = metrics.regionTiltSum[1];
    s.sumSlow = metrics.regionTiltSumSmoothed[0];
    s.lift = s.sum - s.sumSlow;
    s.sumChange = s.sum - prev.sum;
    s.aboveStart = r.startSum != 0.0 && s.sum > r.startSum;
    s.rising = s.sum > prev.sum;
    s.parked = headParkedLatched();
    s.calm = ebrCalmLatched();
    const quint32 dt = now - prev.timeMs;
    if (dt != 0) {
        s.rate = s.sumChange * 1000.0 / dt;
        s.liftRate = (s.lift - prev.lift) * 1000.0 / dt;
        s.smoothedRate = 0.5 * prev.smoothedRate + 0.5 * s.rate;
        s.smoothedLiftRate = 0.5 * prev.smoothedLiftRate + 0.5 * s.liftRate;
        const double vyAbs = std::fabs(v.y);
        const double excess = vyAbs > p.TREMOR_CONTROL ? vyAbs - p.TREMOR_CONTROL : 0.0;
        s.netRate = s.smoothedRate > 0 ? s.smoothedRate - excess : s.smoothedRate + excess;
    }
    s.liftRising = s.lift > prev.lift;
    s.above = s.lift > limits.riseLimit;
    s.low = s.lift <= kLowLift;
    s.vy = v.y;

    if (r.inProgress) {
        r.peakRate = std::max(r.peakRate, s.smoothedRate);
        r.peakNetRate = std::max(r.peakNetRate, s.netRate);
        r.lowestNetRate = std::min(r.lowestNetRate, s.netRate);
        ++r.frames;
        s.tiltLimit = tiltLimitFor(r.peakRate, thr);
    } else {
        r.frames = 0;
    }

    if (prev.lift <= 0.0 && s.lift > 0.0)
        s.riseMarkerMs = now;
    const quint32 markerAge = now - s.riseMarkerMs;
    s.shown = r.inProgress ? r.shownBase + (s.sum - r.startSum) * r.shownScale
                           : thr * s.lift / limits.riseLimit;

    s.strongOnset =
        s.smoothedRate >= 2 * limits.fastRate && s.smoothedLiftRate >= 2 * limits.slowRate;
    s.moderateOnset = !s.strongOnset && s.smoothedRate >= limits.fastRate &&
                      s.smoothedLiftRate >= limits.slowRate;
    const bool tiltSteady = s.strongOnset ? s.tiltDeviation < 7.5 : s.tiltDeviation < 5.0;
    s.startCandidate = s.above && s.liftRising && s.rising && (s.strongOnset || s.moderateOnset);
    if (s.startCandidate &&
        (speed > p.MAX_MOTION_AT_SMILE_START || !tiltSteady || 0.85 * s.smoothedRate > s.netRate)) {
        s.startCandidate = false;
        grey = true;
    }

    bool valid = false;
    if (r.inProgress) {
        if (dur > kParkedEndMs && s.parked && std::fabs(s.lift) < kCalmLift &&
            std::fabs(prev.lift) < kCalmLift) {
            grey = true;
        } else if (dur > kLongestMs) {
            grey = true;
        } else if (s.parked && s.calm) {
            if (0.25 * r.peakNetRate > std::fabs(r.lowestNetRate)) {
                valid = s.aboveStart;
                grey = !s.aboveStart;
            } else {
                grey = true;
            }
        } else if (!s.aboveStart) {
            grey = grey || s.parked;
        } else if (s.parked && s.lift < -limits.riseLimit) {
            grey = true;
        } else {
            valid = true;
        }
    }

    st.lookingAway = pointerOffScreen() || (r.inProgress && st.lookingAway);
    // Looking away, or the head moving: a raise not past its minimum is no raise.
    const bool lookingAway = p.IGNORE_EYEBROWRAISE_WHEN_LOOKING_AWAY && st.lookingAway;
    const bool headMoving = std::hypot(v.x, v.y) > p.MAX_MOTION_AT_SMILE_START;
    if ((lookingAway || headMoving) && (!r.inProgress || dur <= minDur)) {
        cancelRaise(false);
        sendRaiseValues(s, dur, true);
        return;
    }

    // A raise stays stuck only under full function: switched off meanwhile, it ends as the
    // brows come down.
    if (r.stuck) {
        if ((!valid && s.parked) || !p.MODE_FULL_FUNCTION)
            r.stuck = 0;
    } else if (p.MODE_FULL_FUNCTION) {
        if (r.inProgress && !p.INSTANT_CLICK && isButtonAction(type)) {
            const double escape = std::max(p.ESCAPE_SPEED, p.ESCAPE_VELOCITY);
            if (dur >= minDur + quint32(std::max(p.PCE_SUSTAIN_TIME_DELTA_TO_STICK, 0))) {
                r.stuck = 1;
                parkTimers.ebrParkSinceMs = 0;
                parkTimers.ebrCalmSinceMs = 0;
            } else if (dur >= floorMs() && dur >= minDur &&
                       v.x * v.x + v.y * v.y > escape * escape) {
                r.stuck = 1;
            }
        }
    }

    if (r.inProgress) {
        if (!valid && !r.stuck) {
            // The brows came down, or a stuck raise came to rest.
            sendState(QStringLiteral("Ebr"), false);
            if (dur >= minDur && s.low) {
                if (r.actionStarted) {
                    endStartedAction(r.actionStarted, r.actionEnded, InputOwner::EyebrowRaise);
                    markClickPerformed();
                } else if (!r.actionEnded) {
                    // Reached the minimum only as it ended: a click, as any gesture's (paused
                    // clicking stops it).
                    int started = 0, ended = 0;
                    gestureStart(type, started, ended, true, InputOwner::EyebrowRaise);
                }
            }
            cancelRaise(true);
            sendRaiseValues(s, dur, grey);
            return;
        }
        if (dur < floorMs() || dur < minDur) {
            const bool ok =
                dur < floorMs() ? ebrOnsetValid(r.frames == 1) : ebrRiseValid(false, limits);
            if (!ok) {
                cancelRaise(false);
                grey = true;
            }
            sendRaiseValues(s, dur, grey);
            return;
        }
        if (!r.actionStarted && !r.issued) {
            r.issued = 1;
            if (!ebrRiseValid(true, limits)) {
                cancelRaise(false);
                grey = true;
            } else {
                sendState(QStringLiteral("Ebr"), true);
                int started = 0, ended = 0;
                gestureStart(type, started, ended, false, InputOwner::EyebrowRaise);
                r.actionStarted = started;
                r.actionEnded = ended;
            }
        }
        sendRaiseValues(s, dur, grey);
        return;
    }

    if (s.above)
        grey = true;
    if (!s.startCandidate) {
        sendRaiseValues(s, dur, grey);
        return;
    }
    if (motion.bridgeMotionSmoothed >= kBridgeMotionLimit ||
        motion.bridgeMotionSlow >= kBridgeMotionLimit || markerAge > kRiseMarkerAgeMs) {
        sendRaiseValues(s, dur, true);
        return;
    }
    r.inProgress = 1;
    r.startSum = s.sum;
    r.startRate = s.smoothedRate;
    r.startLiftRate = s.smoothedLiftRate;
    r.peakRate = s.smoothedRate;
    r.peakNetRate = r.lowestNetRate = s.netRate;
    r.shownBase = thr;
    r.shownScale = thr / limits.riseLimit;
    scaleEyebrowLimits(s.smoothedRate);
    r.startMs = ebrOnsetTime();
    r.issued = r.actionStarted = r.actionEnded = r.stuck = 0;
    r.frames = r.startMs != now ? 1 : 0;
    sendRaiseValues(s, dur, grey);
}
