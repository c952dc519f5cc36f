#pragma once

#include "vision/FacialMetrics.h"
#include "vision/FrameDetection.h"
#include "vision/HeadMotionState.h"

#include <QtGlobal>

// When the expensive face detector runs. Between detections the face tracker carries the face
// with the landmark fit and optical flow; the schedule rests the detector for a second after
// each success, retries every 200 ms for five seconds after a loss, then once a second.
// Without a face box the whole image is searched on every frame, for webcam-sized faces and
// faces of the last one's size first (FaceTracker::setLargeFacesFirst) but for a full search
// once a second; once nobody has been in view for three seconds, only every 150 ms, with a
// full search every two seconds, so that an empty room costs little and a returning user, at a
// webcam's distance or at their own, is found within a quarter of a second.
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

    // Whether this frame's run may search for webcam-sized faces first (a whole-image search
    // that is not due to look for faces of every size).
    bool largeFacesFirst() const { return largeFirst; }
    // The width that search also looks for: the last face box seen (however long ago, until
    // a face of another size is seen), in pixels of this frame's processing size; 0 before any.
    int lastFaceWidth() const { return quickWidth; }
    // Nobody has been in view for a while: the detector rests between searches.
    bool nobodyThere() const { return away; }

    quint32 lastDetectionRun() const { return lastDetectionRunMs; }
    int steadyFrames() const { return steadyBoxCount; }

private:
    quint32 lastDetectionRunMs = 0;
    quint32 lastForcedRunMs = 0;
    int steadyBoxCount = 0;
    // The last frame with a face box (or the first frame seen), the width of that box and the
    // processing size it was seen at, and the last search for faces of every size.
    bool started = false;
    quint32 lastFaceMs = 0;
    int seenWidth = 0;
    int seenSize = 0;
    int quickWidth = 0;
    quint32 lastFullSearchMs = 0;
    bool largeFirst = false;
    bool away = false;
};
