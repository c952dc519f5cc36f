#pragma once

#include <QtGlobal>

#include <opencv2/core/types.hpp>

#include <array>

// The click engine's own process-wide state. Worker thread only, unlocked.

// Where the engine put the pointer, frame by frame. The engine keeps its own current and
// previous copy, moved on whenever a new frame time appears in the tracker's records.
struct PointerFrameRecord
{
    quint32 timeMs = 0;
    bool valid = false;
    // The relative step computed this frame and the whole pixels sent.
    cv::Point2d gainStep;
    cv::Point sentStep;
    // Logical pixels: after this frame's move, its change (absolute mode), the pointer read
    // by the external-motion check and by dwell clicking.
    cv::Point pointerPos;
    cv::Point pointerDelta;
    cv::Point realPointerPos;
    cv::Point dwellPointerPos;
    // Absolute mapping and its smoothing variants; the next frame reads them.
    cv::Point absoluteRaw;
    cv::Point absoluteTrueSm;
    std::array<cv::Point, 6> absoluteCombo{};
};

struct PointerRecords
{
    PointerFrameRecord current;
    PointerFrameRecord previous;
};
extern PointerRecords pointerRecords;

// The current record for the frame in the tracker's records; a new frame time moves the
// current record into the previous one and starts afresh at the real pointer position.
PointerFrameRecord &currentPointerRecord();

// One smile episode (the smile handler fills most of it).
struct SmileEpisode
{
    quint32 startMs = 0;
    quint32 endMs = 0;
    quint32 peakMs = 0;
    qint32 startDelta = 0;
    qint32 startJump = 0;
    double speedAtStart = 0.0;
    double peakLevel = 0.0;
    double maxLipMotion = 0.0;
    qint32 rejected = 0;
    qint32 tooSoon = 0;
    qint32 peakReached = 0;
    qint32 lipMotionHigh = 0;
    qint32 lipMotionEarly = 0;
    qint32 movedAtStart = 0;
    // Sub-pixel remainder of relative pointer motion.
    std::array<double, 2> pointerRemainder{};
    qint32 pointModeBefore = 0;
    qint32 scrollModeBefore = 0;
    bool lookingAway = false;
    qint32 threshold = 0;
};
extern SmileEpisode smileEpisode;
extern SmileEpisode previousSmileEpisode;

struct SmileOnsetFields
{
    qint32 on = 0;
    qint32 confirmed = 0;
    qint32 delta = 0;
    qint32 direction = 0;
    qint32 pending = 0;
    qint32 riseCount = 0;
};
struct SmileOnset
{
    SmileOnsetFields current;
    SmileOnsetFields previous;
};
extern SmileOnset smileOnset;

struct SmileModeState
{
    qint32 smileActive = 0;
    qint32 smileSustained = 0;
    qint32 pointingActive = 0;
    qint32 scrollingActive = 0;
    qint32 draggingActive = 0;
    qint32 pointStageShown = 0;
    qint32 peakTracked = 0;
    qint32 scrollStageShown = 0;
    qint32 dragStageShown = 0;
    qint32 actionStarted = 0;
    qint32 actionEnded = 0;
    qint32 scrollParkExit = 0;
    bool scrollNotYetMoved = false;
};
extern SmileModeState smileModeState;

// Pointer motion and the actions.
struct PointerEngineState
{
    // While non-zero the pointer is not moved.
    qint32 pointerFrozen = 0;
    qint32 pointingBeforeFreeze = 0;
    // 0 free, 1 parked.
    qint32 parkState = 0;
    // Still-since time of the episode that last parked with a sound.
    quint32 lastParkEpisode = 0;
    // Still-since time of the hold-head-steady episode that last recentred.
    quint32 lastAutoRecenterEpisode = 0;
    // Consecutive frames with a confirmed jump of the real pointer.
    qint32 externalMotionCount = 0;
    // Set when external motion is detected; the first frame past the lag clears it.
    bool externalLagPending = false;
};
extern PointerEngineState pointerEngineState;

// A dwell: in progress, or the copy taken at the last dwell click.
struct DwellRecord
{
    quint32 startMs = 0;
    qint32 startX = -99999;
    qint32 startY = -99999;
    quint32 anchorMs = 0;
    qint32 anchorX = -99999;
    qint32 anchorY = -99999;
    qint32 countdownShown = 0;
    qint32 clicked = 0;
    quint32 clickMs = 0;
    qint32 settling = 0;
    qint32 anchored = 0;
    qint32 spare = 0;
    qint32 movedAway = 0;
};
extern DwellRecord currentDwell;
extern DwellRecord lastDwellClick;

