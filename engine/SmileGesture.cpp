#include "engine/SmileGesture.h"

#include "core/FacialDetectionApp.h"
#include "core/Trace.h"
#include "engine/ActionDispatch.h"
#include "engine/ClickEngine.h"
#include "engine/EngineResets.h"
#include "engine/EngineSignals.h"
#include "engine/EngineState.h"
#include "engine/ParkTimers.h"
#include "engine/ScrollMode.h"
#include "engine/SystemCursorReplacement.h"
#include "engine/TrackingParameters.h"
#include "feedback/CProgressMeter.h"
#include "platform/Platform.h"
#include "platform/SoundPlayer.h"
#include "vision/FrameRecords.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr quint32 GreenRing = 0x00FF00;
constexpr quint32 YellowRing = 0x00FFFF;
constexpr quint32 RedRing = 0x0000FF;

// What one call works with, taken once at its start.
struct SmileFrame
{
    quint32 now = 0;
    quint32 prevTime = 0;
    double level = 0.0;
    double prevLevel = 0.0;
    double speedSquared = 0.0;
    int elapsed = 0;
    bool withSmile = false;
    bool buttonAction = false;
    float lipLimit = 2.0f;
    float lipHoldLimit = 2.8f;
    int minJump = 6;
    int riseA = 0;
    int riseB = 0;
    quint32 repeatGap = 75;
    int thrMax = 0;
    bool movedBeyond = false;
    // The POINT stage began this frame (its ring shown, with the smile): pointing cannot
    // begin before the next one.
    bool stageFirstFrame = false;
};

// Whether the smile's ring is up, so that stopping an idle ring costs nothing.
bool ringShown = false;

SmileModeState &mode()
{
    return smileModeState;
}

bool scrollOption()
{
    return clickOptionState.CLICK_OPTION_SCROLL_MODE != 0;
}

bool episodeRunning()
{
    return mode().smileActive || mode().smileSustained;
}

bool fasterThan(const SmileFrame &f, int limit)
{
    const double r = limit;
    return f.speedSquared > r * r;
}

void sendLevels(const SmileFrame &f, bool gray)
{
    if (EngineSignals *t = engineSignals()) {
        emit t->expressionIntensityChanged(QStringLiteral("Smile-TH"), int(f.level + 0.5), false,
                                           gray, false);
        emit t->expressionIntensityChanged(QStringLiteral("Smile-MinDur"), f.elapsed, false, gray,
                                           false);
    }
}

void sendState(bool active)
{
    if (EngineSignals *t = engineSignals())
        emit t->expressionStateChanged(QStringLiteral("Smile"), active);
}

// The live values, grey and with the state off while the episode is rejected.
void sendLevelsForEpisode(const SmileFrame &f)
{
    const bool rejected = smileEpisode.rejected != 0;
    sendLevels(f, rejected);
    if (rejected)
        sendState(false);
}

void showRing(quint32 colour, int durationMs, const QString &label)
{
    CProgressMeter &ring = GlobalProgressMeter;
    ring.SetDiameter(100);
    ring.SetThickness(30);
    ring.SetColor(colour);
    ring.SetDuration(durationMs);
    ring.SetLabelSize(40);
    ring.Start(label, true);
    ringShown = true;
}

void stopRing()
{
    if (!ringShown)
        return;
    GlobalProgressMeter.Stop();
    ringShown = false;
}

// The frame loop shows the scroll image only while scrolling: its last image goes here.
void hideScrollImage()
{
    if (EngineSignals *t = engineSignals()) {
        emit t->ScrollSN_UpdateScrollParams(0, 0);
        emit t->ScrollSN_SetImagePath(QStringLiteral("invisible.png"));
    }
}

void endAction()
{
    SmileModeState &s = mode();
    if (s.actionStarted && !s.actionEnded) {
        gestureEnd(InputOwner::Smile);
        s.actionEnded = 1;
    }
}

// Neither face detector has found the face for longer than the limit.
bool faceUnseenFor(quint32 now, qint32 limitMs)
{
    const FaceSeenTimes &seen = frameRecords.seen;
    const quint32 limit = quint32(std::max(limitMs, 0));
    return now - seen.hogSeenMs > limit && now - seen.haarSeenMs > limit;
}

