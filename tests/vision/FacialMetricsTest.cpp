// The facial measurements on drawn faces: distances, ratios, smoothing, head motion and the
// histogram gate, with round numbers that can be checked by hand.

#include "core/Clock.h"
#include "tests/vision/SyntheticFace.h"
#include "vision/ComputeFacialMetrics.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr quint32 kStart = 3'000'000;

// Runs frames through the measurements and shifts the records as the frame loop does.
struct FrameRun
{
    FrameRun() { resetHeadMotionState(previousMotion, 0); }

    bool run(const FrameDetection &frame, cv::Point2d region0 = {}, cv::Point2d region2 = {})
    {
        current = frame;
        resetFacialMetrics(metrics);
        resetHeadMotionState(motion, frame.frameTimeMs);
        const bool ok = computeFacialMetrics(current, metrics, previous, previousMetrics, motion,
                                             previousMotion, region0, region2, inputs, state);
        previous = current;
        previousMetrics = metrics;
        previousMotion = motion;
        return ok;
    }

    FakeClock clock;
    FacialMetricsState state;
    MetricsInputs inputs;
    FrameDetection previous, current;
    FacialMetrics previousMetrics, metrics;
    HeadMotionState previousMotion, motion;
};

void expectFinite(const FacialMetrics &m, const HeadMotionState &s)
{
    const double values[] = {
        s.frameIntervalMs,
        s.headVelocity.x,
        s.headVelocity.y,
        s.pointerVelocity.x,
        s.pointerVelocity.y,
        s.smoothedPointerVelocity.x,
        s.normalisedVelocity.x,
        s.smoothedNormalisedVelocity.y,
        s.headSpeed,
        s.headSpeedMean[0],
        s.lipRelShift.y,
        s.lipMotionSmoothed,
        s.browMotionPct,
        s.bridgeMotion,
        m.eyeOpenPct,
        m.steadyEyeOpenPct,
        m.eyeClosurePct,
        m.mouthOpenPct,
        m.cornerLift,
        m.browHeightLeftPct,
        m.regionTilt[4],
        m.eyeLineShakePct,
        m.eyeLineShakeRate,
        m.eyeLineTiltPct,
        m.lidToLipPct,
        m.smileLevel,
        m.smileLevelSmoothed,
        m.blinkLevelA,
        m.unreliability,
    };
    for (double v : values)
        EXPECT_TRUE(std::isfinite(v)) << v;
}

TEST(FacialMetrics, MeasuresTheDrawnFace)
{
    FrameRun r;
    ASSERT_TRUE(r.run(frameWithFace(syntheticFace(), kStart)));
    const FacialMetrics &m = r.metrics;
    EXPECT_EQ(m.faceRect, cv::Rect(100, 100, 200, 200));
    EXPECT_EQ(m.landmarkCopies[0], cv::Point(130, 140));
    EXPECT_EQ(m.landmarkCopies[28], cv::Point(250, 110));
    EXPECT_DOUBLE_EQ(m.noseLength, 55.0);
    EXPECT_DOUBLE_EQ(m.lipSpan, 90.0);
    EXPECT_DOUBLE_EQ(m.eyeSpan, 140.0);
    EXPECT_DOUBLE_EQ(m.mouthWidth, 80.0);
    EXPECT_DOUBLE_EQ(m.jawSpan, 200.0);
    EXPECT_DOUBLE_EQ(m.meanEyeWidth, 45.0);
    EXPECT_DOUBLE_EQ(m.meanLidGap, 14.0);
    EXPECT_DOUBLE_EQ(m.eyeOpenPct, 14.0 / 45.0 * 100.0);
    EXPECT_DOUBLE_EQ(m.eyeClosurePct, 100.0 - 14.0 / 45.0 * 100.0);
    EXPECT_DOUBLE_EQ(m.innerLipGap, 8.0);
    EXPECT_DOUBLE_EQ(m.mouthOpenPct, 8.0 / 90.0 * 100.0);
    EXPECT_EQ(m.mouthRatioEye, 57);
    EXPECT_EQ(m.mouthRatioJaw, 40);
    EXPECT_DOUBLE_EQ(m.cornerLift, (140.0 - (230 + 230 - 2 * 228)) / 280.0 * 100.0);
    EXPECT_DOUBLE_EQ(m.browHeightLeftPct, std::hypot(2.5, 30.0) / 55.0 * 100.0);
    // The first frame has nothing to smooth with.
    EXPECT_DOUBLE_EQ(m.smoothedEyeSpan, 140.0);
    EXPECT_DOUBLE_EQ(m.smoothedMouthWidth, 80.0);
    EXPECT_EQ(m.smileRatio, 57);
}

