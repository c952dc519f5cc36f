#include "engine/ParkTimers.h"

#include "engine/EngineState.h"
#include "engine/TrackingParameters.h"
#include "vision/FrameRecords.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <utility>

ParkTimers parkTimers;

namespace {

using Samples = std::deque<std::pair<quint32, double>>;

Samples &recentValues100()
{
    static Samples samples{{0u, 0.0}};
    return samples;
}

Samples &recentValues500()
{
    static Samples samples{{0u, 0.0}};
    return samples;
}

// Drops samples from the front while they are older than the window; a sample that came
// out of order stays until it reaches the front.
void slide(Samples &samples, quint32 timeMs, quint32 spanMs)
{
    const quint32 oldest = timeMs - spanMs;
    while (!samples.empty() && samples.front().first < oldest)
        samples.pop_front();
}

bool headAtRest()
{
    const cv::Point2d v = frameRecords.motion.smoothedPointerVelocity;
    const double park = trackingParameters.PARK_SPEED;
    return v.x * v.x + v.y * v.y <= park * park;
}

bool parkTimePassed(quint32 sinceMs)
{
    const int parkTime = trackingParameters.DWELL_PARK_TIME;
    return parkTime <= 0 || frameRecords.motion.timeMs - sinceMs >= quint32(parkTime);
}

// A timer's start on the frame time; a frame time of 0 still counts as running.
quint32 startTime()
{
    return std::max<quint32>(frameRecords.motion.timeMs, 1);
}

bool parkedOnce(quint32 &sinceMs, bool blocked)
{
    if (blocked) {
        sinceMs = 0;
        return false;
    }
    if (sinceMs == 0) {
        sinceMs = startTime();
        return false;
    }
    if (parkTimePassed(sinceMs)) {
        sinceMs = 0;
        return true;
    }
    return false;
}

} // namespace

bool isSmileParked()
{
    return parkedOnce(parkTimers.smileParkSinceMs, !headAtRest() || smileOnset.current.on != 0);
}

bool headParkedOnce()
{
    return parkedOnce(parkTimers.mouthParkSinceMs, !headAtRest());
}

bool headParkElapsed()
{
    return parkedOnce(parkTimers.blinkParkSinceMs, !headAtRest());
}

namespace {

bool latched(quint32 &sinceMs, bool &reached, bool holds)
{
    if (!holds) {
        sinceMs = 0;
        reached = false;
        return false;
    }
    if (sinceMs == 0) {
        sinceMs = startTime();
        return false;
    }
    if (parkTimePassed(sinceMs)) {
        reached = true;
        return true;
    }
    return false;
}

} // namespace

bool headParkedLatched()
{
    return latched(parkTimers.ebrParkSinceMs, parkTimers.ebrParkReached, headAtRest());
}

bool ebrCalmLatched()
{
    return latched(parkTimers.ebrCalmSinceMs, parkTimers.ebrCalmReached,
                   std::fabs(eyebrowRaiseState.sample.lift) <= 1.0);
}

double slidingMax100(quint32 timeMs, double value)
{
    Samples &samples = recentValues100();
    samples.emplace_back(timeMs, value);
    slide(samples, timeMs, 100);
    double largest = 0.0;
    for (const auto &sample : samples)
        largest = std::max(largest, sample.second);
    return largest;
}

double slidingDeviation500(quint32 timeMs, double value)
{
    Samples &samples = recentValues500();
    samples.emplace_back(timeMs, value);
    slide(samples, timeMs, 500);
    double largest = 0.0;
    for (const auto &sample : samples)
        largest = std::max(largest, std::fabs(value - sample.second));
    return largest;
}

void clearSlidingWindows()
{
    recentValues100() = Samples{{0u, 0.0}};
    recentValues500() = Samples{{0u, 0.0}};
}

double vectorLength(double x, double y)
{
    return std::sqrt(x * x + y * y);
}
