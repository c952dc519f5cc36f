#pragma once

#include <QString>
#include <QtGlobal>

#include <opencv2/core/types.hpp>

// The frame loop's small decisions, kept apart so they can be checked on their own.
namespace FrameLoopRules {

// Milliseconds between frames at a rate; a rate of 0 or less counts as 32 frames a second.
int framePeriodMs(int framesPerSecond);
// What to sleep after a pass that took `elapsedMs`: never negative, never over one period.
int pacingSleepMs(int periodMs, qint64 elapsedMs);
// The size the frame is processed at: its smaller side becomes `targetMinSide`. A target
// below 16, or a frame with no pixels, leaves the size as it is.
cv::Size processingSize(cv::Size frame, int targetMinSide);

struct FaceStatus
{
    bool detected = false; // a detector found the face this frame
    bool boxed = false;    // a face box is in use (detected or followed)
    double lipMotionSmoothed = 0.0;
    double lipMotionSlow = 0.0;
};
// The face notifier's image; every frame starts from "invisible.png".
QString faceStatusImage(const FaceStatus &status, bool showDetected, bool showNotDetected);
// The smile notifier's image for a level against the threshold.
QString smileStatusImage(double smileLevel, int threshold);
// The scroll notifier's image for a scroll offset.
QString scrollStatusImage(int offset);
// The motion notifier's image while scrolling: the park progress as a ring of dots.
QString scrollMotionImage(bool parked, float parkPercent);

} // namespace FrameLoopRules
