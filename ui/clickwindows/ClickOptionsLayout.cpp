#include "ui/clickwindows/ClickOptionsLayout.h"

#include <algorithm>

namespace ClickOptionsLayout {

namespace {

// The bottom row of a rectangle: its top plus its height less one.
int bottomRow(const QRect &r)
{
    return r.y() + r.height() - 1;
}

} // namespace

Recorded record(const std::array<QRect, ChainLength> &geometry)
{
    Recorded recorded;
    recorded.geometry = geometry;
    recorded.firstTop = geometry[0].y();
    for (int i = 1; i < ChainLength; ++i)
        recorded.gaps[size_t(i - 1)] = geometry[size_t(i)].y() - bottomRow(geometry[size_t(i - 1)]);
    return recorded;
}

Placement place(const Recorded &recorded, double scale, int widthGrowth, int width)
{
    Placement placement;
    const double s = scale;
    placement.modeIconSide = int(ModeIconSide * s);
    placement.lockIconSide = int(LockIconSide * s);
    const int lockSide = int(LockSide * s);

    int y = int(recorded.firstTop * s);
    for (int i = 0; i < ChainLength; ++i) {
        const QRect &was = recorded.geometry[size_t(i)];
        if (i > 0) {
            const QRect &above = recorded.geometry[size_t(i - 1)];
            double next = above.height() * s + recorded.gaps[size_t(i - 1)] * s + y;
            if (i == PauseButton)
                next += width >= WideWindow ? 3 * s : -3 * s;
            y = int(next);
        }
        placement.chain[size_t(i)] =
            QRect(was.x(), y, was.width() + widthGrowth, int(was.height() * s));
    }

    for (size_t m = 0; m < ModeButtons.size(); ++m) {
        const QRect &mode = recorded.geometry[size_t(ModeButtons[m])];
        const int rightColumn = mode.x() + mode.width() - 1;
        placement.locks[m] = QRect(rightColumn + widthGrowth - lockSide,
                                   placement.chain[size_t(ModeButtons[m])].y(), lockSide, lockSide);
    }

    const int points = int(FontPointSize * s);
    placement.fontPointSize = points == FontPointSize ? 0 : std::max(points, 1);
    return placement;
}

int heightForWidth(double aspectRatio, int width)
{
    return aspectRatio == 0 ? width : int(width / aspectRatio);
}

int widthForHeight(double aspectRatio, int height)
{
    return int(height * aspectRatio);
}

QSize maximumSize(QSize formSize, int availableHeight, QSize minimum)
{
    if (formSize.height() <= 0 || availableHeight <= 0)
        return minimum;
    const int width = int(qint64(formSize.width()) * availableHeight / formSize.height());
    return QSize(std::max(width, minimum.width()), std::max(availableHeight, minimum.height()));
}

QRect clampToScreen(const QRect &frame, const QRect &screen)
{
    QRect r = frame;
    const int right = screen.x() + screen.width();
    const int bottom = screen.y() + screen.height();
    if (r.x() + r.width() > right)
        r.moveLeft(right - r.width());
    if (r.y() + r.height() > bottom)
        r.moveTop(bottom - r.height());
    if (r.x() < screen.x())
        r.moveLeft(screen.x());
    if (r.y() < screen.y())
        r.moveTop(screen.y());
    return r;
}

} // namespace ClickOptionsLayout
