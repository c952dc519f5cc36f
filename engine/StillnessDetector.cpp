#include "engine/StillnessDetector.h"

StillnessDetector alwaysOnDetector;
StillnessDetector alwaysOnAbsoDetector;
StillnessDetector holdHeadSteadyDetector;

namespace {
bool withinThreshold(int threshold, double x, double y)
{
    const double limit = double(threshold) * double(threshold);
    return limit >= x * x + y * y;
}
} // namespace

void setStillnessDetector(StillnessDetector &detector, int threshold, const QString &name)
{
    clearStillnessDetector(detector);
    detector.threshold = threshold;
    detector.name = name;
}

void clearStillnessDetector(StillnessDetector &detector)
{
    detector.stillSinceMs = 0;
    detector.lastStillMs = 0;
    detector.stillDurationMs = 0;
    detector.brokeOut = false;
    detector.isStill = false;
}

void updateStillnessDetector(StillnessDetector &d, double velocityX, double velocityY,
                             double previousVelocityX, double previousVelocityY, quint32 nowMs)
{
    const bool nowStill = withinThreshold(d.threshold, velocityX, velocityY);
    const bool wasStill = withinThreshold(d.threshold, previousVelocityX, previousVelocityY);
    if (wasStill) {
        if (d.stillSinceMs == 0)
            d.stillSinceMs = nowMs;
        d.stillDurationMs = nowMs - d.stillSinceMs;
        d.lastStillMs = nowMs;
        d.brokeOut = !nowStill;
        d.isStill = nowStill;
    } else if (nowStill) {
        // A still period begins; its duration is measured from the next frame on.
        d.stillSinceMs = nowMs;
        d.brokeOut = false;
        d.isStill = true;
    } else {
        d.brokeOut = false;
        d.isStill = false;
    }
}