// In-progress and stuck flags of the gestures that hold the smile off while they are stuck.
struct OtherGestureFlags
{
    int mouthInProgress = 0;
    int mouthStuck = 0;
    int blinkInProgress = 0;
    int blinkStuck = 0;
    int eyebrowInProgress = 0;
    int eyebrowStuck = 0;

    bool anyStuck() const
    {
        return (mouthInProgress && mouthStuck) || (blinkInProgress && blinkStuck) ||
               (eyebrowInProgress && eyebrowStuck);
    }
};

OtherGestureFlags otherGestureFlags()
{
    OtherGestureFlags f;
    f.mouthInProgress = mouthOpenState.current.inProgress;
    f.mouthStuck = mouthOpenState.current.stuck;
    f.blinkInProgress = blinkState.current.inProgress;
    f.blinkStuck = blinkState.current.stuck;
    f.eyebrowInProgress = eyebrowRaiseState.raise.inProgress;
    f.eyebrowStuck = eyebrowRaiseState.raise.stuck;
    return f;
}

SmileFrame takeFrame()
{
    const TrackingParameters &p = trackingParameters;
    const HeadMotionState &m = frameRecords.motion;
    SmileFrame f;
    f.now = m.timeMs;
    f.prevTime = frameRecords.previousMotion.timeMs;
    f.level = frameRecords.metrics.smileLevel;
    f.prevLevel = frameRecords.previousMetrics.smileLevel;
    const cv::Point2d v = m.smoothedPointerVelocity;
    f.speedSquared = v.x * v.x + v.y * v.y;
    f.elapsed = episodeRunning() ? int(f.now - smileEpisode.startMs) : 0;
    f.withSmile = clickOptionState.MOTION_MODE != 1;
    const int mapped = p.FEMAP_INDEX_SMILE;
    f.buttonAction = mapped == 1 || mapped == 2 || mapped == 11 || p.FEMAP_INDEX_MOUTHOPEN == 10;
    if (p.SLOW_SMILES) {
        f.lipLimit = 0.9f;
        f.lipHoldLimit = 1.26f;
        f.minJump = 1;
        f.riseA = 1;
        f.riseB = 1;
        f.repeatGap = quint32(6 * p.SMILE_REPEAT_GAP);
    } else {
        f.lipLimit = 2.0f;
        f.lipHoldLimit = 2.8f;
        f.minJump = 6;
        f.riseA = int(p.SMILE_THRESHOLD * 18 / 60.0);
        f.riseB = int(p.SMILE_THRESHOLD * 18 / 60.0 * 0.5);
        f.repeatGap = quint32(p.SMILE_REPEAT_GAP);
    }
    return f;
}

// The onset filter: whether a fresh rise of the level is accepted as a smile. Sets the
// adapted threshold when the rise was accepted on its own evidence.
void filterOnset(const SmileFrame &f, int jump, int &adaptedThreshold)
{
    const TrackingParameters &p = trackingParameters;
    const HeadMotionState &m = frameRecords.motion;
    const FacialMetrics &fm = frameRecords.metrics;
    const FacialMetrics &pfm = frameRecords.previousMetrics;
    SmileOnsetFields &o = smileOnset.current;
    const SmileOnsetFields &prev = smileOnset.previous;
    const auto hold = [] {
        smileOnset.current.pending = 1;
        smileOnset.current.confirmed = 0;
    };
    const bool lipsMove = m.lipMotionSmoothed > f.lipLimit || m.lipMotionSlow > f.lipLimit;
    const bool faceStale = faceUnseenFor(f.now, p.FACE_REDETECT_TIMEOUT);

    if (prev.pending == 0) {
        if (lipsMove || jump < f.minJump || f.level <= f.prevLevel) {
            hold();
        } else if (f.level - fm.smileLevelSmoothed < f.riseA) {
            o.pending = 1;
            o.confirmed = 0;
            o.riseCount = 1;
        } else if (fm.smileLevelBFollow - fm.smileLevelBFollowSlow < f.riseB || faceStale) {
            hold();
        }
        return;
    }

    if (lipsMove || faceStale) {
        hold();
        return;
    }
    const double rise = f.level - pfm.smileLevelSmoothed;
    if (rise >= f.riseA) {
        if (fm.smileLevelBFollow - pfm.smileLevelBFollow >= f.riseB) {
            o.pending = 0;
            if (jump >= f.minJump && f.level > f.prevLevel &&
                f.level - p.SMILE_THRESHOLD >= 2 * f.minJump)
                adaptedThreshold =
                    std::max(p.SMILE_THRESHOLD, int(std::trunc(fm.smileLevelSmoothed)));
        } else {
            hold();
        }
    } else if (rise < f.riseA / 4) {
        o.riseCount = 1;
        hold();
    } else {
        const int before = o.riseCount++;
        if (before > 3) {
            o.riseCount = 0;
            o.pending = 0;
            adaptedThreshold =
                int(std::trunc(std::max(pfm.smileLevelSmoothed, double(p.SMILE_THRESHOLD))));
        } else {
            hold();
        }
    }
}

