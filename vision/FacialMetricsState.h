#pragma once

#include "vision/LevelHistogram.h"
#include "vision/TimeWindowSeries.h"

// What the facial measurements learn and remember across frames: one level histogram per
// measurement (the user's own ranges) and the head-speed samples. Owned by the frame loop.
class FacialMetricsState
{
public:
    FacialMetricsState() { startSession(); }

    // A new tracking session: every histogram starts learning afresh.
    void startSession();
    // Empties the head-speed samples (the pointer state was reset).
    void clearSeries() { headSpeedSeries.clear(); }

    // Mouth width / eye span ("w"); the detection schedule also asks whether it is ready.
    LevelHistogram mouthEyeRatio{'w'};
    // Mouth width / jaw span ("j").
    LevelHistogram mouthJawRatio{'j'};
    LevelHistogram cornerLift{'l'};
    LevelHistogram eyeClosure{'e'};
    LevelHistogram eyeClosureSmoothed{'e'};
    LevelHistogram lidToLipClosure{'e'};
    LevelHistogram mouthOpen{'m'};
    LevelHistogram browRaise{'r'};

    TimeWindowSeries headSpeedSeries;
    // Samples the gate kept out of the histograms.
    int skippedSamples = 0;
};
