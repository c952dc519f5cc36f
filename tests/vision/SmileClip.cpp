#include "tests/vision/SmileClip.h"

#include "vision/FaceBox.h"
#include "vision/FaceShape.h"
#include "vision/FaceTracker.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <algorithm>
#include <cmath>

namespace {

// The photo fitted into the frame, as writeFaceClip places it.
cv::Mat fitted(const cv::Mat &photo, cv::Size size)
{
    const double fit = std::min(double(size.width) / photo.cols, double(size.height) / photo.rows);
    const cv::Point2f centre(photo.cols / 2.0f, photo.rows / 2.0f);
    cv::Mat m = cv::getRotationMatrix2D(centre, 0.0, fit);
    m.at<double>(0, 2) += size.width / 2.0 - centre.x;
    m.at<double>(1, 2) += size.height / 2.0 - centre.y;
    cv::Mat frame;
    cv::warpAffine(photo, frame, m, size, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
    return frame;
}

// Landmarks 48 and 54, the mouth corners.
bool mouthCorners(const cv::Mat &frame, cv::Point2d &left, cv::Point2d &right)
{
    FaceTracker tracker;
    if (!tracker.isReady())
        return false;
    cv::Mat grey;
    cv::cvtColor(frame, grey, cv::COLOR_BGR2GRAY);
    FaceBox whole;
    whole.left = 0;
    whole.top = 0;
    whole.right = grey.cols - 1;
    whole.bottom = grey.rows - 1;
    FaceShape previous, shape;
    FaceBox detected, box;
    if (!tracker.track(grey, whole, previous, true, false, detected, box, shape) ||
        !shape.isComplete())
        return false;
    left = cv::Point2d(shape.points[48]);
    right = cv::Point2d(shape.points[54]);
    return true;
}

// Each corner pulled outward by 16 % of the mouth's width and up by 8 %, fading out over
// about a third of the width around it.
cv::Mat smiling(const cv::Mat &frame, cv::Point2d left, cv::Point2d right, double amount)
{
    if (amount <= 0.0)
        return frame.clone();
    const double width = std::hypot(right.x - left.x, right.y - left.y);
    const cv::Point2d centre = (left + right) * 0.5;
    const double sigma = width * 0.35;
    struct Pull
    {
        cv::Point2d at, by;
    };
    Pull pulls[2];
    int i = 0;
    for (const cv::Point2d &corner : {left, right}) {
        cv::Point2d out = corner - centre;
        out *= 1.0 / std::max(1.0, std::hypot(out.x, out.y));
        const cv::Point2d by = (out * 0.16 + cv::Point2d(0.0, -0.08)) * width * amount;
        pulls[i++] = {corner + by, by};
    }
    cv::Mat mapX(frame.size(), CV_32F), mapY(frame.size(), CV_32F);
    for (int y = 0; y < frame.rows; ++y) {
        for (int x = 0; x < frame.cols; ++x) {
            cv::Point2d source(x, y);
            for (const Pull &p : pulls) {
                const double dx = x - p.at.x, dy = y - p.at.y;
                source -= p.by * std::exp(-(dx * dx + dy * dy) / (2.0 * sigma * sigma));
            }
            mapX.at<float>(y, x) = float(source.x);
            mapY.at<float>(y, x) = float(source.y);
        }
    }
    cv::Mat out;
    cv::remap(frame, out, mapX, mapY, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
    return out;
}

} // namespace

bool writeSmileClip(const QString &photoPath, const QString &clipPath, int frames,
                    const std::function<double(double seconds)> &smile)
{
    const cv::Size size(640, 480);
    const double fps = 30.0;
    const cv::Mat photo = cv::imread(photoPath.toStdString());
    if (photo.empty())
        return false;
    const cv::Mat neutral = fitted(photo, size);
    cv::Point2d left, right;
    if (!mouthCorners(neutral, left, right))
        return false;
    cv::VideoWriter writer(clipPath.toStdString(), cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), fps,
                           size);
    if (!writer.isOpened())
        return false;
    for (int i = 0; i < frames; ++i)
        writer.write(smiling(neutral, left, right, smile(i / fps)));
    return true;
}