void startEpisode(const SmileFrame &f, int jump, int adaptedThreshold)
{
    const TrackingParameters &p = trackingParameters;
    SmileModeState &s = mode();
    SmileEpisode &e = smileEpisode;
    const SmileOnsetFields &o = smileOnset.current;
    previousSmileEpisode = e;
    e.peakLevel = std::abs(f.level);
    e.maxLipMotion = frameRecords.motion.lipMotionSmoothed;
    e.startMs = e.peakMs = f.now;
    e.startDelta = o.delta;
    e.startJump = jump;
    s.smileActive = 1;
    s.smileSustained = 0;
    e.endMs = 0;
    e.movedAtStart = e.lipMotionEarly = e.lipMotionHigh = e.tooSoon = e.rejected = 0;
    e.pointerRemainder = {0.0, 0.0};
    e.peakReached = p.SMILE_THRESHOLD * 1.05 <= e.peakLevel ? 1 : 0;
    e.speedAtStart = std::sqrt(f.speedSquared);
    e.threshold = adaptedThreshold > 0 ? adaptedThreshold : p.SMILE_THRESHOLD;
    smileOnset.current.pending = 0;
    e.pointModeBefore = s.pointingActive;
    e.scrollModeBefore = s.scrollingActive;
    resetScrollState();
    s.pointingActive = 0;
    s.draggingActive = 0;
    if (!scrollOption()) {
        s.scrollingActive = 0;
        s.scrollNotYetMoved = false;
    }
    s.pointStageShown = s.scrollStageShown = s.dragStageShown = s.peakTracked = 0;
    endAction();
    s.actionStarted = s.actionEnded = 0;
    s.scrollParkExit = 0;
    if (e.startMs - previousSmileEpisode.endMs < f.repeatGap && !previousSmileEpisode.rejected) {
        e.tooSoon = 1;
        e.rejected = 1;
    }
}

// The first frame of the stages shown: no action yet, no ring while the pointer follows
// the smile.
void firstStageFrame(const SmileFrame &f)
{
    SmileModeState &s = mode();
    if (s.pointStageShown)
        return;
    s.pointStageShown = 1;
    endAction();
    s.actionStarted = 0;
    s.actionEnded = 0;
    if (f.withSmile)
        stopRing();
}

void trackPeakOnce(const SmileFrame &f)
{
    SmileModeState &s = mode();
    if (s.peakTracked)
        return;
    s.peakTracked = 1;
    trackSmilePeak(f.level, f.thrMax);
}

bool classicLayout()
{
    const TrackingParameters &p = trackingParameters;
    return (clickOptionState.MOTION_MODE == 0 || !p.MODE_FULL_FUNCTION) && !p.MODE_SWITCH_ONLY;
}

