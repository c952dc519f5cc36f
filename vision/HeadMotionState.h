#pragma once

#include "vision/TimeWindowSeries.h"

#include <QtGlobal>

#include <opencv2/core/types.hpp>

#include <array>

// Head motion, lip and brow motion relative to the head, and the pointer inputs of one
// frame (px: pixels of the processed image; %H: percent of the face box height). The frame
// loop keeps a current and a previous copy.
struct HeadMotionState
{
    // Spans of `headSpeedMean` and `absolutePositionMean`.
    static constexpr std::array<quint32, 4> kHeadSpeedSpansMs{125, 250, 500, 1000};
    static constexpr std::array<quint32, 3> kAbsoluteSpansMs{125, 250, 500};

    quint32 timeMs = 0;
    double frameIntervalMs = 60.0;
    double captureIntervalMs = 0.0;
    // Region-0 shift in px and its length; zero when rejected as a jump.
    cv::Point2d headShift;
    double headShiftLength = 0.0;
    // px per second.
    cv::Point2d headVelocity;
    // Change of the smoothed nose tip (landmark 33).
    cv::Point2d noseShift;
    // The trimmed shift that drives the pointer, and its velocity.
    cv::Point2d pointerShift;
    cv::Point2d pointerVelocity;
    // The head-motion input of the stillness detectors and the pointer motion.
    cv::Point2d smoothedPointerVelocity;
    // Velocity scaled to an eye span of 45 px.
    cv::Point2d normalisedVelocity;
    cv::Point2d smoothedNormalisedVelocity;
    // Pointer position when the frame started.
    cv::Point cursorAtFrameStart;

    cv::Point2d lipShift;
    cv::Point2d lipRelShift;
    cv::Point2d lipRelShiftSum;
    double lipRelShiftSumLength = 0.0;
    double lipMotion = 0.0;
    double lipMotionSmoothed = 0.0;
    double lipMotionSlow = 0.0;
    cv::Point2d browShiftLeft;
    double browShiftLeftLength = 0.0;
    cv::Point2d browShiftRight;
    double browShiftRightLength = 0.0;
    double browMotion = 0.0;
    double browMotionPct = 0.0;
    double browMotionSmoothed = 0.0;
    double browMotionSlow = 0.0;
    cv::Point2d bridgeRelShift;
    double bridgeMotion = 0.0;
    double bridgeMotionSmoothed = 0.0;
    double bridgeMotionSlow = 0.0;

    int headShiftX20 = 0;
    int headShiftY20 = 0;
    double headSpeed = 0.0;
    std::array<double, 4> headSpeedMean{};
    // Running sum of `pointerShift` in absolute mode.
    cv::Point2d absolutePosition;
    std::array<cv::Point2d, 3> absolutePositionMean{};
    TimeWindowSeries absoluteSeriesX;
    TimeWindowSeries absoluteSeriesY;
};

// Start-of-frame reset: zeroes every value except the two series, stores the frame time and
// the pointer position, and sets `frameIntervalMs` to 60.
void resetHeadMotionState(HeadMotionState &record, quint32 timeMs, cv::Point cursor = {});
// Zeroes the lip and brow motion (frames that do not follow on).
void clearLipAndBrowMotion(HeadMotionState &record);
