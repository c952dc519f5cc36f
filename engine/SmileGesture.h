#pragma once

// The smile gesture: when a smile begins, its timed hold stages (point, scroll, drag) with
// their rings, cursors and sounds, and the click or mode a smile becomes when released.
// Worker thread only.

// Whether the head moves faster than a smile of this age allows for a click.
bool exceedsClickSpeedLimit(int elapsedMs);
// Early-window and peak bookkeeping of the current episode.
void trackSmileStart(float lipLimit);
void trackSmilePeak(double level, double threshold);
// Whether the ended episode counts at all; ends it when not.
bool validateSmileEpisode();
// Whether the released smile may click.
bool smileClickAllowed(float lipLimit);

// What the facial measurements of the next frame read: a rise is being watched, and the
// episode has shown its point, scroll or drag stage.
bool isSmilePending();
bool isSmileStageActive();

// A stuck slow blink, mouth opening or eyebrow raise holds the smile off (unless the smile is
// held on by head motion itself); a smile in progress then ends.
bool smileStandsAside();

// The smile is left idle at once: a held action is ended, the ring stopped, the cursors and
// the status images put back, and the modes it entered end (a scroll the click option began
// goes on). For frames that skip the smile: the gesture switched off, and through
// interruptGestures calibration, a pause, clicking paused and the end of the loop.
void interruptSmileGesture();
