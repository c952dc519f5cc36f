#pragma once

#include <opencv2/core/mat.hpp>

// Enhancement of the grey processed frame before detection, so that faces in back light, low
// contrast or dim rooms still give stable landmarks.
namespace EnhanceFlags {
// Gamma correction with exponent 0.4 (BACKLIGHT).
constexpr int Gamma = 0x01;
// Contrast-limited adaptive histogram equalisation (FINE_CONTRAST).
constexpr int Clahe = 0x02;
// Global histogram equalisation (COARSE_CONTRAST).
constexpr int Equalise = 0x04;
// Logarithmic stretch (LOGON).
constexpr int LogStretch = 0x10;
} // namespace EnhanceFlags

// The flags for this frame's settings: log stretch and CLAHE with the built-in values when
// DEFAULT_IMGPROC is set (`useDefaults` then reads true); otherwise the chosen steps, gamma
// only with a backlight amount that is neither 0 nor 100.
int enhancementFlags(bool defaultImgProc, bool logOn, bool fineContrast, bool coarseContrast,
                     bool backlight, int backlightLevel, bool *useDefaults = nullptr);

// Enhances an 8-bit one-channel image in place: gamma, log stretch, CLAHE, equalisation, in
// that order, as the flags select. Other images are left untouched.
void preprocessFrame(cv::Mat &image, int flags, bool useDefaults);

// Maps every 8-bit sample through round(pow(i / 255, exponent) x 255); one or three channels.
void adjustGamma(const cv::Mat &source, cv::Mat &destination, double exponent);
