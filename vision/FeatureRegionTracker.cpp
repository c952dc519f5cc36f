#include "vision/FeatureRegionTracker.h"

void FeatureRegionTracker::reset()
{
    previousPyramid.reset();
    previousPoints.clear();
    nextPoints.clear();
    shiftList.clear();
    carriedFraction = {};
    integerShift = {};
    meanShift = {};
}

void FeatureRegionTracker::clearFrame()
{
    maskRect = {};
    nextPoints.clear();
    shiftList.clear();
    meanShift = {};
}
