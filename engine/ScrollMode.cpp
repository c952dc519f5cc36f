#include "engine/ScrollMode.h"

#include "engine/ActionDispatch.h"
#include "engine/ClickEngine.h"
#include "engine/EngineResets.h"
#include "engine/EngineSignals.h"
#include "engine/EngineState.h"
#include "engine/SyntheticInput.h"
#include "engine/SystemCursorReplacement.h"
#include "engine/TrackingParameters.h"
#include "platform/Platform.h"
#include "platform/SoundPlayer.h"
#include "vision/FrameRecords.h"

#include <algorithm>
#include <cstdlib>

ScrollRecord scrollRecord;

const std::array<double, 50> scrollSpeedTable = {
    0.0,  0.005, 0.01, 0.015, 0.02, 0.0275, 0.0375, 0.055, 0.085, 0.115, 0.16, 0.205, 0.25,
    0.32, 0.39,  0.46, 0.53,  0.6,  0.67,   0.77,   0.87,  0.97,  1.13,  1.29, 1.45,  1.54,
    1.8,  2.06,  2.32, 2.64,  2.96, 3.28,   3.6,    3.92,  4.24,  4.56,  4.88, 5.2,   5.52,
    5.84, 6.2,   6.6,  7.1,   7.6,  8.2,    8.8,    9.5,   10.2,  11.0,  12.0};

namespace {

quint32 now()
{
    return frameRecords.motion.timeMs;
}

bool scrollOption()
{
    return clickOptionState.CLICK_OPTION_SCROLL_MODE != 0;
}

// Neither face detector has found the face for longer than the limit.
bool faceUnseenFor(qint32 limitMs)
{
    const FaceSeenTimes &seen = frameRecords.seen;
    const quint32 limit = quint32(std::max(limitMs, 0));
    return now() - seen.hogSeenMs > limit && now() - seen.haarSeenMs > limit;
}

void showCursor(qint32 state)
{
    ScrollRecord &r = scrollRecord;
    r.scrollCursorState = state;
    restoreSystemCursors();
    if (state == 0)
        setScrollMidCursors();
    else if (state == 1)
        setScrollUpCursors();
    else
        setScrollDownCursors();
}

} // namespace

void resetScrollState()
{
    ScrollRecord &r = scrollRecord;
    const qint32 anchorX = r.scrollAnchorX;
    const qint32 anchorY = r.scrollAnchorY;
    const qint32 cursor = r.scrollCursorState;
    const quint32 parkSince = r.scrollParkSinceMs;
    r = ScrollRecord{};
    r.scrollCursorState = cursor;
    r.scrollParkSinceMs = parkSince;
    // A scroll the click option began returns to its anchor, whatever the smile does meanwhile.
    if (scrollOption()) {
        r.scrollAnchorX = anchorX;
        r.scrollAnchorY = anchorY;
    }
}

void startScrollMode()
{
    SmileModeState &s = smileModeState;
    s.scrollingActive = 1;
    s.scrollNotYetMoved = true;
    s.pointingActive = 0;
    scrollRecord.scrollParkSinceMs = 0;
    resetScrollState();
    int x = 0, y = 0;
    getCursorPosScaled(x, y);
    scrollRecord.scrollAnchorX = x;
    scrollRecord.scrollAnchorY = y;
    scrollRecord.scrollStartMs = now();
    // The middle cursor comes with the first scrolling frame.
    scrollRecord.scrollCursorState = -1;
}

void endScrollMode()
{
    SmileModeState &s = smileModeState;
    s.scrollingActive = 0;
    s.scrollNotYetMoved = false;
    setClickPerformed(1);
    restoreSystemCursors();
    if (EngineSignals *t = engineSignals()) {
        emit t->ScrollSN_UpdateScrollParams(0, 0);
        emit t->ScrollSN_SetImagePath(QStringLiteral("invisible.png"));
    }
    movePointerAbsolute(scrollRecord.scrollAnchorX, scrollRecord.scrollAnchorY);
    smileEpisode.pointerRemainder = {0.0, 0.0};
}

void interruptScrollMode()
{
    SmileModeState &s = smileModeState;
    if (!s.scrollingActive)
        return;
    s.scrollingActive = 0;
    s.scrollNotYetMoved = false;
    restoreSystemCursors();
    if (EngineSignals *t = engineSignals()) {
        emit t->ScrollSN_UpdateScrollParams(0, 0);
        emit t->ScrollSN_SetImagePath(QStringLiteral("invisible.png"));
    }
    resetScrollState();
}

