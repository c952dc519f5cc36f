#include "tracking/FaceDetectionSchedule.h"

#include <cmath>

namespace {

// Without a face box: how often a search looks for faces of every size.
constexpr quint32 kFullSearchMs = 1000;
// Nobody in view for this long: the detector rests between searches...
constexpr quint32 kAwayAfterMs = 3000;
// ...searching this often (a returning face is tracked within 250 ms)...
constexpr quint32 kAwaySearchMs = 150;
// ...and for faces of every size this often.
constexpr quint32 kAwayFullSearchMs = 2000;

double length(const cv::Point2d &p)
{
    return std::hypot(p.x, p.y);
}

// Frames close enough in time for a shift to mean a jump rather than a gap.
bool closeInTime(const FrameDetection &previous, const FrameDetection &beforePrevious)
{
    return quint32(previous.frameTimeMs - beforePrevious.frameTimeMs) <= 100;
}

} // namespace

bool FaceDetectionSchedule::needsFaceRedetection(const Inputs &in)
{
    const FrameDetection &prev = in.previous;
    const FrameDetection &prevPrev = in.beforePrevious;
    bool redetect = false;

    // The processing resolution changed.
    if (prev.processingSize > 0 && prev.processingSize != in.current.processingSize)
        redetect = true;
    // The measurements have been unreliable for a while.
    if (in.previousMetrics.unreliability >= 0.988 && !in.smileInProgress)
        redetect = true;
    // The lips move against the head while the box sits on the image's edge.
    if (in.previousMetrics.lipRelMotionLength > 5.0 &&
        (prev.faceBox.left == 0 || prev.faceBox.top == 0))
        redetect = true;
    const int quarterWidth = prev.faceBox.width() / 4;
    const bool close = closeInTime(prev, prevPrev);
    // The region or the lips jumped by more than a quarter of the face in one frame.
    if (length(prev.regionShift) > quarterWidth && close)
        redetect = true;
    if (length(in.previousMetrics.lipDisplacement) > quarterWidth && close)
        redetect = true;
    // The box suddenly shrank to half its size.
    if (!prev.faceBox.isEmpty() && prev.faceBox.width() <= prevPrev.faceBox.width() / 2)
        redetect = true;
    // A box that has not changed for 60 quiet frames may have lost the face.
    const double shift = length(prev.regionShift);
    if (shift > 0.0 && shift < 0.1 && prev.faceBox.area() == prevPrev.faceBox.area()) {
        if (++steadyBoxCount >= 60) {
            steadyBoxCount = 0;
            redetect = true;
        }
    } else {
        steadyBoxCount = 0;
    }
    // Only the cascade sees the face, and the lips are not steady.
    if (prev.haarIsNewer && in.previousMotion.lipMotionSlow >= 2.0)
        redetect = true;
    return redetect;
}

void FaceDetectionSchedule::scheduleFaceDetection(const Inputs &in, bool redetect, bool &runHog,
                                                  bool &allowHaar)
{
    runHog = false;
    allowHaar = false;
    largeFirst = false;
    away = false;
    const quint32 now = in.current.frameTimeMs;
    const quint32 lastSuccessOrForce =
        quint32(in.hogSeenMs - lastForcedRunMs) < 0x80000000u ? in.hogSeenMs : lastForcedRunMs;
    const quint32 sinceHog = now - lastSuccessOrForce;
    if (!started || !in.previous.faceBox.isEmpty()) {
        started = true;
        lastFaceMs = now;
    }
    if (!in.previous.faceBox.isEmpty()) {
        seenWidth = in.previous.faceBox.width();
        seenSize = in.previous.processingSize;
    }
    // At another processing size the face is seen scaled with the picture.
    const int size = in.current.processingSize;
    quickWidth = seenSize > 0 && size > 0 ? int(std::lround(double(seenWidth) * size / seenSize))
                                          : seenWidth;

    if (in.previous.faceBox.isEmpty()) {
        // Nobody in view: a whole-image search, for webcam-sized faces and faces of the last
        // one's size first, unless a full search is due.
        away = now - lastFaceMs >= kAwayAfterMs;
        if (away && now - lastDetectionRunMs < kAwaySearchMs)
            return;
        largeFirst = now - lastFullSearchMs < (away ? kAwayFullSearchMs : kFullSearchMs);
        runHog = true;
        lastDetectionRunMs = now;
        if (in.histogramReady)
            lastForcedRunMs = now;
        if (!largeFirst)
            lastFullSearchMs = now;
        return;
    }
    if (!in.histogramReady) {
        runHog = true;
        lastDetectionRunMs = now;
        return;
    }
    if (redetect) {
        runHog = true;
        lastDetectionRunMs = now;
        lastForcedRunMs = now;
        return;
    }
    const quint32 sinceRun = now - lastDetectionRunMs;
    bool run = false;
    if (sinceHog < 1000)
        run = in.previous.haarIsNewer;
    else if (sinceHog < 5000)
        run = sinceRun > 200;
    else if (sinceHog != 60000)
        run = sinceRun > 1000;
    if (run) {
        runHog = true;
        lastDetectionRunMs = now;
    }
}
