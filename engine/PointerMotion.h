#pragma once

// Relative gain and absolute mapping of head motion to pointer steps and positions.

// The relative step for a head displacement (dx, dy) over a frame interval in ms, with the
// horizontal and vertical sensitivities. `flatCurve` selects the constant gain of 2.
void applyPointerGain(double dx, double dy, double frameIntervalMs, double &stepX, double &stepY,
                      bool flatCurve = false);
// The screen position for the head offset of the current frame (logical pixels); also fills
// every smoothing variant of the current pointer record.
void mapHeadToScreen(int &x, int &y);
// One pointer step: a move to (x, y) in absolute mode, by (x, y) otherwise.
void movePointer(int x, int y);
// A double made safe to turn into a pixel count: NaN counts as 0, the rest is clamped.
int toPixels(double value);
