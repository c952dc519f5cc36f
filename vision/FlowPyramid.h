#pragma once

#include <opencv2/core/mat.hpp>
#include <opencv2/core/types.hpp>

#include <cstdint>
#include <vector>

// An image pyramid for OpenCV's pyramidal optical flow whose derivative levels are worked out
// only where the flow reads them. OpenCV's own pyramid with derivatives works out the Scharr
// derivatives of every pixel of every level; the flow reads them only around the points it
// follows from this image, a few dozen windows of the face. Where it reads, the derivatives
// are OpenCV's to the bit, so the flow finds the same points.
class FlowPyramid
{
public:
    // `image` (8-bit, one channel) and its smaller levels, bordered as the flow needs for its
    // `window`.
    FlowPyramid(const cv::Mat &image, cv::Size window, int maxLevel);

    // The levels without derivatives: the pyramid the flow follows points into.
    const std::vector<cv::Mat> &images() const { return levels; }
    // The pyramid with a derivative level after each image level, laid out as OpenCV's
    // buildOpticalFlowPyramid makes it, its derivatives worked out around each of `points`
    // at every level as far as the flow's window reaches (outside them they are undefined).
    // For following `points` from this image.
    const std::vector<cv::Mat> &withDerivativesAround(const std::vector<cv::Point2f> &points);

private:
    void derive(int level, const cv::Rect &area);
    void deriveArea(int level, const cv::Rect &area);

    cv::Size window;
    std::vector<cv::Mat> levels;
    std::vector<cv::Mat> derivatives;
    // Per level, which blocks of derivatives are worked out.
    std::vector<std::vector<bool>> derived;
    std::vector<int> blocksAcross;
    std::vector<cv::Mat> interleaved;
    // One row of the vertical pass.
    std::vector<std::int16_t> smooth, diff;
};
