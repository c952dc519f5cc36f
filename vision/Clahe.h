#pragma once

#include <opencv2/core/mat.hpp>

// Contrast-limited adaptive histogram equalisation of an 8-bit one-channel image: the same
// pixels as OpenCV's CLAHE for the same clip limit and grid, to the last bit, in about a third
// of its time (it runs on every frame that looks at a face). `image` may be a region of a
// larger image; it is changed in place.
void equaliseContrastLimited(cv::Mat &image, double clipLimit, cv::Size grid);

// Fills `table` (one byte for each of the 256 grey values) from the image's darkest and
// brightest values.
using GreyValueMap = void (*)(int lowest, int highest, uchar *table);

// The same pixels as first replacing each pixel's value v by table[v], the table made by
// `mapFor` from the image's darkest and brightest values, and then equalising: one pass over the
// image fewer, since the tiles' histograms and tables take the mapping in.
void equaliseContrastLimited(cv::Mat &image, double clipLimit, cv::Size grid, GreyValueMap mapFor);