// The full-function and switch-only layouts: the smile is the mapped action itself, and
// head motion beyond the click speed points while it is held.
void pressAndPoint(const SmileFrame &f)
{
    const TrackingParameters &p = trackingParameters;
    SmileModeState &s = mode();
    if (!s.actionStarted)
        gestureStart(p.FEMAP_INDEX_SMILE, s.actionStarted, s.actionEnded, false, InputOwner::Smile);
    if (clickOptionState.MOTION_MODE != 0 && p.MODE_FULL_FUNCTION && f.movedBeyond) {
        s.pointingActive = 1;
        if (f.buttonAction && f.elapsed >= p.PCE_SUSTAIN_TIME_DELTA_TO_STICK + p.SMILE_MINDUR)
            s.smileSustained = 1;
    }
}

// Returns false when the call ends here (the live values are sent).
bool pointStage(SmileFrame &f)
{
    const TrackingParameters &p = trackingParameters;
    SmileModeState &s = mode();
    SmileEpisode &e = smileEpisode;
    if (e.rejected) {
        sendLevels(f, true);
        sendState(false);
        return false;
    }
    if (f.withSmile && s.pointingActive) {
        sendLevels(f, false);
        return false;
    }
    firstStageFrame(f);
    trackSmileStart(f.lipLimit);
    if (!s.peakTracked) {
        trackPeakOnce(f);
        f.stageFirstFrame = true;
        if (f.withSmile && !e.rejected) {
            setPointingCursors();
            showRing(GreenRing, p.GREEN_TIMER, QStringLiteral("Move Head To POINT"));
        }
    }
    if (e.rejected) {
        if (f.withSmile) {
            stopRing();
            restoreSystemCursors();
        }
        sendLevels(f, true);
        return false;
    }
    if (classicLayout()) {
        const bool moved = f.withSmile ? fasterThan(f, p.ESCAPE_SPEED_POINT) : true;
        if (moved && !f.stageFirstFrame) {
            if (f.buttonAction)
                s.smileSustained = 1;
            // Pointing that already runs does not tick again.
            const bool wasPointing = s.pointingActive != 0;
            s.pointingActive = 1;
            stopRing();
            if (p.SOUND_STARTMOUSEMOTION && !wasPointing)
                playSound(SoundId::Tick);
        }
    } else {
        pressAndPoint(f);
    }
    sendState(true);
    return true;
}

bool scrollStage(SmileFrame &f)
{
    const TrackingParameters &p = trackingParameters;
    SmileModeState &s = mode();
    SmileEpisode &e = smileEpisode;
    if (s.pointingActive >= 1 || s.scrollingActive >= 1 || e.rejected || s.actionStarted)
        return true;
    firstStageFrame(f);
    trackPeakOnce(f);
    if (e.rejected) {
        if (f.withSmile) {
            stopRing();
            restoreSystemCursors();
        }
        sendLevels(f, true);
        sendState(false);
        return false;
    }
    if (classicLayout()) {
        if (!s.scrollStageShown) {
            s.scrollStageShown = 1;
            if (f.withSmile) {
                restoreSystemCursors();
                stopRing();
                setScrollMidCursors();
                showRing(YellowRing, p.YELLOW_TIMER, QStringLiteral("Move Head to SCROLL"));
            }
            sendState(true);
        }
        const bool moved = f.withSmile ? fasterThan(f, p.ESCAPE_SPEED_SCROLL) : true;
        // Paused clicking turns no wheel: no scroll begins, and no tick says one did.
        if (moved && clickingActive()) {
            if (f.buttonAction)
                s.smileSustained = 1;
            s.scrollingActive = 1;
            s.scrollNotYetMoved = false;
            if (p.SOUND_SCROLL)
                platform::soundPlayer().playFile(QStringLiteral("ScrollTick-Short-25ms.wav"));
            stopRing();
        }
    } else {
        pressAndPoint(f);
    }
    sendState(true);
    return true;
}