TEST(FacialMetrics, SmoothsFollowingFramesAndRestartsAfterAGap)
{
    FaceShape wider = syntheticFace();
    wider.points[48].x -= 5;
    wider.points[54].x += 5;

    FrameRun r;
    r.run(frameWithFace(syntheticFace(), kStart));
    r.run(frameWithFace(wider, kStart + 31));
    EXPECT_DOUBLE_EQ(r.motion.frameIntervalMs, 31.0);
    const double smoothed = 80.0 * (1 - 0.309) + 90.0 * 0.309;
    EXPECT_DOUBLE_EQ(r.metrics.smoothedMouthWidth, smoothed);
    EXPECT_DOUBLE_EQ(r.metrics.smoothedEyeSpan, 140.0 * 0.8455 + 140.0 * 0.1545);
    EXPECT_EQ(r.metrics.smileRatio, int(smoothed / r.metrics.smoothedEyeSpan * 100.0));

    // 800 ms later still follows on; 801 ms restarts from the raw value.
    r.run(frameWithFace(syntheticFace(), kStart + 831));
    EXPECT_DOUBLE_EQ(r.metrics.smoothedMouthWidth, smoothed * (1 - 0.309) + 80.0 * 0.309);
    r.run(frameWithFace(wider, kStart + 1632));
    EXPECT_DOUBLE_EQ(r.metrics.smoothedMouthWidth, 90.0);
    EXPECT_EQ(r.motion.smoothedPointerVelocity, cv::Point2d());
}

TEST(FacialMetrics, EqualFrameTimesGiveNoVelocityAndNoInfinity)
{
    FrameRun r;
    r.run(frameWithFace(syntheticFace(), kStart));
    FrameDetection same = frameWithFace(syntheticFace(), kStart, {3, 1});
    same.trimmedShift.fill({3, 1});
    ASSERT_TRUE(r.run(same, {3, 1}));
    EXPECT_DOUBLE_EQ(r.motion.frameIntervalMs, 0.0);
    EXPECT_EQ(r.motion.headShift, cv::Point2d(3, 1));
    EXPECT_EQ(r.motion.headVelocity, cv::Point2d());
    EXPECT_EQ(r.motion.pointerShift, cv::Point2d(3, 1));
    EXPECT_EQ(r.motion.pointerVelocity, cv::Point2d());
    expectFinite(r.metrics, r.motion);
}

TEST(FacialMetrics, AFaceWithoutSpanGivesZeroRatiosNotInfinity)
{
    FaceShape point = syntheticFace();
    for (cv::Point &p : point.points)
        p = {200, 200};
    FrameRun r;
    ASSERT_TRUE(r.run(frameWithFace(point, kStart)));
    FrameDetection moved = frameWithFace(point, kStart + 31);
    moved.trimmedShift.fill({2, 0});
    ASSERT_TRUE(r.run(moved, {2, 0}));
    const FacialMetrics &m = r.metrics;
    EXPECT_EQ(m.mouthRatioEye, 0);
    EXPECT_EQ(m.mouthRatioJaw, 0);
    EXPECT_DOUBLE_EQ(m.cornerLift, 0.0);
    EXPECT_DOUBLE_EQ(m.noseLength, 1000.0);
    EXPECT_DOUBLE_EQ(m.eyeOpenPct, 100.0);
    EXPECT_DOUBLE_EQ(m.eyeLineShakePct, 0.0);
    EXPECT_NE(r.motion.pointerVelocity, cv::Point2d());
    EXPECT_EQ(r.motion.normalisedVelocity, cv::Point2d());
    expectFinite(m, r.motion);
}

TEST(FacialMetrics, NoFaceLeavesTheResetValuesAndAnIncompleteShapeFails)
{
    FrameRun r;
    FrameDetection none;
    none.frameTimeMs = kStart;
    EXPECT_TRUE(r.run(none));
    EXPECT_DOUBLE_EQ(r.metrics.eyeOpenPct, 100.0);
    EXPECT_DOUBLE_EQ(r.metrics.eyeClosurePct, 0.0);
    EXPECT_EQ(r.state.mouthEyeRatio.sampleCount(), 0);

    FrameDetection partial = frameWithFace(syntheticFace(), kStart + 31);
    partial.landmarks.points.resize(40);
    EXPECT_FALSE(r.run(partial));
}

