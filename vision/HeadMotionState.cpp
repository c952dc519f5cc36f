#include "vision/HeadMotionState.h"

#include <utility>

void resetHeadMotionState(HeadMotionState &record, quint32 timeMs, cv::Point cursor)
{
    TimeWindowSeries seriesX = std::move(record.absoluteSeriesX);
    TimeWindowSeries seriesY = std::move(record.absoluteSeriesY);
    record = HeadMotionState();
    record.absoluteSeriesX = std::move(seriesX);
    record.absoluteSeriesY = std::move(seriesY);
    record.timeMs = timeMs;
    record.cursorAtFrameStart = cursor;
}

void clearLipAndBrowMotion(HeadMotionState &record)
{
    record.lipShift = {};
    record.lipRelShift = {};
    record.lipRelShiftSum = {};
    record.lipRelShiftSumLength = 0.0;
    record.lipMotion = 0.0;
    record.lipMotionSmoothed = 0.0;
    record.lipMotionSlow = 0.0;
    record.browShiftLeft = {};
    record.browShiftLeftLength = 0.0;
    record.browShiftRight = {};
    record.browShiftRightLength = 0.0;
    record.browMotion = 0.0;
    record.browMotionPct = 0.0;
    record.browMotionSmoothed = 0.0;
    record.browMotionSlow = 0.0;
}
