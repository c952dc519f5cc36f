#pragma once

#include "vision/FaceShape.h"
#include "vision/FrameDetection.h"

// A drawn 68-point face with round numbers, in a face box 200 x 200 at (100, 100):
// jaw span (0-16) 200, eye-corner span (36-45) 140, eye widths 45 with lid gaps 14, nose
// length (27-33) 55, distance 27-51 of 90, mouth width (48-54) 80, inner lip gap (62-66) 8.
FaceShape syntheticFace();

// A frame that found `shape` (moved by `offset`) in its face box at `timeMs`.
FrameDetection frameWithFace(const FaceShape &shape, quint32 timeMs, cv::Point offset = {});