TEST(FacialMetrics, InnerLipAboveTheOuterLipIsNoOpening)
{
    FaceShape shape = syntheticFace();
    shape.points[62] = {200, 215}; // above 51, seen from the nose tip
    FrameRun r;
    r.run(frameWithFace(shape, kStart));
    EXPECT_DOUBLE_EQ(r.metrics.innerLipGap, 0.0);
    EXPECT_DOUBLE_EQ(r.metrics.mouthOpenPct, 0.0);
}

TEST(FacialMetrics, AHeadJumpBeyondTheFaceDiagonalIsNoHeadMotion)
{
    FrameRun r;
    r.run(frameWithFace(syntheticFace(), kStart));
    r.run(frameWithFace(syntheticFace(), kStart + 31), {200, 200}); // exactly the diagonal
    EXPECT_EQ(r.motion.headShift, cv::Point2d(200, 200));
    r.run(frameWithFace(syntheticFace(), kStart + 62), {201, 200});
    EXPECT_EQ(r.motion.headShift, cv::Point2d());
    EXPECT_DOUBLE_EQ(r.motion.headShiftLength, 0.0);
    r.run(frameWithFace(syntheticFace(), kStart + 93), {4, -2});
    EXPECT_EQ(r.motion.headShift, cv::Point2d(4, -2));
    EXPECT_EQ(r.motion.headShiftX20, 80);
    EXPECT_EQ(r.motion.headVelocity, cv::Point2d(4, -2) / 31.0 * 1000.0);
}

TEST(FacialMetrics, LipMotionIsMeasuredRelativeToTheHead)
{
    FrameRun r;
    r.run(frameWithFace(syntheticFace(), kStart));
    FaceShape lipDown = syntheticFace();
    lipDown.points[51].y += 6;
    FrameDetection detected = frameWithFace(lipDown, kStart + 31, {4, 0});
    detected.hogFaceFound = true;
    r.run(detected, {4, 0});
    EXPECT_EQ(r.motion.lipShift, cv::Point2d(4, 6));
    EXPECT_NEAR(r.motion.lipRelShift.x, 0.0, 1e-12);
    EXPECT_NEAR(r.motion.lipRelShift.y, 3.0, 1e-12); // 6 px of a 200 px face
    EXPECT_NEAR(r.motion.lipMotion, 3.0, 1e-12);
    EXPECT_NEAR(r.motion.lipMotionSmoothed, 3.0 * 0.309, 1e-12);
    EXPECT_NEAR(r.motion.lipMotionSlow, 3.0 * 0.309 * 0.2, 1e-12);
    EXPECT_NEAR(r.motion.lipRelShiftSum.y, 3.0, 1e-12);
    EXPECT_DOUBLE_EQ(r.motion.browMotion, 0.0);

    // Without a detection the sum runs on; a detection restarts it.
    FaceShape lipFurther = lipDown;
    lipFurther.points[51].y += 6;
    r.run(frameWithFace(lipFurther, kStart + 62, {4, 0}), {0, 0});
    EXPECT_NEAR(r.motion.lipRelShiftSum.y, 6.0, 1e-12);
    FrameDetection again = frameWithFace(lipDown, kStart + 93, {4, 0});
    again.hogFaceFound = true;
    r.run(again);
    EXPECT_NEAR(r.motion.lipRelShiftSum.y, -3.0, 1e-12);
}

TEST(FacialMetrics, TheSteadierEyeMeasuresClosureAndChoosesTheBrow)
{
    FaceShape shape = syntheticFace();
    shape.points[24].y = 100; // right brow raised
    for (int i : {43, 44})
        shape.points[i].y = 135; // right eye narrower: lid gap 10
    for (int i : {46, 47})
        shape.points[i].y = 145;
    const double leftBrow = std::hypot(2.5, 30.0) / 55.0 * 100.0;
    const double rightBrow = std::hypot(2.5, 40.0) / 55.0 * 100.0;

    FrameRun r;
    r.run(frameWithFace(shape, kStart));
    // No corner moved: the left eye counts, and both brows.
    EXPECT_DOUBLE_EQ(r.metrics.steadyEyeGap, 14.0);
    EXPECT_DOUBLE_EQ(r.metrics.browRaise, rightBrow);

    FaceShape leftCornerMoved = shape;
    leftCornerMoved.points[39].x += 5;
    r.run(frameWithFace(leftCornerMoved, kStart + 31));
    EXPECT_DOUBLE_EQ(r.metrics.cornerMotionLeft, 5.0);
    EXPECT_DOUBLE_EQ(r.metrics.steadyEyeGap, 10.0);
    EXPECT_DOUBLE_EQ(r.metrics.steadyEyeOpenPct, 10.0 / 45.0 * 100.0);
    EXPECT_DOUBLE_EQ(r.metrics.browRaise, rightBrow);
    EXPECT_LT(leftBrow, rightBrow);
}

