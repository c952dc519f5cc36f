#pragma once

#include "vision/FlowPyramid.h"

#include <opencv2/core/mat.hpp>
#include <opencv2/core/types.hpp>

#include <memory>
#include <vector>

// One part of the face whose corner features are followed by optical flow from the previous
// frame to the current one: region 0 mid face (drives the pointer and carries the face between
// detections), region 1 the chin, region 2 the forehead. FaceTracker does the work.
struct FeatureRegionTracker
{
    static constexpr int kWindowSize = 21;
    static constexpr int kPyramidLevels = 3;

    explicit FeatureRegionTracker(int id = 0)
        : id(id)
    {}

    // Forgets everything: the face must be found afresh or the frame size changed.
    void reset();
    // Clears what belongs to one frame only.
    void clearFrame();

    int id;
    // Where features were last seeded, and the mask built from it.
    cv::Rect maskRect;
    cv::Mat mask;
    // The previous frame's pyramid, shared by the regions that follow from it.
    std::shared_ptr<FlowPyramid> previousPyramid;
    std::vector<cv::Point2f> previousPoints;
    std::vector<cv::Point2f> nextPoints;
    // Whole pixels of the mean shift plus the carried fractions, consumed when the face box is
    // moved without a detection.
    cv::Point integerShift;
    // What the truncation dropped, carried into the next frame so integer shifts add up.
    cv::Point2d carriedFraction;
    // Mean shift of the kept features this frame.
    cv::Point2d meanShift;
    // One shift per kept feature.
    std::vector<cv::Point2f> shiftList;
};
