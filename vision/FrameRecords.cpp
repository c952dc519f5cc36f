#include "vision/FrameRecords.h"

FrameRecords frameRecords;

void FrameRecords::shift()
{
    beforePreviousDetection = previousDetection;
    previousDetection = detection;
    previousMetrics = metrics;
    previousMotion = motion;
}

void FrameRecords::clear()
{
    resetFrameDetection(detection);
    resetFrameDetection(previousDetection);
    resetFacialMetrics(metrics);
    resetFacialMetrics(previousMetrics);
    seen = FaceSeenTimes();
}
