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
