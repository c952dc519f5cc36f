#include "vision/TimeWindowSeries.h"

#include <algorithm>

namespace {
// A time counts as newer when it lies less than half the 32-bit range ahead.
bool isNewer(quint32 time, quint32 reference)
{
    const quint32 ahead = time - reference;
    return ahead != 0 && ahead < 0x80000000u;
}
} // namespace

void TimeWindowSeries::add(quint32 timeMs, double value)
{
    if (!samples.empty() && !isNewer(timeMs, samples.back().timeMs))
        return;
    samples.push_back({timeMs, value});
    while (timeMs - samples.front().timeMs > windowMs)
        samples.pop_front();
}

double TimeWindowSeries::mean(quint32 spanMs, quint32 nowMs) const
{
    const quint32 maxAge = std::min(spanMs, windowMs);
    double sum = 0.0;
    size_t n = 0;
    for (const Sample &s : samples) {
        // A sample from after `nowMs` has a wrapped, huge age and is left out too.
        if (nowMs - s.timeMs <= maxAge) {
            sum += s.value;
            ++n;
        }
    }
    return n == 0 ? 0.0 : sum / double(n);
}
