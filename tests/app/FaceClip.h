#pragma once

#include <QString>

#include <functional>
#include <opencv2/core/mat.hpp>
#include <opencv2/core/types.hpp>

// Writes a clip for the file camera: 240 frames at 30 per second, 640 x 480 unless `size`
// says otherwise, of the photo fitted into the frame and shifted by `shift` (pixels, given the
// time in seconds), as a head moving before a webcam. False when the photo cannot be read or
// the clip written.
bool writeFaceClip(const QString &photoPath, const QString &clipPath,
                   const std::function<cv::Point2d(double seconds)> &shift,
                   cv::Size size = cv::Size(640, 480));

// The photo fitted into a 640 x 480 frame as the clips show it; empty when it cannot be read.
cv::Mat fittedFacePhoto(const QString &photoPath);
// Writes `frames` frames of `size` (BGR) for the file camera at 30 per second, each made by
// `frame` from its number.
bool writeClip(const QString &clipPath, int frames, const std::function<cv::Mat(int)> &frame,
               cv::Size size = cv::Size(640, 480));
