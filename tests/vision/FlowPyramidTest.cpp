// The flow from a pyramid whose derivatives are worked out only where the flow reads them,
// against the flow from OpenCV's pyramid with every derivative.

#include "vision/FlowPyramid.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/video/tracking.hpp>

#include <gtest/gtest.h>

#include <cstring>

namespace {

template<typename T> bool sameBits(const std::vector<T> &a, const std::vector<T> &b)
{
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

// Random frames of any size, a second frame shifted from the first, and points anywhere: inside,
// near every edge, outside the frame; three sets followed from the same pyramid, as the face's
// regions are.
TEST(FlowPyramid, TheFlowFindsWhatItFindsWithEveryDerivativeOnRandomFrames)
{
    cv::RNG rng(73);
    for (int i = 0; i < 150; ++i) {
        const cv::Size size(1 + rng.uniform(0, i % 3 ? 160 : 760),
                            1 + rng.uniform(0, i % 3 ? 120 : 420));
        const cv::Size window(i % 4 ? 21 : 3 + 2 * rng.uniform(0, 11),
                              i % 4 ? 21 : 3 + 2 * rng.uniform(0, 11));
        const int levels = rng.uniform(0, 5);
        cv::Mat first(size, CV_8UC1);
        rng.fill(first, cv::RNG::UNIFORM, 0, 256);
        if (i % 2)
            cv::GaussianBlur(first, first, cv::Size(9, 9), 3.0);
        const cv::Mat shift =
            (cv::Mat_<double>(2, 3) << 1, 0, rng.uniform(-4.0, 4.0), 0, 1, rng.uniform(-4.0, 4.0));
        cv::Mat second;
        cv::warpAffine(first, second, shift, size, cv::INTER_LINEAR, cv::BORDER_REFLECT);

        std::vector<cv::Mat> full, next;
        cv::buildOpticalFlowPyramid(first, full, window, levels, true);
        cv::buildOpticalFlowPyramid(second, next, window, levels, false);
        FlowPyramid lazy(first, window, levels);
        const FlowPyramid into(second, window, levels);
        for (int set = 0; set < 3; ++set) {
            std::vector<cv::Point2f> points;
            const int count = rng.uniform(1, 40); // OpenCV refuses none
            for (int k = 0; k < count; ++k)
                points.emplace_back(rng.uniform(-30.0f, float(size.width) + 30.0f),
                                    rng.uniform(-30.0f, float(size.height) + 30.0f));
            const cv::TermCriteria until(cv::TermCriteria::COUNT | cv::TermCriteria::EPS, 10, 0.01);
            std::vector<cv::Point2f> expected, got;
            std::vector<uchar> expectedStatus, gotStatus;
            std::vector<float> expectedErrors, gotErrors;
            cv::calcOpticalFlowPyrLK(full, next, points, expected, expectedStatus, expectedErrors,
                                     window, levels, until, 0, 1e-4);
            cv::calcOpticalFlowPyrLK(lazy.withDerivativesAround(points), into.images(), points, got,
                                     gotStatus, gotErrors, window, levels, until, 0, 1e-4);
            ASSERT_TRUE(sameBits(got, expected) && sameBits(gotStatus, expectedStatus) &&
                        sameBits(gotErrors, expectedErrors))
                << size << " window " << window << " levels " << levels << " case " << i;
        }
    }
}

} // namespace
