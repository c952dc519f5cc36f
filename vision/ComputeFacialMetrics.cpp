#include "vision/ComputeFacialMetrics.h"

#include "core/Clock.h"

#include <algorithm>
#include <cmath>

namespace {

// Frames further apart than this restart every smoothed value.
constexpr quint32 kContinuityMs = 800;
// The usual smoothing weight; its partner is computed as 1 - it.
constexpr double kFast = 0.309;

double length(cv::Point2d v)
{
    return std::hypot(v.x, v.y);
}

double distance(cv::Point a, cv::Point b)
{
    return std::hypot(double(a.x) - b.x, double(a.y) - b.y);
}

// value / base x 100; 0 when the base is not positive, so no ratio is ever infinite.
double percentOf(double value, double base)
{
    return base > 0.0 ? value / base * 100.0 : 0.0;
}

// Exponential smoothing with weight w, or the raw value when the frames do not follow on.
double smooth(double previous, double value, double w, bool follows = true)
{
    return follows ? previous * (1.0 - w) + value * w : value;
}

// The 0.8455 / 0.1545 pair, used as written.
double smoothSlowPair(double previous, double value)
{
    return previous * 0.8455 + value * 0.1545;
}

int direction(double value, double previous)
{
    return value >= previous ? 1 : -1;
}

int signOf(double value)
{
    return (value > 0.0) - (value < 0.0);
}

// Takes the value while it keeps moving the same way, else eases towards it.
double follow(double value, int mark, int previousMark, double previousFollower)
{
    return mark == previousMark ? value : smoothSlowPair(previousFollower, value);
}

int roundHalfAway(double value)
{
    return int(std::lround(value));
}

// What every step of one frame's measurement reads: the records, the inputs and the facts
// about the frame that decide whether smoothing may carry on from the previous one.
struct Frame
{
    const FrameDetection &detection;
    const FrameDetection &previousDetection;
    const FacialMetrics &pm;
    const HeadMotionState &pmo;
    const MetricsInputs &inputs;
    FacialMetricsState &state;
    cv::Point2d region0Shift;
    cv::Point2d region2Shift;
    quint32 intervalMs;
    const std::vector<cv::Point> &p;
    bool havePrevious;
    // The previous shape, or this one when there is none.
    const std::vector<cv::Point> &q;
    // The frames follow on: smoothing and motion carry over.
    bool continuous;
    // They follow on and the smoothed spans have started.
    bool settled;

