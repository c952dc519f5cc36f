#include "tests/app/FaceClip.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <algorithm>

bool writeFaceClip(const QString &photoPath, const QString &clipPath,
                   const std::function<cv::Point2d(double seconds)> &shift)
{
    const cv::Size size(640, 480);
    const double fps = 30.0;
    const cv::Mat photo = cv::imread(photoPath.toStdString());
    if (photo.empty())
        return false;
    cv::VideoWriter writer(clipPath.toStdString(), cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), fps,
                           size);
    if (!writer.isOpened())
        return false;
    const double fit = std::min(double(size.width) / photo.cols, double(size.height) / photo.rows);
    const cv::Point2f centre(photo.cols / 2.0f, photo.rows / 2.0f);
    for (int i = 0; i < 240; ++i) {
        const cv::Point2d offset = shift(i / fps);
        cv::Mat m = cv::getRotationMatrix2D(centre, 0.0, fit);
        m.at<double>(0, 2) += size.width / 2.0 - centre.x + offset.x;
        m.at<double>(1, 2) += size.height / 2.0 - centre.y + offset.y;
        cv::Mat frame;
        cv::warpAffine(photo, frame, m, size, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
        writer.write(frame);
    }
    return true;
}
