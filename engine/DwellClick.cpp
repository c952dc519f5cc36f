#include "core/FacialDetectionApp.h"
#include "engine/ActionDispatch.h"
#include "engine/ClickEngine.h"
#include "engine/EngineResets.h"
#include "engine/EngineState.h"
#include "engine/SyntheticInput.h"
#include "engine/TrackingParameters.h"
#include "feedback/CProgressMeter.h"
#include "vision/FrameRecords.h"

#include <QColor>

#include <algorithm>

namespace {

constexpr quint32 kSettlingMs = 200;
constexpr int kRingShorterMs = 225;
constexpr int kShortestCountdownMs = 25;
constexpr int kRingThickness = 10;

int zoneRadius()
{
    return std::max(trackingParameters.DWELL_ZONE_SIZE, 0);
}

// Squares in 64 bits: far-apart points and large zones cannot overflow.
bool inside(int x, int y, int cx, int cy)
{
    const qint64 dx = qint64(x) - cx;
    const qint64 dy = qint64(y) - cy;
    const qint64 z = zoneRadius();
    return dx * dx + dy * dy <= z * z;
}

bool busy()
{
    return (isAnyGestureActionStarted() || pointerEngineState.pointerFrozen) &&
           clickOptionState.dragState == 0;
}

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

void stopCountdown(DwellRecord &record)
{
    if (record.countdownShown && app())
        emit app()->cdtStopTimer();
    record.countdownShown = 0;
}

void cancelDwell()
{
    stopCountdown(currentDwell);
    resetDwellRecord(currentDwell);
}

} // namespace

void interruptDwell()
{
    if (currentDwell.startMs != 0 || currentDwell.countdownShown)
        cancelDwell();
}

void procDwellClick()
{
    if (clickOptionState.CLICK_MODE == 0) {
        // Switched to smile clicking mid-countdown: the ring goes with the dwell.
        interruptDwell();
        return;
    }
    const quint32 now = frameRecords.motion.timeMs;
    PointerFrameRecord &rec = currentPointerRecord();
    const cv::Point previousPos = pointerRecords.previous.dwellPointerPos;
    int x = rec.pointerPos.x, y = rec.pointerPos.y;
    getCursorPosScaled(x, y);
    rec.dwellPointerPos = cv::Point(x, y);

    if (lastDwellClick.anchorX == -99999 || lastDwellClick.anchorY == -99999) {
        lastDwellClick.anchorX = x;
        lastDwellClick.anchorY = y;
        lastDwellClick.movedAway = 0;
        lastDwellClick.clickMs = now;
        return;
    }
    if (!lastDwellClick.movedAway) {
        if (inside(x, y, lastDwellClick.anchorX, lastDwellClick.anchorY))
            return;
        lastDwellClick.movedAway = 1;
    }
    const SmileModeState &smile = smileModeState;
    if (smile.pointingActive || smile.scrollingActive || smile.draggingActive) {
        // A ring on screen goes with the dwell.
        cancelDwell();
        return;
    }

    if (currentDwell.startMs == 0) {
        if (!inside(x, y, previousPos.x, previousPos.y) || busy())
            return;
        resetDwellRecord(currentDwell);
        currentDwell.startMs = now;
        currentDwell.startX = x;
        currentDwell.startY = y;
        return;
    }

    const quint32 t = now - currentDwell.startMs;
    const int clickTime = std::max(trackingParameters.DWELL_CLICK_TIME, 0);
    if (t < kSettlingMs) {
        currentDwell.settling = 1;
        if (!inside(x, y, currentDwell.startX, currentDwell.startY) || busy())
            resetDwellRecord(currentDwell);
        return;
    }
    if (t < quint32(clickTime) + kSettlingMs) {
        if (!currentDwell.anchored) {
            currentDwell.anchored = 1;
            if (!inside(x, y, currentDwell.startX, currentDwell.startY) || busy()) {
                cancelDwell();
                return;
            }
            currentDwell.anchorX = x;
            currentDwell.anchorY = y;
            currentDwell.anchorMs = now;
        } else if (!inside(x, y, currentDwell.anchorX, currentDwell.anchorY) || busy()) {
            cancelDwell();
            return;
        }
        if (!currentDwell.countdownShown && app() &&
            (app()->clickingActive || app()->isPointerOverOwnWindow())) {
            const int diameter = 2 * std::max(zoneRadius(), 1);
            GlobalProgressMeter.SetDiameter(diameter);
            GlobalProgressMeter.SetThickness(kRingThickness);
            emit app()->cdtSetAttributes(std::max(clickTime - kRingShorterMs, kShortestCountdownMs),
                                         x, y, diameter, kRingThickness, QColor(Qt::blue));
            emit app()->cdtStartTimer();
            currentDwell.countdownShown = 1;
        }
        return;
    }

    // A dwell that skipped its countdown frames has no anchor: its start stands in.
    if (!currentDwell.anchored) {
        currentDwell.anchorX = currentDwell.startX;
        currentDwell.anchorY = currentDwell.startY;
    }
    if (!inside(x, y, currentDwell.anchorX, currentDwell.anchorY) || busy()) {
        cancelDwell();
        return;
    }
    currentDwell.clickMs = now;
    currentDwell.clicked = 1;
    if (currentDwell.countdownShown) {
        stopCountdown(currentDwell);
        // The ring is gone before the click lands.
        inputPause(50);
    }
    dragStep();
    lastDwellClick = currentDwell;
    lastDwellClick.movedAway = 0;
    resetDwellRecord(currentDwell);
}
