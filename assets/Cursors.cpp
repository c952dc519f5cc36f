// The program's cursors, shown on the whole desktop during smile hold stages, drags and
// scrolling: 32 by 32, drawn with QPainter, written as Windows cursor files.

#include "assets/CursorFile.h"
#include "assets/GeneratedAsset.h"
#include "assets/Palette.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int Side = 32;

QImage blank()
{
    QImage image(Side, Side, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// A small arrow pointer whose tip, at `tip`, is rounded off.
QPainterPath arrow(QPointF tip)
{
    QPainterPath path;
    const QPointF points[] = {{0, 0},      {0, 16.5},   {4.2, 12.6}, {7.0, 19.0},
                              {9.6, 17.9}, {6.9, 11.7}, {12.2, 11.7}};
    path.moveTo(tip + points[0]);
    for (const QPointF &p : points)
        path.lineTo(tip + p);
    path.closeSubpath();
    return path;
}

void outlineAndFill(QPainter &p, const QPainterPath &path, const QColor &fill)
{
    p.setPen(QPen(Palette::ink(), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
}

// A triangle pointing up (direction -1) or down (+1) with its flat side at baseY.
QPainterPath chevron(qreal baseY, int direction)
{
    QPainterPath path;
    const qreal tipY = baseY + direction * 8.5;
    path.moveTo(16 - 7, baseY);
    path.lineTo(16 + 7, baseY);
    path.lineTo(16, tipY);
    path.closeSubpath();
    return path;
}

void drawHub(QPainter &p)
{
    p.setPen(QPen(Palette::ink(), 1.6));
    p.setBrush(Palette::teal());
    p.drawEllipse(QPointF(16, 16), 4.5, 4.5);
}

QByteArray pointing()
{
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    outlineAndFill(p, arrow(QPointF(2, 2)), Palette::light());
    p.end();
    return toCursorFile(image, QPoint(2, 2));
}

QByteArray drag()
{
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    outlineAndFill(p, arrow(QPointF(2, 2)), Palette::amber());
    // A small held box at the arrow's heel: something is being carried.
    p.setPen(QPen(Palette::ink(), 1.4));
    p.setBrush(Palette::light());
    p.drawRoundedRect(QRectF(17.5, 18.5, 11, 11), 2, 2);
    p.setPen(QPen(Palette::teal(), 1.6));
    p.drawLine(QPointF(20, 24), QPointF(26, 24));
    p.drawLine(QPointF(23, 21), QPointF(23, 27));
    p.end();
    return toCursorFile(image, QPoint(2, 2));
}

QByteArray scroll(bool up, bool down)
{
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Palette::ink(), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Palette::light());
    if (up)
        p.drawPath(chevron(10.5, -1));
    if (down)
        p.drawPath(chevron(21.5, 1));
    drawHub(p);
    p.end();
    return toCursorFile(image, QPoint(16, 16));
}

} // namespace

std::vector<GeneratedAsset> cursorAssets()
{
    return {
        {"RoundedArrowTip-Small.cur", pointing},
        {"ScrollMid2.cur", [] { return scroll(true, true); }},
        {"ScrollUP2.cur", [] { return scroll(true, false); }},
        {"ScrollDOWN2.cur", [] { return scroll(false, true); }},
        {"DragArrowTip-Small.cur", drag},
    };
}
