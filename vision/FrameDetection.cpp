#include "vision/FrameDetection.h"

#include "core/Clock.h"

void resetFrameDetection(FrameDetection &record)
{
    // Keep the point vector's storage: this runs on every frame.
    FaceShape shape = std::move(record.landmarks);
    resetShape(shape);
    record = FrameDetection();
    record.landmarks = std::move(shape);
    record.frameTimeMs = currentTimeMs32();
}
