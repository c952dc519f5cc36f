#pragma once

#include "vision/FaceBox.h"

#include <opencv2/core/types.hpp>

#include <vector>

// The fitted face: the box the landmarks were fitted in and the landmark points, numbered
// in the 68-point scheme (0-16 jaw, 17-26 brows, 27-35 nose, 36-47 eyes, 48-67 lips).
struct FaceShape
{
    static constexpr int kPointCount = 68;

    FaceBox box;
    std::vector<cv::Point> points;

    // Only a full 68-point shape can be measured or drawn.
    bool isComplete() const { return points.size() == size_t(kPointCount); }
};

// Empty box, no points.
void resetShape(FaceShape &shape);
// Moves the box and every point by a whole-pixel offset.
void translateShape(FaceShape &shape, int dx, int dy);