TEST(FacialMetrics, AbsoluteModeUsesTheSteadierShiftAndAccumulatesUnlessFrozen)
{
    FrameRun r;
    const auto frameAt = [](quint32 t) {
        FrameDetection f = frameWithFace(syntheticFace(), t);
        f.trimmedShift[FrameDetection::DropLongest75] = {1, 0};
        f.trimmedShift[FrameDetection::DropShortest10Longest65] = {2, 0};
        return f;
    };
    r.run(frameAt(kStart));
    EXPECT_EQ(r.motion.pointerShift, cv::Point2d(2, 0));

    r.inputs.absoluteMode = true;
    r.run(frameAt(kStart + 31));
    EXPECT_EQ(r.motion.pointerShift, cv::Point2d(1, 0));
    r.run(frameAt(kStart + 62));
    EXPECT_EQ(r.motion.absolutePosition, cv::Point2d(2, 0));
    EXPECT_EQ(r.motion.absolutePositionMean[0], cv::Point2d(1.5, 0));

    r.inputs.pointerFrozen = true;
    r.run(frameAt(kStart + 93));
    EXPECT_EQ(r.motion.absolutePosition, cv::Point2d(2, 0));

    // A head faster than ABSOMODE_FZS_2 (50 px/s) drives with the other mean.
    r.inputs.pointerFrozen = false;
    r.run(frameAt(kStart + 124), {3, 0});
    EXPECT_EQ(r.motion.pointerShift, cv::Point2d(2, 0));
    EXPECT_EQ(r.motion.absolutePosition, cv::Point2d(4, 0));

    // A frame without a face (or with half a shape) keeps the sums: the pointer stays put.
    const std::array<double, 3> tilt = r.metrics.regionTiltSum;
    for (const bool partial : {false, true}) {
        FrameDetection lost = partial ? frameAt(kStart + 155) : FrameDetection();
        lost.frameTimeMs = kStart + 155;
        if (partial)
            lost.landmarks.points.resize(40);
        r.run(lost);
        EXPECT_EQ(r.motion.absolutePosition, cv::Point2d(4, 0));
        EXPECT_EQ(r.metrics.regionTiltSum, tilt);
    }
    r.run(frameAt(kStart + 186));
    EXPECT_EQ(r.motion.absolutePosition, cv::Point2d(5, 0));
}

TEST(FacialMetrics, HistogramsLearnOnlyFromReliableFramesBeforeTwelveActions)
{
    FrameRun r;
    r.previousMetrics.unreliability = 0.2;
    r.run(frameWithFace(syntheticFace(), kStart));
    EXPECT_EQ(r.state.mouthEyeRatio.sampleCount(), 0);
    EXPECT_GT(r.state.skippedSamples, 0);

    FrameRun busy;
    busy.inputs.actionCount = 12;
    busy.run(frameWithFace(syntheticFace(), kStart));
    EXPECT_EQ(busy.state.eyeClosure.sampleCount(), 0);

    FrameRun fresh;
    fresh.run(frameWithFace(syntheticFace(), kStart));
    EXPECT_EQ(fresh.state.mouthEyeRatio.sampleCount(), 1);
    EXPECT_EQ(fresh.state.mouthEyeRatio.binCount(57), 1);
    EXPECT_EQ(fresh.state.eyeClosure.binCount(69), 1);
    // Settled frames add the smoothed and the adaptive ratio too.
    fresh.run(frameWithFace(syntheticFace(), kStart + 31));
    EXPECT_EQ(fresh.state.mouthEyeRatio.sampleCount(), 4);
}

