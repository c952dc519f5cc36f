#include "engine/EngineState.h"

#include "engine/SyntheticInput.h"
#include "vision/FrameRecords.h"

PointerRecords pointerRecords;
SmileEpisode smileEpisode;
SmileEpisode previousSmileEpisode;
SmileOnset smileOnset;
SmileModeState smileModeState;
PointerEngineState pointerEngineState;
DwellRecord currentDwell;
DwellRecord lastDwellClick;

PointerFrameRecord &currentPointerRecord()
{
    PointerFrameRecord &current = pointerRecords.current;
    const quint32 now = frameRecords.motion.timeMs;
    if (current.valid && current.timeMs == now)
        return current;
    pointerRecords.previous = current;
    PointerFrameRecord fresh;
    fresh.timeMs = now;
    fresh.valid = true;
    // Where the pointer is as the frame starts, until the engine moves it.
    int x = 0, y = 0;
    if (getCursorPosScaled(x, y))
        fresh.pointerPos = cv::Point(x, y);
    else
        fresh.pointerPos = current.pointerPos;
    fresh.realPointerPos = fresh.pointerPos;
    fresh.dwellPointerPos = current.dwellPointerPos;
    // A frame without a mapped move keeps the smoothing where it was.
    fresh.absoluteRaw = current.absoluteRaw;
    fresh.absoluteTrueSm = current.absoluteTrueSm;
    fresh.absoluteCombo = current.absoluteCombo;
    // Without a frame before, the engine's last position is where the pointer is.
    if (!current.valid)
        pointerRecords.previous = fresh;
    current = fresh;
    return current;
}

bool isAnyGestureActionStarted()
{
    return smileModeState.actionStarted != 0 || blinkState.current.actionStarted != 0 ||
           mouthOpenState.current.actionStarted != 0 || eyebrowRaiseState.raise.actionStarted != 0;
}

bool isMouthOpenInProgress()
{
    return mouthOpenState.current.inProgress != 0;
}