    cv::Point2d shiftOf(int i) const
    {
        return havePrevious ? cv::Point2d(p[i] - q[i]) : cv::Point2d();
    }
    void learn(LevelHistogram &histogram, int value) const
    {
        if (!histogram.addGated(value, pm.unreliability, inputs.actionCount))
            ++state.skippedSamples;
    }
};

// Intervals as unsigned differences: equal times give 0, a wrap stays small.
quint32 measureFrameIntervals(const FrameDetection &detection,
                              const FrameDetection &previousDetection, HeadMotionState &motion)
{
    const quint32 intervalMs = elapsedMs(detection.frameTimeMs, previousDetection.frameTimeMs);
    motion.frameIntervalMs = double(intervalMs);
    motion.captureIntervalMs =
        double(elapsedMs(detection.captureTimeMs, previousDetection.captureTimeMs));
    return intervalMs;
}

void copyFaceAndLandmarks(const Frame &f, FacialMetrics &m)
{
    const FaceBox &box = f.detection.faceBox;
    m.faceRect = cv::Rect(box.left, box.top, box.width(), box.height());
    for (size_t i = 0; i < FacialMetrics::kCopiedLandmarks.size(); ++i)
        m.landmarkCopies[i] = f.p[FacialMetrics::kCopiedLandmarks[i]];
}

void measureEyesAndBrows(const Frame &f, FacialMetrics &m)
{
    const std::vector<cv::Point> &p = f.p;
    m.noseLength = distance(p[27], p[33]);
    if (m.noseLength == 0.0)
        m.noseLength = 1000.0;
    m.lipSpan = distance(p[27], p[51]);
    if (m.lipSpan == 0.0)
        m.lipSpan = 1000.0;
    m.lidGap44to46 = distance(p[44], p[46]);
    m.lidGap43to47 = distance(p[43], p[47]);
    m.lidGap44to43 = distance(p[44], p[43]);
    m.rightEyeWidth = distance(p[45], p[42]);
    m.lidGap37to41 = distance(p[37], p[41]);
    m.lidGap38to40 = distance(p[38], p[40]);
    m.lidGap37to38 = distance(p[37], p[38]);
    m.leftEyeWidth = distance(p[36], p[39]);
    m.meanEyeWidth = (m.leftEyeWidth + m.rightEyeWidth) / 2.0;
    m.meanLidGap = (m.lidGap38to40 + m.lidGap37to41 + m.lidGap43to47 + m.lidGap44to46) / 4.0;
    m.eyeOpenPct = m.meanEyeWidth > 0.0 ? m.meanLidGap / m.meanEyeWidth * 100.0 : 100.0;
    m.leftEyeCentre = (cv::Point2d(p[36]) + cv::Point2d(p[39])) / 2.0;
    m.rightEyeCentre = (cv::Point2d(p[42]) + cv::Point2d(p[45])) / 2.0;
    m.browHeightLeft = length(m.leftEyeCentre - cv::Point2d(p[19]));
    m.browHeightRight = length(m.rightEyeCentre - cv::Point2d(p[24]));
    m.browHeightLeftPct = percentOf(m.browHeightLeft, m.noseLength);
    m.browHeightRightPct = percentOf(m.browHeightRight, m.noseLength);
}

// The mid face against the forehead.
void measureRegionTilt(const Frame &f, FacialMetrics &m)
{
    const cv::Point2d tilt = f.region0Shift - f.region2Shift;
    m.regionTilt = {tilt.x, tilt.y, percentOf(tilt.x, m.noseLength),
                    percentOf(tilt.y, m.noseLength), percentOf(tilt.y, m.lipSpan)};
    for (int i = 0; i < 3; ++i)
        m.regionTiltSum[i] = f.pm.regionTiltSum[i] + m.regionTilt[2 + i];
}

// Smoothed points, truncated to whole pixels.
void smoothKeyPoints(const Frame &f, FacialMetrics &m)
{
    const auto smoothPoint = [&](cv::Point previous, cv::Point now) {
        if (!f.continuous)
            return now;
        return cv::Point(int(smooth(previous.x, now.x, kFast)),
                         int(smooth(previous.y, now.y, kFast)));
    };
    m.smoothedNoseTip = smoothPoint(f.pm.smoothedNoseTip, f.p[33]);
    m.smoothedInnerUpperLip = smoothPoint(f.pm.smoothedInnerUpperLip, f.p[62]);
    m.smoothedInnerLowerLip = smoothPoint(f.pm.smoothedInnerLowerLip, f.p[66]);
}

void measureLipDisplacement(const Frame &f, FacialMetrics &m)
{
    m.lipDisplacement = f.previousDetection.faceBox.isEmpty() ? cv::Point2d() : f.shiftOf(51);
    m.lipRelMotion = m.lipDisplacement - f.region0Shift;
    m.lipRelMotionLength = length(m.lipRelMotion);
}

// The steadier eye (its inner corner moved less with the head) measures the closure.
void measureSteadyEye(const Frame &f, FacialMetrics &m)
{
    m.cornerMotionLeft = f.havePrevious ? length(f.shiftOf(39) - f.region0Shift) : 0.0;
    m.cornerMotionRight = f.havePrevious ? length(f.shiftOf(42) - f.region0Shift) : 0.0;
    const bool leftSteady = m.cornerMotionLeft <= m.cornerMotionRight;
    const double bothBrows = std::max(m.browHeightLeftPct, m.browHeightRightPct);
    if (leftSteady) {
        m.steadyEyeWidth = m.leftEyeWidth;
        m.steadyEyeGap = (m.lidGap37to41 + m.lidGap38to40) / 2.0;
        m.browRaise =
            m.cornerMotionRight <= 1.32 * m.cornerMotionLeft ? bothBrows : m.browHeightLeftPct;
    } else {
        m.steadyEyeWidth = m.rightEyeWidth;
        m.steadyEyeGap = (m.lidGap43to47 + m.lidGap44to46) / 2.0;
        m.browRaise =
            m.cornerMotionLeft > 1.32 * m.cornerMotionRight ? m.browHeightRightPct : bothBrows;
    }
    m.steadyEyeOpenPct = m.steadyEyeWidth > 0.0 ? m.steadyEyeGap / m.steadyEyeWidth * 100.0 : 100.0;
    m.eyeClosurePct = 100.0 - m.steadyEyeOpenPct;
}

void measureEyeLine(const Frame &f, FacialMetrics &m, const HeadMotionState &motion)
{
    const std::vector<cv::Point> &p = f.p;
    const double eyeSpan = distance(p[36], p[45]);
    m.eyeCornerSpan = eyeSpan;
    m.eyeSpan = eyeSpan;
    m.cornerShiftLeft = f.shiftOf(36);
    m.cornerShiftRight = f.shiftOf(45);
    m.eyeLineShake = length(m.cornerShiftLeft - m.cornerShiftRight);
    m.eyeLineShakePct = percentOf(m.eyeLineShake, eyeSpan);
    m.eyeLineShakeRate = m.eyeLineShakePct /
                         double(std::max<quint32>(1, elapsedMs(motion.timeMs, f.pmo.timeMs))) *
                         1000.0;
    m.eyeLineTilt = p[36].y - p[45].y;
    m.eyeLineTiltPct = percentOf(m.eyeLineTilt, eyeSpan);
    m.eyeLineTiltSmoothed = smooth(f.pm.eyeLineTiltSmoothed, m.eyeLineTiltPct, 0.5, f.continuous);
    m.eyeSpanSmoothed = smooth(f.pm.eyeSpanSmoothed, eyeSpan, kFast, f.continuous);
    m.eyeSpanSlow = smooth(f.pm.eyeSpanSlow, eyeSpan, 0.1, f.continuous);
}

void measureMouth(const Frame &f, FacialMetrics &m)
{
    const std::vector<cv::Point> &p = f.p;
    // The inner lips count only when they lie in order below the nose tip.
    const auto fromNose = [&](int i) { return distance(p[30], p[i]); };
    const bool lipsInOrder =
        fromNose(62) > fromNose(51) && fromNose(66) > fromNose(62) && fromNose(57) > fromNose(66);
    m.innerLipGap = lipsInOrder ? distance(p[62], p[66]) : 0.0;
    m.mouthOpenPct = percentOf(m.innerLipGap, m.lipSpan);
    m.mouthWidth = distance(p[48], p[54]);
    m.jawSpan = distance(p[0], p[16]);
}

// Mouth ratios and corner lift, the eye closure and the open mouth, each against what the
// user's own face has shown so far.
void learnRawLevels(const Frame &f, FacialMetrics &m)
{
    const std::vector<cv::Point> &p = f.p;
    const double eyeSpan = m.eyeSpan;
    FacialMetricsState &state = f.state;
    m.mouthRatioEye = int(percentOf(m.mouthWidth, eyeSpan));
    m.mouthRatioJaw = int(percentOf(m.mouthWidth, m.jawSpan));
    m.cornerLift = eyeSpan > 0.0
                       ? (eyeSpan - (p[48].y + p[54].y - 2.0 * p[62].y)) / (2.0 * eyeSpan) * 100.0
                       : 0.0;
    f.learn(state.mouthEyeRatio, m.mouthRatioEye);
    f.learn(state.mouthJawRatio, m.mouthRatioJaw);
    f.learn(state.cornerLift, int(m.cornerLift));
    m.mouthRatioEyeLevel = state.mouthEyeRatio.level(m.mouthRatioEye);
    m.mouthRatioJawLevel = state.mouthJawRatio.level(m.mouthRatioJaw);
    m.cornerLiftLevel = state.cornerLift.level(m.cornerLift);
    m.rawSmileLevel = std::min(m.mouthRatioEyeLevel, m.mouthRatioJawLevel);

    f.learn(state.eyeClosure, roundHalfAway(m.eyeClosurePct));
    m.eyeClosureLevel = state.eyeClosure.level(m.eyeClosurePct);
    f.learn(state.mouthOpen, roundHalfAway(m.mouthOpenPct));
    m.mouthOpenLevel = state.mouthOpen.level(m.mouthOpenPct);
}

// Frames that follow on smooth every measurement from the previous frame's.
void smoothSettledMeasurements(const Frame &f, FacialMetrics &m)
{
    const FacialMetrics &pm = f.pm;
    FacialMetricsState &state = f.state;
    const double eyeSpan = m.eyeSpan;
    const double mouthWidth = m.mouthWidth;
    m.eyeClosureLevelSmoothed = smooth(pm.eyeClosureLevelSmoothed, m.eyeClosureLevel, kFast);
    m.eyeClosureLevelHalf = (pm.eyeClosureLevel + m.eyeClosureLevel) / 2.0;
    m.smoothedEyeSpan = smoothSlowPair(pm.smoothedEyeSpan, eyeSpan);
    m.smoothedMouthWidth = smooth(pm.smoothedMouthWidth, mouthWidth, kFast);
    m.smoothedJawSpan = smooth(pm.smoothedJawSpan, m.jawSpan, kFast);
    m.smileRatio = int(percentOf(m.smoothedMouthWidth, m.smoothedEyeSpan));
    f.learn(state.mouthEyeRatio, m.smileRatio);
    m.smileLevelA = state.mouthEyeRatio.level(m.smileRatio);
    m.jawSmileRatio = int(percentOf(m.smoothedMouthWidth, m.smoothedJawSpan));
    f.learn(state.mouthJawRatio, m.jawSmileRatio);
    m.jawSmileLevel = state.mouthJawRatio.level(m.jawSmileRatio);
    m.smileLevelB = std::min(m.smileLevelA, m.jawSmileLevel);

    const auto adapt = [](double previous, double value, int mark, int previousMark) {
        return mark * previousMark == 1 ? smooth(previous, value, kFast)
                                        : smoothSlowPair(previous, value);
    };
    m.adaptiveEyeSpan = adapt(pm.adaptiveEyeSpan, eyeSpan, m.eyeSpanDirection, pm.eyeSpanDirection);
    m.adaptiveMouthWidth =
        adapt(pm.adaptiveMouthWidth, mouthWidth, m.mouthWidthDirection, pm.mouthWidthDirection);
    m.adaptiveSmileRatio = int(percentOf(m.adaptiveMouthWidth, m.adaptiveEyeSpan));
    f.learn(state.mouthEyeRatio, m.adaptiveSmileRatio);
    m.adaptiveSmileLevel = state.mouthEyeRatio.level(m.adaptiveSmileRatio);

    m.smileLevelADirection = direction(m.smileLevelA, pm.smileLevelA);
    m.smileLevelAFollow = follow(m.smileLevelA, m.smileLevelADirection, pm.smileLevelADirection,
                                 pm.smileLevelAFollow);
    m.smileLevelBDirection = direction(m.smileLevelB, pm.smileLevelB);
    m.smileLevelBFollow = follow(m.smileLevelB, m.smileLevelBDirection, pm.smileLevelBDirection,
                                 pm.smileLevelBFollow);
    m.cornerLiftSmoothed = (pm.cornerLiftSmoothed + m.cornerLift) / 2.0;
    f.learn(state.cornerLift, int(m.cornerLiftSmoothed));
    m.cornerLiftLevelSmoothed = state.cornerLift.level(m.cornerLiftSmoothed);
    m.cornerLiftLevelDirection = direction(m.cornerLiftLevelSmoothed, pm.cornerLiftLevelSmoothed);
    m.cornerLiftFollow = follow(m.cornerLiftLevelSmoothed, m.cornerLiftLevelDirection,
                                pm.cornerLiftLevelDirection, pm.cornerLiftFollow);

    m.mouthOpenSmoothed = smooth(pm.mouthOpenSmoothed, m.mouthOpenPct, 0.8);
    m.browRaiseSmoothed = smooth(pm.browRaiseSmoothed, m.browRaise, 0.5);
    m.browRaiseSlow = smooth(pm.browRaiseSlow, m.browRaise, 0.1);
    m.regionTiltSumSmoothed[0] = smooth(pm.regionTiltSumSmoothed[0], m.regionTiltSum[1], 0.1);
    m.regionTiltSumSmoothed[1] = smooth(pm.regionTiltSumSmoothed[1], m.regionTiltSum[2], 0.1);
    m.lipSpanSmoothed = smooth(pm.lipSpanSmoothed, m.lipSpan, kFast);
    m.steadyEyeGapSmoothed = smooth(pm.steadyEyeGapSmoothed, m.steadyEyeGap, kFast);
    m.steadyEyeWidthSmoothed = smooth(pm.steadyEyeWidthSmoothed, m.steadyEyeWidth, kFast);
}

// On an unsettled frame each smoothed measurement takes its raw source.
void takeRawMeasurements(const Frame &f, FacialMetrics &m)
{
    const FacialMetrics &pm = f.pm;
    m.eyeClosureLevelSmoothed = m.eyeClosureLevel;
    m.eyeClosureLevelHalf = m.eyeClosureLevel;
    m.smoothedEyeSpan = m.eyeSpan;
    m.smoothedMouthWidth = m.mouthWidth;
    m.smoothedJawSpan = m.jawSpan;
    m.smileRatio = m.mouthRatioEye;
    m.smileLevelA = m.mouthRatioEyeLevel;
    m.jawSmileRatio = m.mouthRatioJaw;
    m.jawSmileLevel = m.mouthRatioJawLevel;
    m.smileLevelB = m.rawSmileLevel;
    m.adaptiveEyeSpan = m.eyeSpan;
    m.adaptiveMouthWidth = m.mouthWidth;
    m.adaptiveSmileRatio = m.mouthRatioEye;
    m.adaptiveSmileLevel = m.mouthRatioEyeLevel;
    m.smileLevelADirection = direction(m.smileLevelA, pm.smileLevelA);
    m.smileLevelAFollow = m.mouthRatioEyeLevel;
    m.smileLevelBDirection = direction(m.smileLevelB, pm.smileLevelB);
    m.smileLevelBFollow = m.rawSmileLevel;
    m.cornerLiftSmoothed = m.cornerLift;
    m.cornerLiftLevelSmoothed = m.cornerLiftLevel;
    m.cornerLiftLevelDirection = direction(m.cornerLiftLevelSmoothed, pm.cornerLiftLevelSmoothed);
    m.cornerLiftFollow = m.cornerLiftLevel;
    m.mouthOpenSmoothed = m.mouthOpenPct;
    m.browRaiseSmoothed = m.browRaise;
    m.browRaiseSlow = m.browRaise;
    m.regionTiltSumSmoothed = {m.regionTiltSum[1], m.regionTiltSum[2]};
    m.lipSpanSmoothed = m.lipSpan;
    m.steadyEyeGapSmoothed = m.steadyEyeGap;
    m.steadyEyeWidthSmoothed = m.steadyEyeWidth;
}

void smoothMeasurements(const Frame &f, FacialMetrics &m)
{
    m.eyeSpanDirection = direction(m.eyeSpan, f.pm.eyeSpan);
    m.mouthWidthDirection = direction(m.mouthWidth, f.pm.mouthWidth);
    if (f.settled)
        smoothSettledMeasurements(f, m);
    else
        takeRawMeasurements(f, m);
    m.steadyEyeOpenSmoothedPct = m.steadyEyeWidthSmoothed > 0.0
                                     ? m.steadyEyeGapSmoothed / m.steadyEyeWidthSmoothed * 100.0
                                     : 100.0;
    m.eyeClosureSmoothedPct = 100.0 - m.steadyEyeOpenSmoothedPct;
    m.lidToLipPct =
        m.lipSpanSmoothed > 0.0 ? m.steadyEyeGapSmoothed / m.lipSpanSmoothed * 100.0 : 100.0;
    m.lidToLipClosurePct = 100.0 - m.lidToLipPct;
}

void learnBlinkAndBrowLevels(const Frame &f, FacialMetrics &m)
{
    const FacialMetrics &pm = f.pm;
    FacialMetricsState &state = f.state;
    f.learn(state.eyeClosureSmoothed, roundHalfAway(m.eyeClosureSmoothedPct));
    m.eyeClosureSmoothedLevel = state.eyeClosureSmoothed.level(m.eyeClosureSmoothedPct);
    m.eyeClosureSmoothedLevelHalf =
        smooth(pm.eyeClosureSmoothedLevelHalf, m.eyeClosureSmoothedLevel, 0.5, f.settled);
    m.blinkLevelA = std::max(m.eyeClosureSmoothedLevel, m.eyeClosureSmoothedLevelHalf);
    f.learn(state.lidToLipClosure, roundHalfAway(m.lidToLipClosurePct));
    m.lidToLipLevel = state.lidToLipClosure.level(m.lidToLipClosurePct);
    m.lidToLipLevelHalf = smooth(pm.lidToLipLevelHalf, m.lidToLipLevel, 0.5, f.settled);
    m.blinkLevelB = std::max(m.lidToLipLevel, m.lidToLipLevelHalf);
    m.eyeClosureLevelMax =
        std::max({m.eyeClosureLevel, m.eyeClosureLevelSmoothed, m.eyeClosureLevelHalf});
    const int browValue = roundHalfAway(m.browRaiseSmoothed);
    f.learn(state.browRaise, browValue);
    m.browRaiseLevel = state.browRaise.level(browValue);
}

void blendSmileLevels(const Frame &f, FacialMetrics &m)
{
    const FacialMetrics &pm = f.pm;
    const double threshold = f.inputs.smileThreshold;
    const double levelA = m.smileLevelAFollow;
    const double levelB = m.smileLevelBFollow;
    const double corner = m.cornerLiftFollow;
    m.smileBlendMean = (levelA + m.cornerLiftLevelSmoothed) / 2.0;
    {
        const int r = int(m.cornerLiftLevelSmoothed) - int(pm.cornerLiftLevelSmoothed);
        const int s = int(levelA) - int(pm.smileLevelAFollow);
        double weightR = 0.5;
        if (r * s >= 1 && std::abs(r) != std::abs(s))
            weightR = std::abs(r) > std::abs(s) ? 0.75 : 0.25;
        m.smileBlendWeighted = weightR * m.cornerLiftLevelSmoothed + (1.0 - weightR) * levelA;
    }
    m.cornerSmileMean = (levelA + corner) / 2.0;
    if (corner - levelA > 100.0 - threshold && levelA < 50.0)
        m.cornerSmile = (threshold + levelA) / 2.0;
    else if (corner < levelA)
        m.cornerSmile = levelA * 0.62 + corner * 0.38;
    else
        m.cornerSmile = m.cornerSmileMean;
    m.mouthSmileMean = (levelB + corner) / 2.0;
    if (corner - levelB > 100.0 - threshold && levelB < 50.0)
        m.mouthSmile = (threshold + levelB) / 2.0;
    else if (corner > levelB)
        m.mouthSmile = levelB * 0.66 + corner * 0.34;
    else
        m.mouthSmile = m.mouthSmileMean;
    m.cornerSmileCap = corner > levelB ? levelB : levelB * 0.66 + corner * 0.34;
}

// A jump larger than the face box's diagonal is no head motion.
void measureHeadMotion(const Frame &f, const FacialMetrics &m, HeadMotionState &motion)
{
    const FaceBox &box = f.detection.faceBox;
    if (f.continuous) {
        motion.noseShift = cv::Point2d(m.smoothedNoseTip - f.pm.smoothedNoseTip);
        const double diagonal2 =
            double(box.width()) * box.width() + double(box.height()) * box.height();
        if (f.region0Shift.dot(f.region0Shift) <= diagonal2)
            motion.headShift = f.region0Shift;
    }
    motion.headShiftLength = length(motion.headShift);
    motion.headShiftX20 = int(motion.headShift.x * 20.0);
    motion.headShiftY20 = int(motion.headShift.y * 20.0);
}

// The pointer's shift and velocity, and the absolute position it adds up to.
void measurePointerMotion(const Frame &f, const FacialMetrics &m, HeadMotionState &motion)
{
    const HeadMotionState &pmo = f.pmo;
    const MetricsInputs &inputs = f.inputs;
    const double interval = motion.frameIntervalMs;
    // A zero interval (two frames with equal times) has no velocity.
    const auto perSecond = [interval](cv::Point2d shift) {
        return interval > 0.0 ? shift / interval * 1000.0 : cv::Point2d();
    };
    motion.headVelocity = perSecond(motion.headShift);
    const double speedLimit = inputs.absoluteModeSpeedLimit;
    if (inputs.absoluteMode &&
        motion.headVelocity.dot(motion.headVelocity) <= speedLimit * speedLimit)
        motion.pointerShift = f.detection.trimmedShift[FrameDetection::DropLongest75];
    else
        motion.pointerShift = f.detection.trimmedShift[FrameDetection::DropShortest10Longest65];
    motion.pointerVelocity = perSecond(motion.pointerShift);
    motion.absolutePosition = pmo.absolutePosition;
    if (inputs.absoluteMode && !inputs.pointerFrozen) {
        motion.absolutePosition += motion.pointerShift;
        motion.absoluteSeriesX.add(motion.timeMs, motion.absolutePosition.x);
        motion.absoluteSeriesY.add(motion.timeMs, motion.absolutePosition.y);
        for (size_t i = 0; i < HeadMotionState::kAbsoluteSpansMs.size(); ++i) {
            const quint32 span = HeadMotionState::kAbsoluteSpansMs[i];
            motion.absolutePositionMean[i] = {motion.absoluteSeriesX.mean(span, motion.timeMs),
                                              motion.absoluteSeriesY.mean(span, motion.timeMs)};
        }
    }
    motion.normalisedVelocity =
        m.smoothedEyeSpan > 0.0 ? motion.pointerVelocity * 45.0 / m.smoothedEyeSpan : cv::Point2d();
    if (f.intervalMs <= kContinuityMs) {
        motion.smoothedPointerVelocity =
            (pmo.smoothedPointerVelocity + motion.pointerVelocity) / 2.0;
        motion.smoothedNormalisedVelocity =
            (pmo.smoothedNormalisedVelocity + motion.normalisedVelocity) / 2.0;
    }
    motion.headSpeed = length(motion.smoothedPointerVelocity);
    f.state.headSpeedSeries.add(motion.timeMs, motion.headSpeed);
    for (size_t i = 0; i < HeadMotionState::kHeadSpeedSpansMs.size(); ++i)
        motion.headSpeedMean[i] =
            f.state.headSpeedSeries.mean(HeadMotionState::kHeadSpeedSpansMs[i], motion.timeMs);
}

// Lip, bridge and brow motion relative to the head, in percent of the face height, and the
// open mouth less what lip motion alone would explain.
void measureLipAndBrowMotion(const Frame &f, FacialMetrics &m, HeadMotionState &motion)
{
    const FacialMetrics &pm = f.pm;
    const HeadMotionState &pmo = f.pmo;
    if (!f.continuous) {
        clearLipAndBrowMotion(motion);
        m.mouthOpenNet = std::max(0.0, m.mouthOpenPct);
        m.mouthOpenFast = m.mouthOpenNet;
        m.mouthOpenSlow = m.mouthOpenNet;
        m.mouthOpenPeak = m.mouthOpenNet;
        m.mouthOpenAttack = 0.0;
        return;
    }
    const double faceHeight = f.detection.faceBox.height();
    motion.lipShift = f.shiftOf(51);
    motion.lipRelShift = (motion.lipShift - motion.headShift) / faceHeight * 100.0;
    const bool detected = f.detection.hogFaceFound || f.detection.haarFaceFound;
    motion.lipRelShiftSum = (detected ? cv::Point2d() : pmo.lipRelShiftSum) + motion.lipRelShift;
    motion.lipRelShiftSumLength = length(motion.lipRelShiftSum);
    motion.lipMotion = length(motion.lipRelShift);
    motion.lipMotionSmoothed = smooth(pmo.lipMotionSmoothed, motion.lipMotion, kFast);
    motion.lipMotionSlow = smooth(pmo.lipMotionSlow, motion.lipMotionSmoothed, 0.2);

    m.mouthOpenNet = std::max(0.0, m.mouthOpenPct - motion.lipMotionSmoothed);
    m.mouthOpenFast = smooth(pm.mouthOpenFast, m.mouthOpenNet, 0.8);
    m.mouthOpenSlow = smooth(pm.mouthOpenSlow, m.mouthOpenNet, 0.2);
    m.mouthOpenAttack = m.mouthOpenNet > pm.mouthOpenSlow ? 1.0 : 0.5;
    m.mouthOpenPeak =
        (1.0 - m.mouthOpenAttack) * pm.mouthOpenSlow + m.mouthOpenAttack * m.mouthOpenNet;

    motion.bridgeRelShift = (f.shiftOf(27) - motion.headShift) / faceHeight * 100.0;
    motion.bridgeMotion = length(motion.bridgeRelShift);
    motion.bridgeMotionSmoothed = smooth(pmo.bridgeMotionSmoothed, motion.bridgeMotion, kFast);
    motion.bridgeMotionSlow = smooth(pmo.bridgeMotionSlow, motion.bridgeMotionSmoothed, 0.2);

    motion.browShiftLeft = f.shiftOf(21) - motion.headShift;
    motion.browShiftLeftLength = length(motion.browShiftLeft);
    motion.browShiftRight = f.shiftOf(22) - motion.headShift;
    motion.browShiftRightLength = length(motion.browShiftRight);
    motion.browMotion = std::max(motion.browShiftLeftLength, motion.browShiftRightLength);
    motion.browMotionPct = percentOf(motion.browMotion, faceHeight);
    motion.browMotionSmoothed = smooth(pmo.browMotionSmoothed, motion.browMotionPct, kFast);
    motion.browMotionSlow = smooth(pmo.browMotionSlow, motion.browMotionSmoothed, 0.2);
}

// Smile level components, less what lip motion alone would explain, and which of them is
// the candidate.
void netSmileComponents(const Frame &f, FacialMetrics &m, const HeadMotionState &motion)
{
    const FacialMetrics &pm = f.pm;
    const int lipPenalty = std::clamp(int(motion.lipMotionSmoothed * 10.0 - 10.0), 0, 80);
    m.cornerSmileNet = std::max(0.0, m.cornerSmile - lipPenalty);
    m.mouthSmileNet = std::min(std::max(0.0, m.mouthSmile - lipPenalty), m.cornerSmileNet);
    m.capSmileNet = std::min(std::max(0.0, m.cornerSmileCap - lipPenalty), m.cornerSmileNet);
    if (f.settled) {
        m.mouthSmileNetChange = signOf(m.mouthSmileNet - pm.mouthSmileNet);
        m.capSmileNetChange = signOf(m.capSmileNet - pm.capSmileNet);
        const bool fallingNow = m.mouthSmileNetChange < 0 && m.capSmileNetChange < 0;
        const bool fallingBefore = pm.mouthSmileNetChange < 0 && pm.capSmileNetChange < 0;
        const bool risingNow = m.mouthSmileNetChange > 0 && m.capSmileNetChange > 0;
        const bool risingBefore = pm.mouthSmileNetChange > 0 && pm.capSmileNetChange > 0;
        if (pm.smileCandidateSource == 1) {
            const bool leave = risingNow && risingBefore && m.mouthSmileNet <= m.capSmileNet;
            m.smileCandidateSource = leave ? 2 : 1;
        } else {
            const bool enter = m.capSmileNet >= 50.0 && fallingNow && fallingBefore &&
                               m.mouthSmileNet < m.capSmileNet;
            m.smileCandidateSource = enter ? 1 : 2;
        }
    } else {
        m.smileCandidateSource = 2;
        m.mouthSmileNetChange = 0;
        m.capSmileNetChange = 0;
    }
    m.smileCandidate = m.smileCandidateSource == 1 ? m.mouthSmileNet : m.capSmileNet;
}

// The smile base (held up by the smile's own level while a smile stage runs) and the slow
// followers of each component.
void smileBaseAndFollowers(const Frame &f, FacialMetrics &m)
{
    const FacialMetrics &pm = f.pm;
    const bool settled = f.settled;
    const bool smileStage = f.inputs.smilePending || f.inputs.smileStageActive;
    m.smileBase = smileStage ? std::max(m.smileLevelBFollow, m.smileCandidate) : m.smileCandidate;
    const double followerWeights[] = {0.025, 0.05, 0.1, 0.2};
    for (int i = 0; i < 4; ++i)
        m.cornerSmileNetFollowers[i] =
            smooth(pm.cornerSmileNetFollowers[i], m.cornerSmileNet, followerWeights[i], settled);
    m.mouthSmileNetSlow = smooth(pm.mouthSmileNetSlow, m.mouthSmileNet, 0.2, settled);
    m.capSmileNetSlow = smooth(pm.capSmileNetSlow, m.capSmileNet, 0.2, settled);
    m.smileLevelAFollowSlow = smooth(pm.smileLevelAFollowSlow, m.smileLevelAFollow, 0.2, settled);
    m.cornerLiftFollowSlow = smooth(pm.cornerLiftFollowSlow, m.cornerLiftFollow, 0.2, settled);
    m.smileLevelBFollowSlow = smooth(pm.smileLevelBFollowSlow, m.smileLevelBFollow, 0.2, settled);
    m.smileCandidateSlow = smooth(pm.smileCandidateSlow, m.smileCandidate, 0.2, settled);
    m.smileBaseSlow = smooth(pm.smileBaseSlow, m.smileBase, 0.2, settled);
}

// The smile level: the base, or a component that clearly leads it.
void chooseSmileLevel(const Frame &f, FacialMetrics &m)
{
    const FacialMetrics &pm = f.pm;
    const MetricsInputs &inputs = f.inputs;
    const double threshold = inputs.smileThreshold;
    const double levelB = m.smileLevelBFollow;
    m.smileLevel = m.smileBase;
    m.smileLevelSource = 0;
    const double rise = threshold * 18.0 / 60.0;
    const double mouthNet = m.mouthSmileNet;
    const double cornerNet = m.cornerSmileNet;
    if (pm.smileLevelSource == 0) {
        if (!inputs.smilePending && m.smileBase != pm.smileBase &&
            m.smileBase >= 0.84 * threshold) {
            if (mouthNet - m.mouthSmileNetSlow > rise && mouthNet >= levelB &&
                mouthNet >= cornerNet && mouthNet > m.smileBase) {
                m.smileLevel = mouthNet;
                m.smileLevelSource = 1;
            }
            if (levelB - m.smileLevelBFollowSlow > rise && levelB > m.smileBase &&
                levelB > mouthNet && levelB > cornerNet) {
                m.smileLevel = levelB;
                m.smileLevelSource = 3;
            }
            if (cornerNet - m.cornerSmileNetFollowers[3] > rise && cornerNet > m.smileBase &&
                cornerNet > mouthNet && cornerNet > levelB) {
                m.smileLevel = cornerNet;
                m.smileLevelSource = 4;
            }
        }
    } else if (inputs.smileInProgress && !inputs.smilePending && !inputs.smileStageActive) {
        const bool fading = m.smileBase < pm.smileBase && m.smileBase < 0.9 * threshold;
        if (!fading) {
            const std::pair<double, int> components[] = {
                {mouthNet, 1}, {levelB, 3}, {cornerNet, 4}};
            bool found = false;
            for (const auto &[value, source] : components) {
                if (value >= m.smileBase && (!found || value > m.smileLevel)) {
                    m.smileLevel = value;
                    m.smileLevelSource = source;
                    found = true;
                }
            }
        }
    }
    m.smileLevelSmoothed = smooth(pm.smileLevelSmoothed, m.smileLevel, 0.2, f.settled);
}

// Lips that move while the head does not, without a fresh detection, cannot be trusted.
void judgeReliability(const Frame &f, FacialMetrics &m, const HeadMotionState &motion)
{
    m.unreliableFrame =
        motion.lipMotionSlow > 2.0 && motion.headShiftLength < 0.02 && !f.detection.hogFaceFound
            ? 1
            : 0;
    m.unreliability =
        f.settled ? 0.2 * m.unreliableFrame + 0.8 * f.pm.unreliability : 0.2 * m.unreliableFrame;
}

// A frame without a measurable face adds nothing to the running sums, but keeps them: the
// absolute pointer must not jump to the centre when the face comes back.
void carryRunningSums(FacialMetrics &m, const FacialMetrics &pm, HeadMotionState &motion,
                      const HeadMotionState &pmo)
{
    m.regionTiltSum = pm.regionTiltSum;
    m.regionTiltSumSmoothed = pm.regionTiltSumSmoothed;
    motion.absolutePosition = pmo.absolutePosition;
    motion.absolutePositionMean = pmo.absolutePositionMean;
    motion.lipRelShiftSum = pmo.lipRelShiftSum;
    motion.lipRelShiftSumLength = pmo.lipRelShiftSumLength;
}

} // namespace

