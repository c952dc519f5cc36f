#pragma once

#include "vision/FrameDetection.h"

#include <opencv2/core/types.hpp>

#include <array>
#include <vector>

// Which end of the length-sorted shift list trimmedMeanDisplacement drops.
enum class TrimMode
{
    Longest = 0,
    Shortest = 1,
    Both = 2,
};

// Mean of the feature shifts after dropping trunc(count x fraction) of the longest, of the
// shortest, or of both; (0, 0) when nothing is left. Robust against a few points that slid
// off the face or stuck to the background.
cv::Point2d trimmedMeanDisplacement(const std::vector<cv::Point2f> &shifts, double fraction,
                                    TrimMode mode);
// Drops trunc(count x longFraction) of the longest and trunc(count x shortFraction) of the
// shortest (both counts from the whole list) and averages the rest.
cv::Point2d trimmedMeanDisplacement2(const std::vector<cv::Point2f> &shifts, double shortFraction,
                                     double longFraction);
// The ten trimmed means of FrameDetection::trimmedShift, in its order.
std::array<cv::Point2d, FrameDetection::TrimmedShiftCount>
regionTrimmedShifts(const std::vector<cv::Point2f> &shifts);
