#pragma once

#include <QtGlobal>

#include <deque>

// Timed samples of one value, oldest first, answering the mean over a recent span. Times are
// the low 32 bits of the millisecond clock; every age is an unsigned 32-bit difference, so a
// clock that wraps or starts near zero loses nothing it should keep.
class TimeWindowSeries
{
public:
    static constexpr quint32 kDefaultWindowMs = 10000;

    explicit TimeWindowSeries(quint32 windowMs = kDefaultWindowMs)
        : windowMs(windowMs)
    {}

    // Appends a sample and drops those more than the window older than it. A time that is
    // not newer than the newest sample is ignored: the first value for a time stays.
    void add(quint32 timeMs, double value);
    // Mean of the samples at most min(span, window) older than `nowMs`; 0.0 when none.
    double mean(quint32 spanMs, quint32 nowMs) const;
    void clear() { samples.clear(); }

    size_t size() const { return samples.size(); }
    bool isEmpty() const { return samples.empty(); }
    quint32 window() const { return windowMs; }

private:
    struct Sample
    {
        quint32 timeMs;
        double value;
    };

    std::deque<Sample> samples;
    quint32 windowMs;
};
