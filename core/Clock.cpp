#include "core/Clock.h"

#include <atomic>
#include <chrono>

namespace {
// Keeps the clock's low 32 bits well away from zero at start.
constexpr qint64 kOffsetMs = 4'000'000'000LL;

std::atomic<bool> fakeActive{false};
std::atomic<qint64> fakeNow{0};
} // namespace

qint64 currentTimeMs()
{
    if (fakeActive.load(std::memory_order_acquire))
        return fakeNow.load(std::memory_order_acquire);
    using namespace std::chrono;
    return kOffsetMs + duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

FakeClock::FakeClock(qint64 startMs)
{
    fakeNow.store(startMs);
    fakeActive.store(true, std::memory_order_release);
}

FakeClock::~FakeClock()
{
    fakeActive.store(false, std::memory_order_release);
}

void FakeClock::set(qint64 ms)
{
    fakeNow.store(ms);
}

void FakeClock::advance(qint64 ms)
{
    fakeNow.fetch_add(ms);
}

qint64 FakeClock::now() const
{
    return fakeNow.load();
}
