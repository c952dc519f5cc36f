#pragma once

// The one way the click engine, the calibration and the recentring reach the desktop: pointer
// moves, button events, wheel turns and key strokes, and the pointer position. Each event is
// sent on its own; nothing is batched. Positions are in the program's logical pixels, steps
// in physical ones (as the pointer moves on the screen).

// Waits `ms` of real time between events that need it (a key held, a double click's gap, a
// second look at the pointer).
void inputPause(int ms);
// The worker's rest between passes (pacing, a pause, no frame); skipped like the waits above.
void workerRest(int ms);
// Runs the calls queued to the worker (a reset, a recentre) in the middle of a pass.
void processQueuedCalls();
// Tests that replay thousands of sequences on the recording back ends skip the waits and the
// event processing (nothing is queued there); nothing else does.
void setFastReplay(bool fast);

// Reads the device pixel ratio of Qt's primary screen into the platform layer, which turns
// logical into physical pixels. GUI thread: at start and when the primary screen changes.
void syncDevicePixelRatio();

// The pointer position in logical pixels. False (x and y unchanged) when it cannot be read.
bool getCursorPosScaled(int &x, int &y);

// Moves the pointer by a step of physical pixels; no pointer acceleration applies.
void movePointerRelative(int dx, int dy);
// Moves the pointer to a point in logical pixels. Without a primary screen it writes
// "Error 1402!" to the standard error stream and moves nothing.
void movePointerAbsolute(int x, int y);

// Clicks and key presses only: a button or key held down belongs to a gesture or a drag, so
// it is pressed and released through the engine's owner record (InputOwners.h), never here.
// Down and up, back to back.
void sendLeftClick();
void sendRightClick();
// A click, 25 ms, and the same click again.
void sendDoubleClick(bool right);

// Turns the wheel by delta units, 120 a notch, positive away from the user. 0 sends nothing.
void sendWheel(int delta);

// Keys: down, 12 ms, up.
void sendEnterPress();
void sendSpacePress();
void sendOnePress();
void sendF12Press();
void sendF13Press();
void sendF14Press();