bool dragStage(SmileFrame &f)
{
    const TrackingParameters &p = trackingParameters;
    SmileModeState &s = mode();
    SmileEpisode &e = smileEpisode;
    if (s.pointingActive >= 1 || s.scrollingActive >= 1 || (p.MODE_SWITCH_ONLY && s.actionEnded))
        return true;
    const int stuckAfter = p.SMILE_MINDUR + p.SMILE_SCROLL_END + p.RED_TIMER;
    if (f.withSmile && f.elapsed > stuckAfter && s.dragStageShown && !s.draggingActive) {
        stopRing();
        if (!scrollOption())
            restoreSystemCursors();
        if (s.smileSustained && !smileOnset.current.confirmed)
            s.smileSustained = 0;
        return true;
    }
    firstStageFrame(f);
    trackPeakOnce(f);
    s.scrollStageShown = 1;
    if (e.rejected)
        return true;
    if (!classicLayout()) {
        pressAndPoint(f);
        sendState(true);
        return true;
    }
    if (!s.dragStageShown) {
        s.dragStageShown = 1;
        if (f.withSmile) {
            restoreSystemCursors();
            stopRing();
            if (!scrollOption()) {
                restoreSystemCursors();
                setDragCursors();
                showRing(RedRing, int(p.RED_TIMER * 0.6), QStringLiteral("Move Head To DRAG"));
            }
        }
        sendState(true);
    }
    const bool moved = f.withSmile ? fasterThan(f, p.ESCAPE_SPEED) : true;
    if (moved) {
        s.draggingActive = 1;
        stopRing();
        const bool pressAllowed = !p.INSTANT_CLICK || (clickOptionState.CLICK_OPTION_DRAG_MODE &&
                                                       clickOptionState.dragState != 0);
        if (pressAllowed && !pointerEngineState.pointerFrozen) {
            if (f.buttonAction)
                s.smileSustained = 1;
            s.pointingActive = 1;
            if (!s.actionStarted)
                gestureStart(p.FEMAP_INDEX_SMILE, s.actionStarted, s.actionEnded, false,
                             InputOwner::Smile);
        }
    }
    return true;
}

// The stages of a held smile, by its age. Returns false when the call ends here.
bool stageMachine(SmileFrame &f)
{
    const TrackingParameters &p = trackingParameters;
    // The early window and the minimum duration: nothing shows yet.
    const bool early = f.elapsed < p.GESTURE_MINDUR_FLOOR;
    if (early || f.elapsed < p.SMILE_MINDUR) {
        if (!early || !smileEpisode.rejected) {
            firstStageFrame(f);
            trackSmileStart(f.lipLimit);
        }
        sendLevelsForEpisode(f);
        return false;
    }
    if (f.elapsed <= p.SMILE_POINT_END)
        return pointStage(f);
    if (f.elapsed < p.SMILE_SCROLL_END)
        return scrollStage(f);
    return dragStage(f);
}

// A relaxed smile: a click, or the end of the mode it entered.
void releaseStep(const SmileFrame &f)
{
    const TrackingParameters &p = trackingParameters;
    SmileModeState &s = mode();
    sendState(false);
    const bool valid = validateSmileEpisode();
    if (!valid || s.scrollingActive || s.draggingActive || f.elapsed > p.SMILE_CLK_INT) {
        endAction();
        if (s.scrollingActive > 0 && !scrollOption()) {
            s.scrollingActive = 0;
            s.scrollNotYetMoved = false;
            playSound(SoundId::Tock);
            hideScrollImage();
        }
        if (s.draggingActive > 0) {
            s.draggingActive = 0;
            endAction();
            FacialDetectionApp *app = FacialDetectionApp::instance();
            const bool own = app && app->isPointerOverOwnWindow();
            if (!own && clickOptionState.dragState == 0 && !scrollOption())
                setClickPerformed(1);
        }
        if (s.pointingActive > 0) {
            s.pointingActive = 0;
            if (p.SOUND_ENDMOUSEMOTION)
                playSound(SoundId::Tock);
        }
    } else if (f.elapsed < p.SMILE_MINDUR) {
        // Too short for a click (a minimum raised under a held action included).
        endAction();
        s.actionStarted = 0;
        s.actionEnded = 0;
    } else {
        if (smileClickAllowed(f.lipLimit) && !s.actionStarted) {
            if (f.withSmile)
                dispatchSmileClick(p.FEMAP_INDEX_SMILE, s.actionStarted, s.actionEnded);
            else
                gestureStart(p.FEMAP_INDEX_SMILE, s.actionStarted, s.actionEnded, true,
                             InputOwner::Smile);
        }
        endAction();
    }
    stopRing();
    if (!scrollOption())
        restoreSystemCursors();
    resetGestureState();
}

} // namespace

