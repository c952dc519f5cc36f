#pragma once

#include <QtGlobal>

// The program's millisecond clock: monotonic, and far from zero so that records holding its
// low 32 bits never see a start near 0. Intervals are unsigned 32-bit differences of those
// low bits (see elapsedMs), which survive a wrap. Never use wall time or clock() for
// intervals.
qint64 currentTimeMs();

// The 32-bit form that per-frame records keep.
inline quint32 currentTimeMs32()
{
    return static_cast<quint32>(currentTimeMs());
}

// Milliseconds from `earlier` to `later`, both in the 32-bit form; correct across a wrap.
inline quint32 elapsedMs(quint32 later, quint32 earlier)
{
    return later - earlier;
}

// Replaces the clock for the lifetime of the object (tests). Not thread-safe to construct
// while other threads read the clock; reading and advancing it from any thread is safe.
class FakeClock
{
public:
    explicit FakeClock(qint64 startMs = 5'000'000'000LL);
    ~FakeClock();
    FakeClock(const FakeClock &) = delete;
    FakeClock &operator=(const FakeClock &) = delete;

    void set(qint64 ms);
    void advance(qint64 ms);
    qint64 now() const;
};
