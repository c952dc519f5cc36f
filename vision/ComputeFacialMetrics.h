#pragma once

#include "vision/FacialMetrics.h"
#include "vision/FacialMetricsState.h"
#include "vision/FrameDetection.h"
#include "vision/HeadMotionState.h"
#include "vision/MetricsInputs.h"

#include <opencv2/core/types.hpp>

// Turns the current frame's landmarks, the feature-region shifts and the previous frame's
// records into every measurement the gestures and the pointer use: fills `metrics` and
// `motion` (both reset at the start of the frame), and teaches the level histograms in
// `state`. `region0Shift` and `region2Shift` are the mean shifts of feature regions 0 (mid
// face) and 2 (forehead). No value it writes is NaN or infinite. Returns false only when a
// face was found but its shape does not have 68 points.
bool computeFacialMetrics(const FrameDetection &detection, FacialMetrics &metrics,
                          const FrameDetection &previousDetection,
                          const FacialMetrics &previousMetrics, HeadMotionState &motion,
                          const HeadMotionState &previousMotion, cv::Point2d region0Shift,
                          cv::Point2d region2Shift, const MetricsInputs &inputs,
                          FacialMetricsState &state);
