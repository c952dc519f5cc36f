#pragma once

#include "vision/FacialMetrics.h"
#include "vision/FrameDetection.h"
#include "vision/HeadMotionState.h"

#include <QtGlobal>

// When the face was last seen, by which detector; cleared when tracking starts and when a
// video file replaces the camera.
struct FaceSeenTimes
{
    quint32 hogSeenMs = 0;
    quint32 haarSeenMs = 0;
    quint32 boxSeenMs = 0;
    quint32 anySeenMs = 0;
};

// The per-frame records the frame loop fills and the click engine reads: the current frame
// and the ones before it. Worker thread only.
struct FrameRecords
{
    FrameDetection detection;
    FrameDetection previousDetection;
    FrameDetection beforePreviousDetection;
    FacialMetrics metrics;
    FacialMetrics previousMetrics;
    HeadMotionState motion;
    HeadMotionState previousMotion;
    FaceSeenTimes seen;

    // End of a processed frame: each current record becomes the previous one.
    void shift();
    // Start of tracking or a new frame source: no face, no history.
    void clear();
};

extern FrameRecords frameRecords;