bool exceedsClickSpeedLimit(int t)
{
    const TrackingParameters &p = trackingParameters;
    const bool assisted =
        p.MODE_FULL_FUNCTION && clickOptionState.MOTION_MODE != 0 && p.CLICK_ASSIST_LEVEL >= 1;
    double r = p.ESCAPE_SPEED;
    if (assisted) {
        const int q = p.SMILE_CLK_INT / 4;
        const int bigQ = int(p.SMILE_CLK_INT * 1.25);
        double k = 0.0;
        if (t <= q)
            k = 1.0;
        else if (t <= bigQ)
            k = double(bigQ - t) / double(bigQ - q);
        r = double(p.ESCAPE_VELOCITY) + p.TREMOR_CONTROL + p.CLICK_ASSIST_LEVEL * k;
    }
    const cv::Point2d v = frameRecords.motion.smoothedPointerVelocity;
    return r * r < v.x * v.x + v.y * v.y;
}

void trackSmileStart(float lipLimit)
{
    SmileEpisode &e = smileEpisode;
    if (e.maxLipMotion > lipLimit) {
        e.lipMotionEarly = 1;
        e.rejected = 1;
    }
    if (e.peakLevel > trackingParameters.SMILE_THRESHOLD * 1.05)
        e.peakReached = 1;
}

void trackSmilePeak(double level, double threshold)
{
    SmileEpisode &e = smileEpisode;
    if (std::abs(level) >= e.peakLevel) {
        e.peakMs = frameRecords.motion.timeMs;
        e.peakLevel = std::abs(level);
    }
    if (e.peakReached)
        return;
    if (e.peakLevel < threshold * 1.05) {
        e.rejected = 1;
    } else {
        e.peakReached = 1;
        if (!e.tooSoon && !e.lipMotionHigh && !e.lipMotionEarly && !e.movedAtStart)
            e.rejected = 0;
    }
}

bool validateSmileEpisode()
{
    SmileEpisode &e = smileEpisode;
    if (e.tooSoon || !e.peakReached || e.lipMotionHigh || e.lipMotionEarly || e.movedAtStart) {
        e.endMs = frameRecords.motion.timeMs;
        smileModeState.smileActive = 0;
        return false;
    }
    return true;
}

bool smileClickAllowed(float lipLimit)
{
    const TrackingParameters &p = trackingParameters;
    const SmileEpisode &e = smileEpisode;
    const SmileModeState &s = smileModeState;
    const cv::Point2d v = frameRecords.motion.smoothedPointerVelocity;
    const double limit = p.RELEASE_SPEED_LIMIT;
    if (p.RELEASE_SPEED_CHECK && v.x * v.x + v.y * v.y > limit * limit)
        return false;
    const int t = std::max(p.SMILE_THRESHOLD, e.threshold);
    if (t * 1.05 > e.peakLevel && e.startDelta < 32)
        return false;
    if (e.startDelta > 75) {
        const quint32 now = frameRecords.motion.timeMs;
        const quint32 prev = frameRecords.previousMotion.timeMs;
        traceLine(now, prev,
                  QStringLiteral("##########################CLICK REJECTED due to TOO MUCH Peak"));
        traceLine(now, prev,
                  QString::asprintf(".......DifPCtAtStart = %d .... Max Intensity = %6.3f",
                                    e.startDelta, e.peakLevel));
        return false;
    }
    if (e.peakMs == e.startMs && e.peakLevel <= 10.0 && e.startDelta < 16 && e.startJump < 16)
        return false;
    if (e.maxLipMotion > lipLimit)
        return false;
    if (s.pointingActive || s.scrollingActive || s.draggingActive)
        return false;
    return true;
}

bool isSmilePending()
{
    return smileOnset.current.pending != 0;
}

bool isSmileStageActive()
{
    const SmileModeState &s = smileModeState;
    return s.smileActive && (s.pointStageShown || s.scrollStageShown || s.dragStageShown);
}

bool smileStandsAside()
{
    const SmileModeState &s = smileModeState;
    return !(s.smileActive && s.smileSustained) && otherGestureFlags().anyStuck();
}

