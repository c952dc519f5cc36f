#pragma once

#include <QtGlobal>

#include <opencv2/core/types.hpp>

#include <array>

// The measurements taken from one frame's 68 landmarks: distances, eye closure, mouth
// opening, eyebrow raise, the smile levels, and their smoothings. Levels are 0-100 on the
// user's own range (LevelHistogram). %N: percent of the nose length (27-33); %L: percent of
// the distance 27-51; %E: percent of the eye-corner span 36-45. The frame loop keeps a
// current and a previous copy.
struct FacialMetrics
{
    // The landmarks copied into `landmarkCopies`, in that order.
    static constexpr std::array<int, 29> kCopiedLandmarks{36, 45, 0,  16, 21, 22, 27, 30, 33, 48,
                                                          54, 51, 62, 66, 57, 44, 43, 46, 47, 37,
                                                          38, 41, 40, 39, 36, 42, 45, 19, 24};

    // 1 when the lips move, the head does not and the HOG detector did not see the face.
    int unreliableFrame = 0;
    // While the previous value is 0.2 or more the level histograms learn nothing.
    double unreliability = 0.0;
    cv::Rect faceRect;
    std::array<cv::Point, 29> landmarkCopies{};
    // Landmarks 33, 62 and 66, smoothed.
    cv::Point smoothedNoseTip;
    cv::Point smoothedInnerUpperLip;
    cv::Point smoothedInnerLowerLip;
    // Lip displacement minus the region-0 shift, and its length.
    cv::Point2d lipRelMotion;
    double lipRelMotionLength = 0.0;

    double eyeCornerSpan = 0.0; // 36-45
    double mouthWidth = 0.0;    // 48-54
    double jawSpan = 0.0;       // 0-16
    double lidGap38to40 = 0.0;
    double lidGap37to41 = 0.0;
    double lidGap37to38 = 0.0;
    double leftEyeWidth = 0.0; // 36-39
    double lidGap43to47 = 0.0;
    double lidGap44to46 = 0.0;
    double lidGap44to43 = 0.0;
    double rightEyeWidth = 0.0; // 45-42
    double eyeSpan = 0.0;
    double eyeSpanSmoothed = 0.0;
    double eyeSpanSlow = 0.0;

    double meanEyeWidth = 0.0;
    double meanLidGap = 0.0;
    double eyeOpenPct = 100.0;
    // Motion of the inner eye corners 39 and 42 relative to the region-0 shift.
    double cornerMotionLeft = 0.0;
    double cornerMotionRight = 0.0;
    // The eye whose inner corner moved less.
    double steadyEyeWidth = 0.0;
    double steadyEyeGap = 0.0;
    double steadyEyeOpenPct = 100.0;
    double steadyEyeGapSmoothed = 0.0;
    double steadyEyeWidthSmoothed = 0.0;
    double steadyEyeOpenSmoothedPct = 100.0;
    double eyeClosurePct = 0.0;
    double eyeClosureSmoothedPct = 0.0;
    double eyeClosureLevel = 0.0;
    double eyeClosureLevelSmoothed = 0.0;
    double eyeClosureLevelHalf = 0.0;
    double eyeClosureLevelMax = 0.0;
    double eyeClosureSmoothedLevel = 0.0;
    double eyeClosureSmoothedLevelHalf = 0.0;
    double blinkLevelA = 0.0;
    double lidToLipPct = 0.0;
    double lidToLipClosurePct = 0.0;
    double lidToLipLevel = 0.0;
    double lidToLipLevelHalf = 0.0;
    double blinkLevelB = 0.0;

    // Distance 62-66 when the inner lips lie in order below the nose, else 0.
    double innerLipGap = 0.0;
    double lipSpan = 0.0;
    double lipSpanSmoothed = 0.0;
    double noseLength = 0.0;
    double mouthOpenPct = 0.0;
    double mouthOpenSmoothed = 0.0;
    double mouthOpenLevel = 0.0;
    // Mouth opening less lip motion, and its followers.
    double mouthOpenNet = 0.0;
    double mouthOpenFast = 0.0;
    double mouthOpenSlow = 0.0;
    double mouthOpenPeak = 0.0;
    double mouthOpenAttack = 0.0;

