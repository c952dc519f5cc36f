#include "tracking/FrameLoopRules.h"

#include <QtMath>

#include <cmath>

namespace FrameLoopRules {

int framePeriodMs(int framesPerSecond)
{
    return 1000 / (framesPerSecond > 0 ? framesPerSecond : 32);
}

int pacingSleepMs(int periodMs, qint64 elapsedMs)
{
    if (periodMs <= 0 || elapsedMs >= periodMs)
        return 0;
    return int(qBound<qint64>(0, periodMs - elapsedMs, periodMs));
}

cv::Size processingSize(cv::Size frame, int targetMinSide)
{
    const int minSide = qMin(frame.width, frame.height);
    if (minSide <= 0 || targetMinSide < 16 || minSide == targetMinSide)
        return frame;
    const double scale = double(targetMinSide) / minSide;
    return cv::Size(int(std::lround(frame.width * scale)), int(std::lround(frame.height * scale)));
}

QString faceStatusImage(const FaceStatus &s, bool showDetected, bool showNotDetected)
{
    QString image = QStringLiteral("invisible.png");
    if (showDetected) {
        if (s.detected)
            image = QStringLiteral("faceGreen.png");
        else if (s.boxed)
            image = (s.lipMotionSmoothed < 2.0 && s.lipMotionSlow < 2.0)
                        ? QStringLiteral("faceGreen.png")
                        : QStringLiteral("faceRed.png");
    }
    if (showNotDetected && !s.detected && !s.boxed)
        image = QStringLiteral("faceNotFound.png");
    return image;
}

QString smileStatusImage(double smileLevel, int threshold)
{
    // A threshold of 100 (or more) leaves no range above it: nothing to show.
    const int span = 100 - threshold;
    if (span <= 0)
        return QStringLiteral("invisible.png");
    const double v = (smileLevel - threshold) * 5.0 / span;
    const int k = v > 0 ? int(v) + 1 : 0;
    if (k == 0)
        return QStringLiteral("invisible.png");
    return QStringLiteral("Smile%1.png").arg(qMin(k, 5));
}

QString scrollStatusImage(int offset)
{
    if (offset > 0)
        return QStringLiteral("ScrollUp200.png");
    if (offset < 0)
        return QStringLiteral("ScrollDown200.png");
    return QStringLiteral("invisible.png");
}

QString scrollMotionImage(bool parked, float parkPercent)
{
    if (!parked)
        return QStringLiteral("d20.png");
    const int n = int(std::lround(parkPercent / 5.0));
    if (n >= 19)
        return QStringLiteral("invisible.png");
    return QStringLiteral("dd%1.png").arg(qMax(0, n));
}

} // namespace FrameLoopRules
