#pragma once

#include "vision/FacialMetrics.h"
#include "vision/FrameDetection.h"
#include "vision/HeadMotionState.h"

#include <QtGlobal>

// When the expensive face detector runs. Between detections the face tracker carries the face
// with the landmark fit and optical flow; the schedule rests the detector for a second after
// each success, retries every 200 ms for five seconds after a loss, then once a second.
class FaceDetectionSchedule
{
public:
    struct Inputs
    {
        const FrameDetection &current;
        const FrameDetection &previous;
        const FrameDetection &beforePrevious;
        const FacialMetrics &previousMetrics;
        const HeadMotionState &previousMotion;
        // The frame time of the last frame in which the HOG detector found the face.
        quint32 hogSeenMs;
        // Whether the mouth/eye-span histogram holds enough samples to judge the face.
        bool histogramReady;
        // A smile is in progress (its measurements must not be cut short).
        bool smileInProgress;
    };

    // Whether the face must be searched afresh (the previous box and landmarks are dropped).
    bool needsFaceRedetection(const Inputs &in);
    // Whether the HOG detector runs this frame, and whether the cascade may stand in for it.
    void scheduleFaceDetection(const Inputs &in, bool redetect, bool &runHog, bool &allowHaar);

    quint32 lastDetectionRun() const { return lastDetectionRunMs; }
    int steadyFrames() const { return steadyBoxCount; }

private:
    quint32 lastDetectionRunMs = 0;
    quint32 lastForcedRunMs = 0;
    int steadyBoxCount = 0;
};