    cv::Point2d leftEyeCentre;
    cv::Point2d rightEyeCentre;
    double browHeightLeft = 0.0;
    double browHeightRight = 0.0;
    double browHeightLeftPct = 0.0;
    double browHeightRightPct = 0.0;
    double browRaise = 0.0;
    double browRaiseSmoothed = 0.0;
    double browRaiseSlow = 0.0;
    double browRaiseLevel = 0.0;

    // Region 0 shift minus region 2 shift: x, y, x %N, y %N, y %L.
    std::array<double, 5> regionTilt{};
    // Running sums of the three percentages.
    std::array<double, 3> regionTiltSum{};
    // Slow followers of the %N-y and %L-y sums.
    std::array<double, 2> regionTiltSumSmoothed{};
    // Shifts of landmarks 36 and 45 since the previous frame.
    cv::Point2d cornerShiftLeft;
    cv::Point2d cornerShiftRight;
    double eyeLineShake = 0.0;
    double eyeLineShakePct = 0.0;
    double eyeLineShakeRate = 0.0;
    double eyeLineTilt = 0.0;
    double eyeLineTiltPct = 0.0;
    double eyeLineTiltSmoothed = 0.0;
    // Shift of landmark 51 since the previous frame.
    cv::Point2d lipDisplacement;

    // +1 when the value rose or stayed since the previous frame, else -1.
    int eyeSpanDirection = 0;
    int mouthWidthDirection = 0;
    int smileLevelADirection = 0;
    int cornerLiftLevelDirection = 0;

    int mouthRatioEye = 0;
    int mouthRatioJaw = 0;
    double mouthRatioEyeLevel = 0.0;
    double mouthRatioJawLevel = 0.0;
    double cornerLift = 0.0;
    double cornerLiftLevel = 0.0;
    double smoothedEyeSpan = 0.0;
    double smoothedMouthWidth = 0.0;
    double smoothedJawSpan = 0.0;
    double adaptiveEyeSpan = 0.0;
    double adaptiveMouthWidth = 0.0;

    int smileRatio = 0;
    int adaptiveSmileRatio = 0;
    double smileLevelA = 0.0;
    double adaptiveSmileLevel = 0.0;
    double smileLevelAFollow = 0.0;
    double smileLevelAFollowSlow = 0.0;
    // Followers of `cornerSmileNet` with weights 0.025, 0.05, 0.1 and 0.2.
    std::array<double, 4> cornerSmileNetFollowers{};
    int jawSmileRatio = 0;
    double jawSmileLevel = 0.0;
    double rawSmileLevel = 0.0;
    double smileLevelB = 0.0;
    int smileLevelBDirection = 0;
    double smileLevelBFollow = 0.0;
    double smileLevelBFollowSlow = 0.0;
    double mouthSmileMean = 0.0;
    double mouthSmile = 0.0;
    double mouthSmileNet = 0.0;
    double mouthSmileNetSlow = 0.0;
    double cornerSmileCap = 0.0;
    double capSmileNet = 0.0;
    double capSmileNetSlow = 0.0;
    double smileCandidate = 0.0;
    double smileCandidateSlow = 0.0;
    // 1: mouthSmileNet, 2: capSmileNet.
    int smileCandidateSource = 0;
    int mouthSmileNetChange = 0;
    int capSmileNetChange = 0;
    double smileBase = 0.0;
    double smileBaseSlow = 0.0;
    double smileLevel = 0.0;
    double smileLevelSmoothed = 0.0;
    // 0: smileBase, 1: mouthSmileNet, 3: smileLevelBFollow, 4: cornerSmileNet.
    int smileLevelSource = 0;
    double cornerLiftSmoothed = 0.0;
    double cornerLiftLevelSmoothed = 0.0;
    double cornerLiftFollow = 0.0;
    double cornerLiftFollowSlow = 0.0;
    double smileBlendMean = 0.0;
    double smileBlendWeighted = 0.0;
    double cornerSmileMean = 0.0;
    double cornerSmile = 0.0;
    double cornerSmileNet = 0.0;

    // Smile level above the threshold in percent, written when the level bar is drawn.
    int smileBarPct = 0;
};

// Start-of-frame reset: every value 0 except the eye-open percentages, which read 100, so a
// frame without a face reads as open eyes.
void resetFacialMetrics(FacialMetrics &record);
