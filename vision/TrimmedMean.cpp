#include "vision/TrimmedMean.h"

#include <algorithm>

namespace {

// Longest first; equal lengths keep their order.
std::vector<cv::Point2f> sortedByLength(const std::vector<cv::Point2f> &shifts)
{
    std::vector<cv::Point2f> sorted = shifts;
    std::stable_sort(sorted.begin(), sorted.end(), [](const cv::Point2f &a, const cv::Point2f &b) {
        return a.dot(a) > b.dot(b);
    });
    return sorted;
}

cv::Point2d meanOfRange(const std::vector<cv::Point2f> &sorted, size_t dropLong, size_t dropShort)
{
    if (dropLong + dropShort >= sorted.size())
        return {};
    cv::Point2d sum;
    const size_t end = sorted.size() - dropShort;
    for (size_t i = dropLong; i < end; ++i)
        sum += cv::Point2d(sorted[i]);
    return sum / double(end - dropLong);
}

size_t portion(size_t count, double fraction)
{
    return size_t(double(count) * fraction);
}

} // namespace

cv::Point2d trimmedMeanDisplacement(const std::vector<cv::Point2f> &shifts, double fraction,
                                    TrimMode mode)
{
    const std::vector<cv::Point2f> sorted = sortedByLength(shifts);
    const size_t k = portion(sorted.size(), fraction);
    switch (mode) {
    case TrimMode::Longest:
        return meanOfRange(sorted, k, 0);
    case TrimMode::Shortest:
        return meanOfRange(sorted, 0, k);
    case TrimMode::Both:
        return meanOfRange(sorted, k, k);
    }
    return {};
}

cv::Point2d trimmedMeanDisplacement2(const std::vector<cv::Point2f> &shifts, double shortFraction,
                                     double longFraction)
{
    const std::vector<cv::Point2f> sorted = sortedByLength(shifts);
    return meanOfRange(sorted, portion(sorted.size(), longFraction),
                       portion(sorted.size(), shortFraction));
}

std::array<cv::Point2d, FrameDetection::TrimmedShiftCount>
regionTrimmedShifts(const std::vector<cv::Point2f> &shifts)
{
    return {
        trimmedMeanDisplacement(shifts, 0.25, TrimMode::Longest),
        trimmedMeanDisplacement(shifts, 0.5, TrimMode::Longest),
        trimmedMeanDisplacement(shifts, 0.75, TrimMode::Longest),
        trimmedMeanDisplacement(shifts, 0.25, TrimMode::Shortest),
        trimmedMeanDisplacement(shifts, 0.5, TrimMode::Shortest),
        trimmedMeanDisplacement(shifts, 0.75, TrimMode::Shortest),
        trimmedMeanDisplacement(shifts, 0.1, TrimMode::Both),
        trimmedMeanDisplacement(shifts, 0.2, TrimMode::Both),
        trimmedMeanDisplacement(shifts, 0.3, TrimMode::Both),
        trimmedMeanDisplacement2(shifts, 0.1, 0.65),
    };
}
