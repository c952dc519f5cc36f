#pragma once

#include <opencv2/core/mat.hpp>

// The camera's frame turned the way the user sees it (mirrored left to right, flipped top to
// bottom, either or both), in the two forms the frame loop needs, each in one step from the
// grabbed pixels of 1, 3 (BGR) or 4 (BGRA) channels.

// The grey image the tracker looks at: the same pixels as converting the turned colour frame.
void mirroredGrey(const cv::Mat &grabbed, bool flipX, bool flipY, cv::Mat &grey);

// Four bytes a pixel, blue, green, red and 255, the order of the preview's 32-bit image.
// Writes a new buffer: the last one may still be on its way to the preview.
void mirroredPreviewPixels(const cv::Mat &grabbed, bool flipX, bool flipY, cv::Mat &bgra);
