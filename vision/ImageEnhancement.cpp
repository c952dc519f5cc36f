#include "vision/ImageEnhancement.h"

#include "vision/Clahe.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace {
// Built-in values that no setting changes.
constexpr int kBacklightLevel = 40;
constexpr double kClaheClipLimit = 3.0;
constexpr int kClaheGridQuarter = 2;

// log(1 + v) of each grey value in floats, as the per-pixel stretch computes it.
cv::Mat logOfGreyValues()
{
    cv::Mat values(1, 256, CV_8U);
    for (int v = 0; v < 256; ++v)
        values.at<uchar>(v) = uchar(v);
    cv::Mat logs;
    values.convertTo(logs, CV_32F, 1.0, 1.0);
    cv::log(logs, logs);
    return logs;
}

// The logarithm stretched to 0..255 over the image's range, pixel by pixel in floats.
void logStretchPerPixel(cv::Mat &image)
{
    cv::Mat f;
    image.convertTo(f, CV_32F, 1.0, 1.0);
    cv::log(f, f);
    // A flat image has no range: min-max normalisation makes it all zeros.
    cv::normalize(f, f, 0.0, 255.0, cv::NORM_MINMAX);
    f.convertTo(image, CV_8U);
}

// The same stretch as a table over the 256 grey values, a fraction of the work: the
// logarithm rises with the value, so the image's darkest and brightest pixels bound its range
// of logarithms, and the table's values between them have the same range.
void logStretch(cv::Mat &image)
{
    static const cv::Mat logs = logOfGreyValues();
    static const bool rising = [] {
        for (int v = 1; v < 256; ++v)
            if (!(logs.at<float>(v) > logs.at<float>(v - 1)))
                return false;
        return true;
    }();
    if (!rising) {
        logStretchPerPixel(image);
        return;
    }
    double lowest = 0.0, highest = 0.0;
    cv::minMaxIdx(image, &lowest, &highest);
    const int low = int(lowest), high = int(highest);
    cv::Mat range = logs.colRange(low, high + 1).clone();
    cv::normalize(range, range, 0.0, 255.0, cv::NORM_MINMAX);
    cv::Mat table(1, 256, CV_8U, cv::Scalar(0));
    cv::Mat used = table.colRange(low, high + 1);
    range.convertTo(used, CV_8U);
    cv::LUT(image, table, image);
}
} // namespace

int enhancementFlags(bool defaultImgProc, bool logOn, bool fineContrast, bool coarseContrast,
                     bool backlight, int backlightLevel, bool *useDefaults)
{
    if (useDefaults)
        *useDefaults = defaultImgProc;
    if (defaultImgProc)
        return EnhanceFlags::LogStretch | EnhanceFlags::Clahe;
    int flags = 0;
    if (logOn)
        flags |= EnhanceFlags::LogStretch;
    if (fineContrast)
        flags |= EnhanceFlags::Clahe;
    if (coarseContrast)
        flags |= EnhanceFlags::Equalise;
    if (backlight && backlightLevel != 0 && backlightLevel != 100)
        flags |= EnhanceFlags::Gamma;
    return flags;
}

void adjustGamma(const cv::Mat &source, cv::Mat &destination, double exponent)
{
    cv::Mat table(1, 256, CV_8U);
    for (int i = 0; i < 256; ++i) {
        const double v = std::round(std::pow(i / 255.0, exponent) * 255.0);
        table.at<uchar>(i) = uchar(std::clamp(v, 0.0, 255.0));
    }
    cv::LUT(source, table, destination);
}

void preprocessFrame(cv::Mat &image, int flags, bool useDefaults)
{
    if (image.empty() || image.type() != CV_8UC1)
        return;
    if (flags & EnhanceFlags::Gamma)
        adjustGamma(image, image, kBacklightLevel / 100.0);
    if (flags & EnhanceFlags::LogStretch)
        logStretch(image);
    if (flags & EnhanceFlags::Clahe) {
        const double clip = useDefaults ? 3.0 : kClaheClipLimit;
        const int grid = useDefaults ? 8 : 4 * kClaheGridQuarter;
        equaliseContrastLimited(image, clip, cv::Size(grid, grid));
    }
    if (flags & EnhanceFlags::Equalise)
        cv::equalizeHist(image, image);
}
