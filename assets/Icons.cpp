// The main window's button icons. Each comes in two looks drawn from the same shape: dark grey
// for a button at rest on the light panel, near-white for a checked button on its dark grey
// background. Shapes are drawn on a 100 x 100 grid with one stroke width, so the set reads as
// one family at every size the buttons use.

#include "assets/GeneratedAsset.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

namespace {

const int IconSide = 128;
const qreal Stroke = 7.0;
const QColor RestColour(84, 84, 84);
const QColor CheckedColour(242, 242, 242);

using Shape = void (*)(QPainter &, const QColor &);

QByteArray toPng(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return bytes;
}

QByteArray render(Shape shape, const QColor &colour)
{
    QImage image(IconSide, IconSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(IconSide / 100.0, IconSide / 100.0);
    shape(p, colour);
    p.end();
    return toPng(image);
}

QPen outline(const QColor &colour, qreal width = Stroke)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void fillOnly(QPainter &p, const QColor &colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
}

void strokeOnly(QPainter &p, const QColor &colour, qreal width = Stroke)
{
    p.setPen(outline(colour, width));
    p.setBrush(Qt::NoBrush);
}

// A cog of eight teeth around a hole.
void settingsShape(QPainter &p, const QColor &colour)
{
    const QPointF centre(50, 50);
    const int teeth = 8;
    QPolygonF cog;
    for (int i = 0; i < teeth * 2; ++i) {
        // Alternating outer (tooth) and inner (gap) arcs, each a sixteenth of the turn.
        const qreal radius = (i % 2 == 0) ? 42 : 32;
        const qreal from = i * 360.0 / (teeth * 2) - 360.0 / (teeth * 4) + 4;
        const qreal to = from + 360.0 / (teeth * 2) - 8;
        for (qreal a : {from, to})
            cog << QPointF(centre.x() + radius * qCos(qDegreesToRadians(a)),
                           centre.y() + radius * qSin(qDegreesToRadians(a)));
    }
    fillOnly(p, colour);
    p.drawPolygon(cog);
    // The hole lets the background through.
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.drawEllipse(centre, 14, 14);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// A target: a ring, a centre dot and four ticks reaching in from outside.
void calibrateShape(QPainter &p, const QColor &colour)
{
    strokeOnly(p, colour);
    p.drawEllipse(QPointF(50, 50), 30, 30);
    p.drawLine(QPointF(50, 6), QPointF(50, 30));
    p.drawLine(QPointF(50, 70), QPointF(50, 94));
    p.drawLine(QPointF(6, 50), QPointF(30, 50));
    p.drawLine(QPointF(70, 50), QPointF(94, 50));
    fillOnly(p, colour);
    p.drawEllipse(QPointF(50, 50), 7, 7);
}

void faceOutline(QPainter &p, const QColor &colour, const QPointF &centre, qreal radius,
                 bool smiling)
{
    strokeOnly(p, colour);
    p.drawEllipse(centre, radius, radius);
    fillOnly(p, colour);
    const qreal eyeY = centre.y() - radius * 0.25;
    p.drawEllipse(QPointF(centre.x() - radius * 0.36, eyeY), radius * 0.12, radius * 0.14);
    p.drawEllipse(QPointF(centre.x() + radius * 0.36, eyeY), radius * 0.12, radius * 0.14);
    if (smiling) {
        strokeOnly(p, colour);
        const QRectF mouth(centre.x() - radius * 0.5, centre.y() - radius * 0.2, radius,
                           radius * 0.75);
        p.drawArc(mouth, 200 * 16, 140 * 16);
    }
}

// A smiling face with a click burst at its upper right: the smile clicks.
void smileClickShape(QPainter &p, const QColor &colour)
{
    faceOutline(p, colour, QPointF(44, 56), 34, true);
    strokeOnly(p, colour);
    p.drawLine(QPointF(80, 20), QPointF(90, 10));
    p.drawLine(QPointF(84, 32), QPointF(96, 30));
    p.drawLine(QPointF(68, 16), QPointF(70, 4));
}

// The pointer inside a countdown ring: holding still clicks.
void dwellClickShape(QPainter &p, const QColor &colour)
{
    strokeOnly(p, colour);
    p.drawArc(QRectF(8, 8, 84, 84), 90 * 16, 270 * 16);
    QPainterPath arrow;
    const QPointF points[] = {{40, 30}, {40, 72}, {50, 62}, {57, 77}, {64, 74}, {57, 59}, {70, 59}};
    arrow.moveTo(points[0]);
    for (const QPointF &point : points)
        arrow.lineTo(point);
    arrow.closeSubpath();
    p.setPen(outline(colour, Stroke * 0.6));
    p.setBrush(colour);
    p.drawPath(arrow);
}

// Four arrow heads around the middle: the pointer moves in every direction.
void moveArrows(QPainter &p, const QColor &colour)
{
    fillOnly(p, colour);
    for (int quarter = 0; quarter < 4; ++quarter) {
        p.save();
        p.translate(50, 50);
        p.rotate(quarter * 90);
        QPainterPath head;
        head.moveTo(0, -48);
        head.lineTo(12, -34);
        head.lineTo(-12, -34);
        head.closeSubpath();
        p.drawPath(head);
        p.restore();
    }
}

// A smiling face between the arrows: the pointer moves while smiling.
void motionWithSmileShape(QPainter &p, const QColor &colour)
{
    moveArrows(p, colour);
    faceOutline(p, colour, QPointF(50, 50), 22, true);
}

// A face without a mouth between the arrows: the pointer follows the head at all times.
void motionAlwaysShape(QPainter &p, const QColor &colour)
{
    moveArrows(p, colour);
    faceOutline(p, colour, QPointF(50, 50), 22, false);
}

void playShape(QPainter &p, const QColor &colour)
{
    QPainterPath triangle;
    triangle.moveTo(30, 18);
    triangle.lineTo(82, 50);
    triangle.lineTo(30, 82);
    triangle.closeSubpath();
    p.setPen(outline(colour));
    p.setBrush(colour);
    p.drawPath(triangle);
}

void stopShape(QPainter &p, const QColor &colour)
{
    p.setPen(outline(colour));
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(24, 24, 52, 52), 6, 6);
}

// A cross in a ring.
void exitShape(QPainter &p, const QColor &colour)
{
    strokeOnly(p, colour);
    p.drawEllipse(QPointF(50, 50), 40, 40);
    p.drawLine(QPointF(34, 34), QPointF(66, 66));
    p.drawLine(QPointF(66, 34), QPointF(34, 66));
}

// The two looks of one icon: at rest (Off) and checked (On).
void addPair(std::vector<GeneratedAsset> &assets, const QString &restName,
             const QString &checkedName, Shape shape)
{
    assets.push_back({restName, [shape] { return render(shape, RestColour); }});
    assets.push_back({checkedName, [shape] { return render(shape, CheckedColour); }});
}

} // namespace

std::vector<GeneratedAsset> iconAssets()
{
    std::vector<GeneratedAsset> assets;
    addPair(assets, "dark_settings.png", "light_settings.png", settingsShape);
    addPair(assets, "dark_calibrate.png", "light_calibrate.png", calibrateShape);
    addPair(assets, "dark_click_mode-face-no_mouth.png", "light_click_mode-face-no_mouth.png",
            smileClickShape);
    addPair(assets, "dark_click_mode-dwell.png", "light_click_mode-dwell.png", dwellClickShape);
    addPair(assets, "dark_motion_mode-smile_activated.png", "light_motion_mode-smile_activated.png",
            motionWithSmileShape);
    addPair(assets, "dark_motion_mode-always_on-no_mouth.png",
            "light_motion_mode-always_on-no_mouth.png", motionAlwaysShape);
    addPair(assets, "dark_play.png", "light_play.png", playShape);
    addPair(assets, "stop_dark.png", "stop_light.png", stopShape);
    addPair(assets, "dark_exit-x.png", "light_exit-x.png", exitShape);
    return assets;
}
