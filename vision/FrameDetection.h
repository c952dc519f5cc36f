#pragma once

#include "vision/FaceBox.h"
#include "vision/FaceShape.h"

#include <QtGlobal>

#include <opencv2/core/types.hpp>

#include <array>

// What the face tracker found in one frame. The frame loop keeps three copies (current,
// previous, before-previous) and shifts them at the end of every processed frame.
struct FrameDetection
{
    // Order of the trimmed means in `trimmedShift`.
    enum TrimmedShiftIndex
    {
        DropLongest25,
        DropLongest50,
        DropLongest75,
        DropShortest25,
        DropShortest50,
        DropShortest75,
        DropBoth10,
        DropBoth20,
        DropBoth30,
        DropShortest10Longest65,
        TrimmedShiftCount
    };

    quint32 frameTimeMs = 0;
    quint32 captureTimeMs = 0;
    // Smaller side of the processed image.
    int processingSize = 0;
    bool faceFound = false;
    bool hogFaceFound = false;
    bool haarFaceFound = false;
    // The detector's box this frame; empty when no detector ran or none found a face.
    FaceBox detectorBox;
    // The box in use this frame (detected or followed); empty when there is no face.
    FaceBox faceBox;
    FaceShape landmarks;
    // Mean shift of feature region 0 since the previous frame.
    cv::Point2d regionShift;
    // Trimmed means of region 0's feature shifts, in TrimmedShiftIndex order.
    std::array<cv::Point2d, TrimmedShiftCount> trimmedShift{};
    bool haarIsNewer = false;
};

// Start-of-frame reset: stamps `frameTimeMs` with the clock, clears the flags, boxes, shape
// and shifts.
void resetFrameDetection(FrameDetection &record);
