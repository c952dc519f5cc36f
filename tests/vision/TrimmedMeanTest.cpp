// Trimmed means of the feature shifts, which keep a few stray points from moving the pointer.

#include "vision/TrimmedMean.h"

#include <gtest/gtest.h>

namespace {

// Lengths 1 to 10 along x: 1, 2, ..., 10.
std::vector<cv::Point2f> tenShifts()
{
    std::vector<cv::Point2f> shifts;
    for (int i = 10; i >= 1; --i)
        shifts.emplace_back(float(i), 0.0f);
    return shifts;
}

TEST(TrimmedMean, AnEmptyListIsNoShift)
{
    EXPECT_EQ(trimmedMeanDisplacement({}, 0.25, TrimMode::Longest), cv::Point2d());
    EXPECT_EQ(trimmedMeanDisplacement2({}, 0.1, 0.65), cv::Point2d());
}

TEST(TrimmedMean, AListShorterThanOneOverTheFractionDropsNothing)
{
    const std::vector<cv::Point2f> shifts{{1, 1}, {2, 2}, {3, 3}};
    EXPECT_EQ(trimmedMeanDisplacement(shifts, 0.25, TrimMode::Both), cv::Point2d(2, 2));
}

TEST(TrimmedMean, DropsTheLongestTheShortestOrBoth)
{
    const auto shifts = tenShifts();
    EXPECT_EQ(trimmedMeanDisplacement(shifts, 0.25, TrimMode::Longest), cv::Point2d(4.5, 0));
    EXPECT_EQ(trimmedMeanDisplacement(shifts, 0.25, TrimMode::Shortest), cv::Point2d(6.5, 0));
    EXPECT_EQ(trimmedMeanDisplacement(shifts, 0.2, TrimMode::Both), cv::Point2d(5.5, 0));
    // Dropping half at both ends leaves nothing.
    EXPECT_EQ(trimmedMeanDisplacement(shifts, 0.5, TrimMode::Both), cv::Point2d());
}

TEST(TrimmedMean, SortsByLengthNotByDirection)
{
    // The outlier points left; by length it is still the longest.
    const std::vector<cv::Point2f> shifts{{2, 0}, {0, 2}, {-40, 0}, {2, 0}};
    EXPECT_EQ(trimmedMeanDisplacement(shifts, 0.25, TrimMode::Longest),
              cv::Point2d(4.0 / 3, 2.0 / 3));
}

TEST(TrimmedMean, TheSecondFormCountsBothDropsFromTheWholeList)
{
    // 10 shifts: 6 longest and 1 shortest go, 2, 3 and 4 remain.
    EXPECT_EQ(trimmedMeanDisplacement2(tenShifts(), 0.1, 0.65), cv::Point2d(3, 0));
}

TEST(TrimmedMean, RegionShiftsComeInTheirRecordOrder)
{
    const auto all = regionTrimmedShifts(tenShifts());
    EXPECT_EQ(all[FrameDetection::DropLongest25], cv::Point2d(4.5, 0));
    EXPECT_EQ(all[FrameDetection::DropLongest75], cv::Point2d(2, 0));
    EXPECT_EQ(all[FrameDetection::DropShortest50], cv::Point2d(8, 0));
    EXPECT_EQ(all[FrameDetection::DropBoth30], cv::Point2d(5.5, 0));
    EXPECT_EQ(all[FrameDetection::DropShortest10Longest65], cv::Point2d(3, 0));
}

} // namespace
