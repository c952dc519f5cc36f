#pragma once

#include <QtGlobal>

#include <array>

// An adaptive histogram that learns the user's own range of one measurement during the first
// part of a tracking session and maps values onto 0-100 between its 2.5 % and 97.5 % points.
class LevelHistogram
{
public:
    static constexpr int kBinCount = 300;
    // Fewer samples than this and every level reads 0.
    static constexpr int kReadySamples = 100;
    // Gated adds stop after this many samples.
    static constexpr int kGatedSampleLimit = 10000;
    // Counting stops here.
    static constexpr int kCountLimit = 32766;
    // The gate closes after this many user actions in a session.
    static constexpr int kActionLimit = 12;
    // The gate closes while the previous frame's unreliability is this or more.
    static constexpr double kUnreliabilityLimit = 0.2;
    // The percentiles are refreshed at most this often.
    static constexpr quint32 kRecomputeIntervalMs = 1000;

    LevelHistogram() { init('e'); }
    explicit LevelHistogram(char kind) { init(kind); }

    // Stores the kind and its seeds, empties the bins and restarts the refresh clock.
    // Kinds: 'w', 'j', 'l', 'e', 'm', 'r'.
    void init(char kind);
    // Counts a value (ignored when not positive), clamped into the kind's range.
    void add(int value);
    // Adds only while fewer than 10000 samples are counted, `unreliability` is below 0.2 and
    // the user has performed fewer than 12 actions; false when the sample was skipped.
    bool addGated(int value, double unreliability, int actionCount);
    // 0 to 100; 0 until ready, for values not above 0 and when the range is empty.
    double level(double value) const;
    bool ready() const { return count > kReadySamples - 1; }

    char kind() const { return kindLetter; }
    int sampleCount() const { return count; }
    int binCount(int value) const { return value >= 0 && value < kBinCount ? bins[value] : 0; }
    int peakBin() const { return peak; }
    int minSeen() const { return minValue; }
    int maxSeen() const { return maxValue; }
    int lowerPercentile() const { return p2_5; }
    int upperPercentile() const { return p97_5; }

private:
    void recomputePercentiles();

    char kindLetter = 'e';
    std::array<int, kBinCount> bins{};
    int peak = 0;
    int minValue = 0;
    int maxValue = 0;
    int clampLo = 0;
    int clampHi = 0;
    int count = 0;
    quint32 lastRecomputeMs = 0;
    int p2_5 = 0;
    int p97_5 = 0;
};
