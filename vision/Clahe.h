#pragma once

#include <opencv2/core/mat.hpp>

// Contrast-limited adaptive histogram equalisation of an 8-bit one-channel image: the same
// pixels as OpenCV's CLAHE for the same clip limit and grid, to the last bit, in about a third
// of its time (it runs on every frame that looks at a face). `image` may be a region of a
// larger image; it is changed in place.
void equaliseContrastLimited(cv::Mat &image, double clipLimit, cv::Size grid);
