#include "vision/LevelHistogram.h"

#include "core/Clock.h"

#include <algorithm>

namespace {
struct Seeds
{
    char kind;
    int minSeen, maxSeen, clampLo, clampHi;
};

// The starting range of each measurement before it has learnt the user's.
constexpr Seeds kSeeds[] = {
    {'w', 35, 40, 28, 100}, // mouth width / eye span
    {'j', 23, 27, 28, 100}, // mouth width / jaw span
    {'l', 50, 55, 5, 100},  // mouth-corner lift
    {'e', 25, 30, 1, 100},  // eye closure
    {'m', 1, 10, 0, 99},    // mouth opening
    {'r', 25, 30, 1, 100},  // eyebrow raise
};
} // namespace

void LevelHistogram::init(char kind)
{
    const Seeds *seeds = &kSeeds[3];
    for (const Seeds &s : kSeeds) {
        if (s.kind == kind)
            seeds = &s;
    }
    kindLetter = seeds->kind;
    minValue = seeds->minSeen;
    maxValue = seeds->maxSeen;
    clampLo = seeds->clampLo;
    clampHi = seeds->clampHi;
    bins.fill(0);
    peak = 0;
    count = 0;
    p2_5 = 0;
    p97_5 = 0;
    lastRecomputeMs = currentTimeMs32();
}

void LevelHistogram::add(int value)
{
    if (value <= 0 || count >= kCountLimit)
        return;
    value = std::clamp(value, clampLo, clampHi);
    ++bins[value];
    ++count;
    minValue = std::min(minValue, value);
    maxValue = std::max(maxValue, value);
    if (bins[value] > bins[peak] || (bins[value] == bins[peak] && value < peak))
        peak = value;
    if (count < kReadySamples)
        return;
    const quint32 now = currentTimeMs32();
    if (elapsedMs(now, lastRecomputeMs) < kRecomputeIntervalMs)
        return;
    lastRecomputeMs = now;
    recomputePercentiles();
}

void LevelHistogram::recomputePercentiles()
{
    p2_5 = 0;
    p97_5 = 0;
    const double unit = count / 100;
    int sum = 0;
    for (int bin = kBinCount - 1; bin >= 0; --bin) {
        sum += bins[bin];
        if (p97_5 == 0 && sum >= unit * 2.5)
            p97_5 = bin;
        if (p2_5 == 0 && sum >= unit * 97.5)
            p2_5 = bin;
    }
    if (p2_5 == 0)
        p2_5 = minValue;
    if (p97_5 == 0)
        p97_5 = maxValue;
}

bool LevelHistogram::addGated(int value, double unreliability, int actionCount)
{
    if (count >= kGatedSampleLimit || unreliability >= kUnreliabilityLimit ||
        actionCount >= kActionLimit)
        return false;
    add(value);
    return true;
}

double LevelHistogram::level(double value) const
{
    if (value <= 0.0 || count < kReadySamples)
        return 0.0;
    const double lo = p2_5 > 0 ? p2_5 : minValue;
    const double hi = p97_5 > 0 ? p97_5 : maxValue;
    if (hi - lo <= 0.0)
        return 0.0;
    return std::clamp((value - lo) * 100.0 / (hi - lo), 0.0, 100.0);
}
