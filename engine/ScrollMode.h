#pragma once

#include <QtGlobal>

#include <array>

// Scroll mode: the head works as a scroll wheel. Moving it up or down from where scrolling
// began sends wheel steps whose rate grows with the distance, with a dead zone around the
// start, tick sounds and up, middle and down cursors. Worker thread only.
struct ScrollRecord
{
    // Cursor shown: 0 middle, 1 up, 2 down; -1 none yet since the click option began.
    qint32 scrollCursorState = 0;
    // Head travel since scrolling began, in units of the head's 20-times shift; positive Y
    // after the head moved up.
    qint32 scrollOffsetX = 0;
    qint32 scrollOffsetY = 0;
    // Wheel amount sent this frame (120 a notch), its speed index and direction.
    qint32 wheelStep = 0;
    qint32 speedIndex = 0;
    qint32 scrollDirection = 0;
    double wheelSum = 0.0;
    double wheelSumAtTick = 0.0;
    quint32 lastTickMs = 0;
    // Where the pointer was when the click option began scrolling; it returns there after.
    qint32 scrollAnchorX = 0;
    qint32 scrollAnchorY = 0;
    quint32 scrollStartMs = 0;
    // Start of the current resting period, 0 = none.
    quint32 scrollParkSinceMs = 0;
};
extern ScrollRecord scrollRecord;

// Wheel notches per frame by speed index.
extern const std::array<double, 50> scrollSpeedTable;

// The head has rested in the dead zone, with the smile off, for the park time.
bool scrollParkTimeReached();
// Ends a scroll the click option began: cursors and scroll image back, the pointer back
// where scrolling began, and the click options soft-reset.
void endScrollMode();
// Scrolling stops where it is, with its cursors and image put back (the engine rests).
void interruptScrollMode();
