// The per-frame records, their resets, and the preview segments drawn from a shape.

#include "core/Clock.h"
#include "vision/FacialMetrics.h"
#include "vision/FrameDetection.h"
#include "vision/HeadMotionState.h"
#include "vision/LandmarkSegment.h"

#include <gtest/gtest.h>

namespace {

FaceShape numberedShape(int points)
{
    FaceShape shape;
    shape.box = {10, 20, 110, 140};
    for (int i = 0; i < points; ++i)
        shape.points.emplace_back(i, 1000 + i);
    return shape;
}

TEST(FaceBox, EmptyBoxHasNoSize)
{
    const FaceBox empty;
    EXPECT_EQ(empty.width(), 0);
    EXPECT_EQ(empty.height(), 0);
    EXPECT_TRUE(empty.isEmpty());
    const FaceBox inverted{10, 10, 5, 20};
    EXPECT_EQ(inverted.width(), 0);
    EXPECT_TRUE(inverted.isEmpty());
    const FaceBox box{10, 20, 19, 49};
    EXPECT_EQ(box.width(), 10);
    EXPECT_EQ(box.height(), 30);
    EXPECT_EQ(box.area(), 300);
}

TEST(FaceShape, TranslateMovesBoxAndPointsAndResetEmptiesIt)
{
    FaceShape shape = numberedShape(68);
    translateShape(shape, 5, -7);
    EXPECT_EQ(shape.box, (FaceBox{15, 13, 115, 133}));
    EXPECT_EQ(shape.points[0], cv::Point(5, 993));
    EXPECT_EQ(shape.points[67], cv::Point(72, 1060));
    resetShape(shape);
    EXPECT_TRUE(shape.box.isEmpty());
    EXPECT_TRUE(shape.points.empty());
}

TEST(FrameRecords, ResetsClearEverythingAndStampTheTime)
{
    FakeClock clock(7'000'000'123LL);
    FrameDetection detection;
    detection.faceFound = detection.hogFaceFound = detection.haarFaceFound = true;
    detection.faceBox = {1, 2, 3, 4};
    detection.detectorBox = {1, 2, 3, 4};
    detection.landmarks = numberedShape(68);
    detection.regionShift = {2, 3};
    detection.trimmedShift[4] = {1, 1};
    detection.haarIsNewer = true;
    resetFrameDetection(detection);
    EXPECT_EQ(detection.frameTimeMs, quint32(7'000'000'123LL));
    EXPECT_FALSE(detection.faceFound || detection.hogFaceFound || detection.haarFaceFound);
    EXPECT_TRUE(detection.faceBox.isEmpty());
    EXPECT_TRUE(detection.detectorBox.isEmpty());
    EXPECT_TRUE(detection.landmarks.box.isEmpty());
    EXPECT_TRUE(detection.landmarks.points.empty());
    EXPECT_EQ(detection.regionShift, cv::Point2d());
    EXPECT_EQ(detection.trimmedShift[4], cv::Point2d());
    EXPECT_FALSE(detection.haarIsNewer);

    FacialMetrics metrics;
    metrics.eyeOpenPct = 20;
    metrics.smileLevel = 80;
    resetFacialMetrics(metrics);
    EXPECT_EQ(metrics.smileLevel, 0.0);
    // A lost face reads as open eyes: no closure, no blink.
    EXPECT_EQ(metrics.eyeOpenPct, 100.0);
    EXPECT_EQ(metrics.steadyEyeOpenPct, 100.0);
    EXPECT_EQ(metrics.steadyEyeOpenSmoothedPct, 100.0);
}

TEST(FrameRecords, HeadMotionResetKeepsTheAbsoluteSeries)
{
    HeadMotionState motion;
    motion.absoluteSeriesX.add(100, 1.0);
    motion.absoluteSeriesY.add(100, 2.0);
    motion.headSpeed = 5;
    motion.absolutePosition = {3, 4};
    resetHeadMotionState(motion, 4321, cv::Point(640, 360));
    EXPECT_EQ(motion.timeMs, 4321u);
    EXPECT_EQ(motion.frameIntervalMs, 60.0);
    EXPECT_EQ(motion.headSpeed, 0.0);
    EXPECT_EQ(motion.absolutePosition, cv::Point2d());
    EXPECT_EQ(motion.cursorAtFrameStart, cv::Point(640, 360));
    EXPECT_EQ(motion.absoluteSeriesX.size(), 1u);
    EXPECT_EQ(motion.absoluteSeriesY.size(), 1u);
}

TEST(LandmarkSegments, BrowsAndBothLipOutlinesClosed)
{
    const FaceShape shape = numberedShape(68);
    const auto segments = landmark_segments_basic(shape);
    ASSERT_EQ(segments.size(), 4u + 4u + 12u + 8u);
    const auto ends = [&](size_t i) {
        return std::make_pair(segments[i].from.x, segments[i].to.x);
    };
    EXPECT_EQ(ends(0), std::make_pair(17, 18));
    EXPECT_EQ(ends(3), std::make_pair(20, 21));
    EXPECT_EQ(ends(4), std::make_pair(22, 23));
    EXPECT_EQ(ends(8), std::make_pair(48, 49));
    EXPECT_EQ(ends(19), std::make_pair(59, 48));
    EXPECT_EQ(ends(20), std::make_pair(60, 61));
    EXPECT_EQ(ends(27), std::make_pair(67, 60));
    EXPECT_TRUE(landmark_segments_basic(numberedShape(67)).empty());
}

} // namespace