bool isSmileInProgress()
{
    return smileModeState.smileActive != 0;
}

void interruptSmileGesture()
{
    SmileModeState &s = smileModeState;
    // Only what the smile owns: pointing by another gesture or a scroll the click option
    // began is not the smile's to end.
    const bool busy = s.smileActive || s.smileSustained || s.actionStarted || ringShown ||
                      smileOnset.current.pending || smileOnset.current.confirmed ||
                      ownerHolds(InputOwner::Smile);
    if (!busy)
        return;
    const bool wasScrolling = s.scrollingActive != 0;
    endAction();
    stopRing();
    restoreSystemCursors();
    if (EngineSignals *t = engineSignals()) {
        emit t->SmileSN_SetImagePath(QStringLiteral("invisible.png"));
        emit t->expressionStateChanged(QStringLiteral("Smile"), false);
    }
    resetGestureState();
    if (wasScrolling && !s.scrollingActive)
        hideScrollImage();
    // A scroll that goes on shows its cursor again on its next frame.
    if (s.scrollingActive)
        scrollRecord.scrollCursorState = -1;
    smileOnset = SmileOnset{};
}

void procSmile()
{
    const TrackingParameters &p = trackingParameters;
    SmileModeState &s = mode();
    SmileEpisode &e = smileEpisode;
    SmileOnset &onset = smileOnset;

    // 1. Snapshot.
    onset.previous = onset.current;
    SmileFrame f = takeFrame();

    // 2. A stuck gesture of another kind holds the smile off. A smile in progress ends: what it
    // pressed would stay down for as long as the head moves, and a smile resumed afterwards
    // would click on a face it has not watched meanwhile.
    if (!(s.smileActive && s.smileSustained)) {
        const OtherGestureFlags other = otherGestureFlags();
        if (other.anyStuck()) {
            interruptSmileGesture();
            traceLine(
                f.now, f.prevTime,
                QString::asprintf(". . . . >> Skipping procSmileEvent()! -- InProg/Stuck: "
                                  "MOUTH (%d / %d), Blink (%d / %d), EBR (%d / %d) "
                                  "[ScrollWind =%d, DragOOI =%d, CO_DragInProg =%d]",
                                  other.mouthInProgress, other.mouthStuck, other.blinkInProgress,
                                  other.blinkStuck, other.eyebrowInProgress, other.eyebrowStuck,
                                  s.scrollingActive, s.draggingActive, clickOptionState.dragState));
            sendLevels(f, true);
            sendState(false);
            return;
        }
    }

    // 3. Click speed.
    f.movedBeyond = episodeRunning() && exceedsClickSpeedLimit(f.elapsed);

    // 4. Threshold in force.
    if (e.threshold < 1)
        e.threshold = p.SMILE_THRESHOLD;
    const int thrOn = episodeRunning() ? e.threshold : p.SMILE_THRESHOLD;
    f.thrMax = episodeRunning() ? std::max(e.threshold, p.SMILE_THRESHOLD) : p.SMILE_THRESHOLD;

    // 5. Onset measures.
    SmileOnsetFields &o = onset.current;
    o.on = thrOn <= f.level ? 1 : 0;
    o.pending = 0;
    o.direction = f.prevLevel <= f.level ? 1 : -1;
    o.delta = int(std::abs(f.prevLevel - f.level) + 0.5);
    const int jump =
        std::abs(onset.previous.direction * onset.previous.delta + o.direction * o.delta);
    o.confirmed = o.on;

    // 6. Onset filter of a fresh rise.
    int adaptedThreshold = 0;
    if (o.on && !episodeRunning())
        filterOnset(f, jump, adaptedThreshold);

    const HeadMotionState &m = frameRecords.motion;
    // 7. Early window.
    if (f.elapsed > 0 && f.elapsed <= p.GESTURE_MINDUR_FLOOR) {
        if (f.thrMax * 1.05 <= e.peakLevel)
            e.peakReached = 1;
        e.maxLipMotion = std::max(e.maxLipMotion, m.lipMotionSmoothed);
        if (e.maxLipMotion > f.lipLimit) {
            e.lipMotionEarly = 1;
            e.rejected = 1;
        }
        if (std::lround(e.speedAtStart) > p.MAX_MOTION_AT_SMILE_START) {
            e.movedAtStart = 1;
            if (p.SOUND_CLICKGESTUREIGNORED && !e.rejected)
                playSound(SoundId::Pluck);
            e.rejected = 1;
        }
    }

    // 8. A scroll stops when the face is long lost and the head is still.
    bool stopScroll = false;
    if (faceUnseenFor(f.now, p.SCROLL_FACE_TIMEOUT) && p.SECFACEDET &&
        frameRecords.previousMetrics.unreliability >= 0.7904 && s.scrollingActive &&
        m.headSpeed <= p.TREMOR_CONTROL)
        stopScroll = frameRecords.previousMotion.headSpeed <= p.TREMOR_CONTROL;

    // 9. Looking away.
    FacialDetectionApp *app = FacialDetectionApp::instance();
    const bool offScreen = app && app->isPointerOffScreen();
    e.lookingAway = s.smileActive ? (e.lookingAway || offScreen) : offScreen;
    if (p.IGNORE_SMILE_WHEN_LOOKING_AWAY && e.lookingAway) {
        if (!s.smileActive) {
            sendLevels(f, true);
            sendState(false);
            return;
        }
        if (f.elapsed <= p.SMILE_MINDUR) {
            e.rejected = 1;
            sendLevels(f, true);
            sendState(false);
            return;
        }
    }

    // 10. Hold checks.
    if (s.smileActive) {
        if (f.elapsed <= p.GESTURE_MINDUR_FLOOR) {
            if (std::abs(f.level) >= e.peakLevel) {
                e.peakMs = f.now;
                e.peakLevel = std::abs(f.level);
            }
            if (e.peakLevel > f.thrMax * 1.05)
                e.peakReached = 1;
        }
        if (!s.smileSustained && !s.actionStarted) {
            e.maxLipMotion = std::max(e.maxLipMotion, m.lipMotionSmoothed);
            if (e.maxLipMotion > f.lipHoldLimit) {
                e.lipMotionHigh = 1;
                e.rejected = 1;
            }
        }
        if (e.rejected) {
            if (e.pointModeBefore)
                s.pointingActive = 1;
            if (e.scrollModeBefore) {
                s.scrollingActive = 1;
                s.scrollNotYetMoved = true;
            }
        }
    }

    // 11. Sustain.
    if (!s.smileSustained) {
        const int stickAfter =
            std::min(p.SMILE_MINDUR, p.PCE_SUSTAIN_TIME_DELTA_TO_STICK + p.SMILE_MINDUR);
        if (s.smileActive && !e.rejected && p.MODE_FULL_FUNCTION && !p.INSTANT_CLICK &&
            f.buttonAction && clickOptionState.MOTION_MODE == 1 && f.movedBeyond &&
            f.elapsed >= stickAfter) {
            s.smileSustained = 1;
            s.scrollParkExit = 0;
        }
    } else {
        const bool parked = isSmileParked();
        // A smile held on that neither points, drags nor scrolls (the head moved only after
        // its pointing stage) ends on parking too: nothing else would ever end it.
        if (parked && !o.confirmed &&
            (s.pointingActive || s.draggingActive || !s.scrollingActive)) {
            s.smileSustained = 0;
            o.pending = 0;
        }
        if (s.scrollingActive && !scrollOption() && !o.confirmed && scrollParkTimeReached()) {
            s.scrollParkExit = 1;
            s.smileSustained = 0;
            o.pending = 0;
        }
        if (s.scrollingActive && stopScroll) {
            s.smileSustained = 0;
            o.confirmed = 0;
        }
    }

    // 12. A confirmed smile starts an episode.
    if (!s.smileActive && o.confirmed) {
        startEpisode(f, jump, adaptedThreshold);
        f.elapsed = 0;
    }

    // 13. Held: the stages; relaxed: the release.
    if (s.smileActive) {
        if (o.confirmed || s.smileSustained) {
            if (!stageMachine(f))
                return;
        } else {
            releaseStep(f);
        }
    }

    // 14. Live values.
    sendLevelsForEpisode(f);
}
