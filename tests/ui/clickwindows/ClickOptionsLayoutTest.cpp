// The click-options window's numbers: the layout at a scale, the proportional conversions, the
// size limits and how far the window may stand off the screen.

#include "ui/clickwindows/ClickOptionsLayout.h"

#include <QString>
#include <gtest/gtest.h>

using namespace ClickOptionsLayout;

namespace {

// The form's widgets, top to bottom, as designed.
Recorded designed()
{
    return record({QRect(8, 10, 75, 60), QRect(8, 82, 75, 60), QRect(-1, 150, 94, 3),
                   QRect(8, 168, 75, 60), QRect(8, 240, 75, 60), QRect(8, 314, 75, 60),
                   QRect(-3, 384, 94, 3), QRect(8, 398, 75, 39), QRect(0, 450, 94, 3),
                   QRect(8, 464, 75, 75)});
}

std::vector<int> tops(const Placement &p)
{
    std::vector<int> result;
    for (const QRect &r : p.chain)
        result.push_back(r.y());
    return result;
}

TEST(ClickOptionsLayout, AtItsOwnSizeEachWidgetSitsOnePixelBelowTheOneAbove)
{
    const Recorded r = designed();
    EXPECT_EQ(r.firstTop, 10);
    EXPECT_EQ(std::vector<int>(r.gaps.begin(), r.gaps.end()),
              (std::vector<int>{13, 9, 16, 13, 15, 11, 12, 14, 12}));

    const Placement narrow = place(r, 1.0, 0, 91);
    EXPECT_EQ(tops(narrow), (std::vector<int>{10, 83, 152, 171, 244, 319, 390, 405, 458, 470}));
    // A wide window lowers only the pause button.
    EXPECT_EQ(place(r, 1.0, 0, 110).chain[PauseButton].y(), 476);
    EXPECT_EQ(place(r, 1.0, 0, 109).chain[PauseButton].y(), 470);
    for (size_t m = 0; m < ModeButtons.size(); ++m)
        EXPECT_EQ(narrow.locks[m], QRect(62, narrow.chain[ModeButtons[m]].y(), 20, 20));
    EXPECT_EQ(narrow.chain[Line], QRect(-1, 152, 94, 3));
    EXPECT_EQ(narrow.modeIconSide, 35);
    EXPECT_EQ(narrow.lockIconSide, 15);
    EXPECT_EQ(narrow.fontPointSize, 0);
}

TEST(ClickOptionsLayout, LargerWindowsScaleHeightsIconsAndFontsAndWidenTheButtons)
{
    // 690 high from 552 (s = 1.25), 22 pixels wider.
    const Placement p = place(designed(), 1.25, 22, 113);
    EXPECT_EQ(tops(p), (std::vector<int>{12, 103, 189, 212, 303, 396, 484, 502, 568, 590}));
    EXPECT_EQ(p.chain[LeftClick], QRect(8, 12, 97, 75));
    EXPECT_EQ(p.chain[ResetButton].size(), QSize(97, 48));
    EXPECT_EQ(p.chain[PauseButton].size(), QSize(97, 93));
    EXPECT_EQ(p.chain[Line2], QRect(-3, 484, 116, 3));
    // Each lock keeps to the top-right corner of its widened button.
    EXPECT_EQ(p.locks[1], QRect(82 + 22 - 25, 103, 25, 25));
    EXPECT_EQ(p.modeIconSide, 43);
    EXPECT_EQ(p.lockIconSide, 18);
    EXPECT_EQ(p.fontPointSize, 11);
}

TEST(ClickOptionsLayout, TheFontChangesOnlyWhenTheScaledSizeIsNotNine)
{
    struct Case
    {
        double scale;
        int points;
    };
    for (const Case &c :
         {Case{1.05, 0}, Case{1.11, 0}, Case{1.12, 10}, Case{0.84, 7}, Case{0.99, 8}}) {
        SCOPED_TRACE(c.scale);
        EXPECT_EQ(place(designed(), c.scale, 0, 91).fontPointSize, c.points);
    }
}

TEST(ClickOptionsLayout, ConversionsKeepTheProportionAndPassTheWidthWithoutOne)
{
    const double ratio = 91.0 / 552.0;
    EXPECT_EQ(widthForHeight(ratio, 690), 113);
    EXPECT_EQ(heightForWidth(ratio, 113), 685);
    EXPECT_EQ(heightForWidth(0, 113), 113);
}

TEST(ClickOptionsLayout, TheLargestSizeIsTheAvailableHeightInProportion)
{
    const QSize smallest(74, 460);
    EXPECT_EQ(maximumSize(QSize(91, 552), 1040, smallest), QSize(171, 1040));
    // A screen lower than the smallest window: the limits still hold together.
    EXPECT_EQ(maximumSize(QSize(91, 552), 400, smallest), QSize(74, 460));
    EXPECT_EQ(maximumSize(QSize(91, 552), 0, smallest), smallest);
}

TEST(ClickOptionsLayout, AWindowOffTheScreenComesBackWithItsWholeFrame)
{
    const QRect screen(0, 0, 1920, 1080);
    struct Case
    {
        QRect frame;
        QPoint kept;
    };
    const Case cases[] = {
        {QRect(100, 100, 93, 580), QPoint(100, 100)},        // on the screen
        {QRect(1900, 100, 93, 580), QPoint(1920 - 93, 100)}, // past the right edge
        {QRect(1828, 100, 93, 580), QPoint(1827, 100)},      // its border one pixel past it
        {QRect(100, 700, 93, 580), QPoint(100, 1080 - 580)}, // past the bottom
        {QRect(-50, -30, 93, 580), QPoint(0, 0)},            // past the left and the top
        {QRect(1827, 500, 93, 580), QPoint(1827, 500)},      // flush with two edges
        // Larger than the screen: the left and top edges win.
        {QRect(500, 500, 2000, 1200), QPoint(0, 0)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QString("%1,%2").arg(c.frame.x()).arg(c.frame.y()).toStdString());
        const QRect kept = clampToScreen(c.frame, screen);
        EXPECT_EQ(kept.topLeft(), c.kept);
        EXPECT_EQ(kept.size(), c.frame.size());
    }
}

} // namespace
