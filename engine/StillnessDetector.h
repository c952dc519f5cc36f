#pragma once

#include <QString>
#include <QtGlobal>

// Tells, frame by frame, whether the head holds still (its smoothed speed at or below the
// threshold) and for how long.
struct StillnessDetector
{
    qint32 threshold = 0;
    // Frame time at which the current still period began; 0 = none.
    quint32 stillSinceMs = 0;
    quint32 lastStillMs = 0;
    quint32 stillDurationMs = 0;
    bool brokeOut = false;
    bool isStill = false;
    QString name;
};

// The three detectors the frame loop runs and the click engine reads.
extern StillnessDetector alwaysOnDetector;       // "AlwaysOn": parking in relative mode
extern StillnessDetector alwaysOnAbsoDetector;   // "AlwaysOn_Abso": parking in absolute mode
extern StillnessDetector holdHeadSteadyDetector; // "HoldHeadSteady"

// New threshold and name, cleared state.
void setStillnessDetector(StillnessDetector &detector, int threshold, const QString &name);
// Cleared state; threshold and name stay.
void clearStillnessDetector(StillnessDetector &detector);
// One frame: the head's smoothed velocity now and in the previous frame, and the frame time.
void updateStillnessDetector(StillnessDetector &detector, double velocityX, double velocityY,
                             double previousVelocityX, double previousVelocityY, quint32 nowMs);
