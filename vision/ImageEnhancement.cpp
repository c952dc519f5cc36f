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

// The logarithm rises with the value, so the image's darkest and brightest pixels bound its
// range of logarithms, and the stretch is a table over the 256 grey values; false if this
// library's logarithm does not rise.
bool logTableRises()
{
    static const bool rising = [] {
        const cv::Mat logs = logOfGreyValues();
        for (int v = 1; v < 256; ++v)
            if (!(logs.at<float>(v) > logs.at<float>(v - 1)))
                return false;
        return true;
    }();
    return rising;
}

// The stretch's table for an image whose values span lowest..highest; the values outside are
// not in the image.
void logStretchTable(int lowest, int highest, uchar *table)
{
    static const cv::Mat logs = logOfGreyValues();
    cv::Mat range = logs.colRange(lowest, highest + 1).clone();
    cv::normalize(range, range, 0.0, 255.0, cv::NORM_MINMAX);
    cv::Mat used(1, highest - lowest + 1, CV_8U, table + lowest);
    range.convertTo(used, CV_8U);
}

// The same stretch as the pixel-by-pixel one, a fraction of the work.
void logStretch(cv::Mat &image)
{
    if (!logTableRises()) {
        logStretchPerPixel(image);
        return;
    }
    double lowest = 0.0, highest = 0.0;
    cv::minMaxIdx(image, &lowest, &highest);
    cv::Mat table(1, 256, CV_8U, cv::Scalar(0));
    logStretchTable(int(lowest), int(highest), table.ptr<uchar>());
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
    const bool clahe = flags & EnhanceFlags::Clahe;
    // Stretched and equalised in one pass, as the built-in processing does on every frame.
    const bool stretchInClahe = clahe && (flags & EnhanceFlags::LogStretch) && logTableRises();
    if ((flags & EnhanceFlags::LogStretch) && !stretchInClahe)
        logStretch(image);
    if (clahe) {
        const double clip = useDefaults ? 3.0 : kClaheClipLimit;
        const int grid = useDefaults ? 8 : 4 * kClaheGridQuarter;
        equaliseContrastLimited(image, clip, cv::Size(grid, grid),
                                stretchInClahe ? logStretchTable : nullptr);
    }
    if (flags & EnhanceFlags::Equalise)
        cv::equalizeHist(image, image);
}