bool computeFacialMetrics(const FrameDetection &detection, FacialMetrics &metrics,
                          const FrameDetection &previousDetection,
                          const FacialMetrics &previousMetrics, HeadMotionState &motion,
                          const HeadMotionState &previousMotion, cv::Point2d region0Shift,
                          cv::Point2d region2Shift, const MetricsInputs &inputs,
                          FacialMetricsState &state)
{
    const quint32 intervalMs = measureFrameIntervals(detection, previousDetection, motion);
    if (!detection.faceFound || !detection.landmarks.isComplete()) {
        carryRunningSums(metrics, previousMetrics, motion, previousMotion);
        return !detection.faceFound;
    }

    const std::vector<cv::Point> &p = detection.landmarks.points;
    const bool havePrevious = previousDetection.landmarks.isComplete();
    // Without a previous shape there is nothing to measure motion against.
    const bool continuous = intervalMs <= kContinuityMs && !detection.faceBox.isEmpty() &&
                            !previousDetection.faceBox.isEmpty() && havePrevious;
    const bool settled = continuous && previousMetrics.smoothedEyeSpan != 0.0 &&
                         previousMetrics.smoothedMouthWidth != 0.0;
    const Frame f{detection,       previousDetection,
                  previousMetrics, previousMotion,
                  inputs,          state,
                  region0Shift,    region2Shift,
                  intervalMs,      p,
                  havePrevious,    havePrevious ? previousDetection.landmarks.points : p,
                  continuous,      settled};
    FacialMetrics &m = metrics;

    copyFaceAndLandmarks(f, m);
    measureEyesAndBrows(f, m);
    measureRegionTilt(f, m);
    smoothKeyPoints(f, m);
    measureLipDisplacement(f, m);
    measureSteadyEye(f, m);
    measureEyeLine(f, m, motion);
    measureMouth(f, m);
    learnRawLevels(f, m);
    smoothMeasurements(f, m);
    learnBlinkAndBrowLevels(f, m);
    blendSmileLevels(f, m);
    measureHeadMotion(f, m, motion);
    measurePointerMotion(f, m, motion);
    measureLipAndBrowMotion(f, m, motion);
    netSmileComponents(f, m, motion);
    smileBaseAndFollowers(f, m);
    chooseSmileLevel(f, m);
    judgeReliability(f, m, motion);
    return true;
}