bool scrollParkTimeReached()
{
    ScrollRecord &r = scrollRecord;
    const cv::Point2d v = frameRecords.motion.smoothedPointerVelocity;
    const double park = trackingParameters.PARK_SPEED;
    const bool parked = smileModeState.scrollingActive && v.x * v.x + v.y * v.y <= park * park &&
                        smileOnset.current.on == 0 &&
                        std::abs(r.scrollOffsetY) <= trackingParameters.SCROLL_DEAD_ZONE;
    if (!parked) {
        r.scrollParkSinceMs = 0;
        return false;
    }
    if (r.scrollParkSinceMs == 0) {
        // A frame time of 0 still counts as a running period.
        r.scrollParkSinceMs = std::max<quint32>(now(), 1);
        return false;
    }
    return now() - r.scrollParkSinceMs >= quint32(std::max(trackingParameters.DWELL_PARK_TIME, 0));
}

void procScroll()
{
    SmileModeState &s = smileModeState;
    ScrollRecord &r = scrollRecord;
    const TrackingParameters &p = trackingParameters;
    if (!s.scrollingActive)
        return;
    // Paused clicking turns no wheel, whichever way the scroll began: it ends as a pause ends
    // it.
    if (!clickingActive()) {
        interruptScrollMode();
        return;
    }
    if (scrollOption()) {
        const bool parked = scrollParkTimeReached();
        const bool faceLost = p.SECFACEDET && faceUnseenFor(p.SCROLL_FACE_TIMEOUT);
        const bool untracked = now() - frameRecords.seen.boxSeenMs > 2000u;
        if ((parked && !s.scrollNotYetMoved) || faceLost || untracked) {
            endScrollMode();
            return;
        }
    }

    const HeadMotionState &m = frameRecords.motion;
    r.scrollOffsetY -= m.headShiftY20;
    r.scrollOffsetX += m.headShiftX20;
    const int d = std::abs(r.scrollOffsetY);
    r.scrollDirection = r.scrollOffsetY >= 0 ? 1 : -1;
    const int deadZone = p.SCROLL_DEAD_ZONE;
    r.speedIndex = std::clamp((d < deadZone ? 0 : d - deadZone) / 10, 0, 49);
    r.wheelStep = int(r.scrollDirection * scrollSpeedTable[size_t(r.speedIndex)] * 120.0);
    r.wheelSum += r.wheelStep;
    if (r.wheelStep != 0) {
        sendWheel(r.wheelStep);
        s.scrollNotYetMoved = false;
    }

    const quint32 sinceTick = now() - r.lastTickMs;
    if (sinceTick > 49 && sinceTick >= quint32(500 / (d / 75 + 1))) {
        if (p.SOUND_SCROLL)
            platform::soundPlayer().playFile(QStringLiteral("ScrollTick-Short-25ms-Soft.wav"));
        r.wheelSumAtTick = r.wheelSum;
        r.lastTickMs = now();
    }

    // Each cursor is set when its zone is entered, not every frame.
    if (d <= deadZone) {
        if (r.scrollCursorState != 0 || now() == r.scrollStartMs)
            showCursor(0);
    } else if (r.scrollOffsetY < 1) {
        if (r.scrollCursorState != 2)
            showCursor(2);
    } else if (r.scrollCursorState != 1) {
        showCursor(1);
    }
}

bool isSmileScrolling()
{
    return smileModeState.scrollingActive != 0;
}

int scrollOffset()
{
    return scrollRecord.wheelStep;
}

int scrollSpeedIndex()
{
    return scrollRecord.speedIndex;
}

bool isScrollParked()
{
    const ScrollRecord &r = scrollRecord;
    return smileModeState.scrollingActive &&
           std::abs(r.scrollOffsetY) <= trackingParameters.SCROLL_DEAD_ZONE &&
           r.scrollParkSinceMs != 0;
}

float scrollParkPercent()
{
    if (!isScrollParked())
        return 0.0f;
    const int parkTime = trackingParameters.DWELL_PARK_TIME;
    if (parkTime <= 0)
        return 100.0f;
    const quint32 rested = now() - scrollRecord.scrollParkSinceMs;
    return float(std::min(100.0, rested * 100.0 / parkTime));
}
