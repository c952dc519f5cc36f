#include "tests/app/FaceClip.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <algorithm>

namespace {

constexpr double kFps = 30.0;

// The photo scaled to fit a frame of `size` and centred, moved by `offset`.
cv::Mat placed(const cv::Mat &photo, cv::Point2d offset, cv::Size size)
{
    const double fit = std::min(double(size.width) / photo.cols, double(size.height) / photo.rows);
    const cv::Point2f centre(photo.cols / 2.0f, photo.rows / 2.0f);
    cv::Mat m = cv::getRotationMatrix2D(centre, 0.0, fit);
    m.at<double>(0, 2) += size.width / 2.0 - centre.x + offset.x;
    m.at<double>(1, 2) += size.height / 2.0 - centre.y + offset.y;
    cv::Mat frame;
    cv::warpAffine(photo, frame, m, size, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
    return frame;
}

} // namespace

bool writeClip(const QString &clipPath, int frames, const std::function<cv::Mat(int)> &frame,
               cv::Size size)
{
    cv::VideoWriter writer(clipPath.toStdString(), cv::VideoWriter::fourcc('M', 'J', 'P', 'G'),
                           kFps, size);
    if (!writer.isOpened())
        return false;
    for (int i = 0; i < frames; ++i)
        writer.write(frame(i));
    return true;
}

bool writeFaceClip(const QString &photoPath, const QString &clipPath,
                   const std::function<cv::Point2d(double seconds)> &shift, cv::Size size)
{
    const cv::Mat photo = cv::imread(photoPath.toStdString());
    if (photo.empty())
        return false;
    return writeClip(
        clipPath, 240, [&](int i) { return placed(photo, shift(i / kFps), size); }, size);
}

cv::Mat fittedFacePhoto(const QString &photoPath)
{
    const cv::Mat photo = cv::imread(photoPath.toStdString());
    return photo.empty() ? cv::Mat() : placed(photo, {}, cv::Size(640, 480));
}