TEST(FacialMetrics, LipsThatMoveWhileTheHeadStaysAreUnreliable)
{
    FrameRun r;
    quint32 t = kStart;
    double previous = 0.0;
    for (int i = 0; i < 20; ++i, t += 31) {
        FaceShape shape = syntheticFace();
        shape.points[51].y += (i % 2) ? 20 : 0;
        r.run(frameWithFace(shape, t));
        if (r.metrics.unreliableFrame) {
            EXPECT_DOUBLE_EQ(r.metrics.unreliability, 0.2 + 0.8 * previous);
        }
        previous = r.metrics.unreliability;
    }
    EXPECT_GT(r.motion.lipMotionSlow, 2.0);
    EXPECT_EQ(r.metrics.unreliableFrame, 1);
    EXPECT_GT(r.metrics.unreliability, 0.2);

    // The HOG detector seeing the face makes the frame reliable.
    FaceShape shape = syntheticFace();
    FrameDetection seen = frameWithFace(shape, t);
    seen.hogFaceFound = true;
    r.run(seen);
    EXPECT_EQ(r.metrics.unreliableFrame, 0);
}

TEST(FacialMetrics, SmileLevelsBlendTheLearntRatios)
{
    FrameRun r;
    // Learnt ranges, before any refresh of the percentiles: "w" 35..70, "j" 23..63 (its seed
    // stays below what it counts), "l" 30..100.
    for (int i = 0; i < 100; ++i) {
        r.state.mouthEyeRatio.add(i % 2 ? 40 : 70);
        r.state.mouthJawRatio.add(i % 2 ? 30 : 63);
        r.state.cornerLift.add(i % 2 ? 30 : 130);
    }
    r.run(frameWithFace(syntheticFace(), kStart));
    const FacialMetrics &m = r.metrics;
    const double a = (57 - 35) * 100.0 / 35.0;
    const double b = std::min(a, (40 - 23) * 100.0 / 40.0);
    const double corner = (m.cornerLift - 30.0) * 100.0 / 70.0;
    EXPECT_DOUBLE_EQ(m.mouthRatioEyeLevel, a);
    EXPECT_DOUBLE_EQ(m.rawSmileLevel, b);
    EXPECT_DOUBLE_EQ(m.cornerLiftLevel, corner);
    // The first frame has no followers yet: they take the levels.
    EXPECT_DOUBLE_EQ(m.smileLevelAFollow, a);
    EXPECT_DOUBLE_EQ(m.smileLevelBFollow, b);
    EXPECT_DOUBLE_EQ(m.cornerLiftFollow, corner);
    // Corner lift below level A: weighted 0.62 / 0.38.
    EXPECT_DOUBLE_EQ(m.cornerSmile, a * 0.62 + corner * 0.38);
    // Corner lift below level B: the plain mean; the cap weighs 0.66 / 0.34.
    EXPECT_DOUBLE_EQ(m.mouthSmile, (b + corner) / 2.0);
    EXPECT_DOUBLE_EQ(m.cornerSmileCap, b * 0.66 + corner * 0.34);
    EXPECT_DOUBLE_EQ(m.mouthSmileNet, m.mouthSmile);
    EXPECT_DOUBLE_EQ(m.capSmileNet, m.cornerSmileCap);
    EXPECT_EQ(m.smileCandidateSource, 2);
    EXPECT_DOUBLE_EQ(m.smileBase, m.capSmileNet);
    EXPECT_DOUBLE_EQ(m.smileLevel, m.smileBase);
    EXPECT_DOUBLE_EQ(m.smileLevelSmoothed, m.smileLevel);

    // While the click engine holds a smile stage, level B lifts the base.
    FrameRun staged;
    staged.state = r.state;
    staged.inputs.smilePending = true;
    staged.run(frameWithFace(syntheticFace(), kStart));
    EXPECT_LT(staged.metrics.capSmileNet, b);
    EXPECT_DOUBLE_EQ(staged.metrics.smileBase, b);
}

TEST(FacialMetrics, HeadSpeedMeansCoverTheirSpans)
{
    FrameRun r;
    quint32 t = kStart;
    for (int i = 0; i < 40; ++i, t += 31) {
        FrameDetection f = frameWithFace(syntheticFace(), t);
        f.trimmedShift.fill({3.1, 0});
        r.run(f);
    }
    // A steady 100 px/s, reached by the half-and-half smoothing long ago.
    EXPECT_NEAR(r.motion.headSpeed, 100.0, 1e-6);
    EXPECT_NEAR(r.motion.headSpeedMean[0], 100.0, 1e-6);
    EXPECT_LT(r.motion.headSpeedMean[3], 100.0); // the first frames were slower
    EXPECT_GT(r.motion.headSpeedMean[3], 90.0);
}

} // namespace