// Any gesture has started its action (smile, slow blink, mouth open, eyebrow raise).
bool isAnyGestureActionStarted();
// A mouth-open gesture is in progress.
bool isMouthOpenInProgress();

// --- The slow blink, mouth-open and eyebrow-raise gestures. ----------------------------

struct BlinkRecord
{
    qint32 inProgress = 0;
    quint32 startMs = 0;
    quint32 endMs = 0;
    // The highest blink level of the blink.
    double peakLevel = 0.0;
    // Level thresholds of this blink: to stay closed before, and after, the minimum time.
    double threshold = 0.0;
    double holdThreshold = 0.0;
    qint32 pastMinimum = 0;
    // The action stays on while the head moves, also after the eyes open.
    qint32 stuck = 0;
    qint32 actionStarted = 0;
    qint32 actionEnded = 0;
    qint32 frames = 0;
    bool lookingAway = false;
};
struct BlinkState
{
    BlinkRecord current;
    // The last blink that lasted the minimum time; its end starts the throttle.
    BlinkRecord last;
    bool hadBlink = false;
    // Time of the frame the handler last ran in.
    quint32 lastRunMs = 0;
};
extern BlinkState blinkState;

struct MouthOpenSample
{
    quint32 timeMs = 0;
    double level = 0.0;
    double slowLevel = 0.0;
    bool above = false;
    bool rising = false;
};
struct MouthOpenRecord
{
    qint32 inProgress = 0;
    quint32 startMs = 0;
    quint32 endMs = 0;
    // The pointing mode when the mouth began to open; -1 when none is saved.
    qint32 savedPointing = -1;
    qint32 issued = 0;
    qint32 stuck = 0;
    qint32 actionStarted = 0;
    qint32 actionEnded = 0;
    bool lookingAway = false;
};
struct MouthOpenState
{
    MouthOpenRecord current;
    MouthOpenRecord last;
    bool hadGesture = false;
    MouthOpenSample sample;
    MouthOpenSample previousSample;
    quint32 lastRunMs = 0;
};
extern MouthOpenState mouthOpenState;

// One frame's measurements of the forehead's rise against the middle of the face.
struct EyebrowSample
{
    quint32 timeMs = 0;
    // The running region-tilt sum, its slow follower, and the lift of the one over the other.
    double sum = 0.0;
    double sumSlow = 0.0;
    double lift = 0.0;
    double sumChange = 0.0;
    bool headQuiet = false;
    bool aboveStart = false;
    bool rising = false;
    // When the lift last rose through zero; kept from frame to frame.
    quint32 riseMarkerMs = 0;
    // Per second: of the sum, of the lift, and their half-and-half smoothings.
    double rate = 0.0;
    double liftRate = 0.0;
    double smoothedRate = 0.0;
    double smoothedLiftRate = 0.0;
    // The smoothed rate less what the head's vertical motion accounts for.
    double netRate = 0.0;
    bool liftRising = false;
    bool above = false;
    bool strongOnset = false;
    bool moderateOnset = false;
    bool startCandidate = false;
    bool low = false;
    bool parked = false;
    bool calm = false;
    // How far the eye line may tilt in the last 500 ms during the raise.
    double tiltLimit = 0.0;
    double tiltDeviation = 0.0;
    double vy = 0.0;
    // The value shown on the threshold slider.
    double shown = 0.0;
};
struct EyebrowRaiseRecord
{
    qint32 inProgress = 0;
    quint32 startMs = 0;
    qint32 frames = 0;
    double startSum = 0.0;
    double startRate = 0.0;
    double startLiftRate = 0.0;
    double peakRate = 0.0;
    double peakNetRate = 0.0;
    double lowestNetRate = 0.0;
    qint32 issued = 0;
    qint32 actionStarted = 0;
    qint32 actionEnded = 0;
    qint32 stuck = 0;
    // What the threshold slider shows during the raise: the threshold at the start, moving
    // with the sum at this scale.
    qint32 shownBase = 1;
    double shownScale = 0.0;
};
struct EyebrowRaiseState
{
    EyebrowSample sample;
    EyebrowSample previousSample;
    EyebrowRaiseRecord raise;
    // Over the raise while one is in progress, else this frame's.
    bool lookingAway = false;
    quint32 lastRunMs = 0;
    // The last frame with a face the handler ran in.
    quint32 faceSeenMs = 0;
};
extern EyebrowRaiseState eyebrowRaiseState;
