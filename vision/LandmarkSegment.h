#pragma once

#include "vision/FaceShape.h"

#include <opencv2/core/types.hpp>

#include <vector>

// One line of the preview annotation.
struct LandmarkSegment
{
    cv::Point from;
    cv::Point to;
};

// The brows and the outer and inner lip outlines of a 68-point shape, as line segments; none
// for an incomplete shape.
std::vector<LandmarkSegment> landmark_segments_basic(const FaceShape &shape);
