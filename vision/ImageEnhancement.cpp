#include "vision/ImageEnhancement.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace {
// Built-in values that no setting changes.
constexpr int kBacklightLevel = 40;
constexpr double kClaheClipLimit = 3.0;
constexpr int kClaheGridQuarter = 2;
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
    if (flags & EnhanceFlags::LogStretch) {
        cv::Mat f;
        image.convertTo(f, CV_32F, 1.0, 1.0);
        cv::log(f, f);
        // A flat image has no range: min-max normalisation makes it all zeros.
        cv::normalize(f, f, 0.0, 255.0, cv::NORM_MINMAX);
        f.convertTo(image, CV_8U);
    }
    if (flags & EnhanceFlags::Clahe) {
        const double clip = useDefaults ? 3.0 : kClaheClipLimit;
        const int grid = useDefaults ? 8 : 4 * kClaheGridQuarter;
        cv::Ptr<cv::CLAHE> clahe = cv::createCLAHE(40.0, cv::Size(8, 8));
        clahe->setClipLimit(clip);
        clahe->setTilesGridSize(cv::Size(grid, grid));
        clahe->apply(image, image);
    }
    if (flags & EnhanceFlags::Equalise)
        cv::equalizeHist(image, image);
}
