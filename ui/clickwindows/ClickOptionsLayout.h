#pragma once

#include <QRect>
#include <QSize>

#include <array>

// The click-options window's numbers: where its widgets go as the window is resized, its size
// limits, and where it may stand on the screen. Plain functions of sizes and rectangles.
namespace ClickOptionsLayout {

// The widgets stacked from the top of the window down; each is placed below the one before.
enum Chain
{
    LeftClick,
    RightClick,
    Line,
    Times2,
    Drag,
    Scroll,
    Line2,
    ResetButton,
    Line3,
    PauseButton,
    ChainLength
};

// The mode buttons, each with its lock at its top-right corner.
constexpr std::array<Chain, 5> ModeButtons = {LeftClick, RightClick, Times2, Drag, Scroll};
constexpr int ModeIconSide = 35;
constexpr int LockSide = 20;
constexpr int LockIconSide = 15;
constexpr int FontPointSize = 9;
// From this width on the pause button stands a little lower.
constexpr int WideWindow = 110;

// The designed layout as the window first showed it: each widget's geometry, the top of the
// first, and for each later one the gap from the bottom row of the one above it.
struct Recorded
{
    std::array<QRect, ChainLength> geometry;
    int firstTop = 0;
    std::array<int, ChainLength - 1> gaps{};
};
Recorded record(const std::array<QRect, ChainLength> &geometry);

struct Placement
{
    std::array<QRect, ChainLength> chain;
    // One lock per mode button, in the order of ModeButtons.
    std::array<QRect, ModeButtons.size()> locks;
    int modeIconSide = 0;
    int lockIconSide = 0;
    // The pause and reset buttons' font size; 0 when it stays as it is.
    int fontPointSize = 0;
};
// The layout at `scale` times the recorded height with the widgets `widthGrowth` pixels wider,
// in a window `width` pixels wide.
Placement place(const Recorded &recorded, double scale, int widthGrowth, int width);

// The proportional conversions; with no ratio yet the width is taken as the height.
int heightForWidth(double aspectRatio, int width);
int widthForHeight(double aspectRatio, int height);
// The largest size: the whole available height in the form's proportion, never below `minimum`.
QSize maximumSize(QSize formSize, int availableHeight, QSize minimum);
// The frame moved so that it stands inside `screen`, its size kept; where both cannot hold,
// the left and top edges win.
QRect clampToScreen(const QRect &frame, const QRect &screen);

} // namespace ClickOptionsLayout
