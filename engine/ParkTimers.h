#pragma once

#include <QtGlobal>

// Timers that tell that the head has rested for the dwell-park time, one per gesture, and
// sliding maxima over the last 100 and 500 ms. Worker thread only.
struct ParkTimers
{
    // "Since" times; 0 = not running.
    quint32 smileParkSinceMs = 0;
    quint32 mouthParkSinceMs = 0;
    quint32 ebrParkSinceMs = 0;
    quint32 ebrCalmSinceMs = 0;
    bool ebrParkReached = false;
    bool ebrCalmReached = false;
    // The slow blink's own timer.
    quint32 blinkParkSinceMs = 0;
};
extern ParkTimers parkTimers;

// True once when the head has rested with the smile off for the park time; then starts anew.
bool isSmileParked();
// The same for the mouth-open gesture, without the smile condition.
bool headParkedOnce();
// True from the park time on while the head stays at rest (the timer keeps running).
bool headParkedLatched();
// The same latch for the eyebrow raise's lift staying within 1.0 of its slow follower.
bool ebrCalmLatched();
// The slow blink's: true once when the head has rested for the park time; then starts anew.
bool headParkElapsed();

// The largest value of the last 100 ms, not below 0.
double slidingMax100(quint32 timeMs, double value);
// The largest distance of the value from any value of the last 500 ms.
double slidingDeviation500(quint32 timeMs, double value);
// Forgets both windows' samples.
void clearSlidingWindows();

double vectorLength(double x, double y);
