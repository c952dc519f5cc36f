// The button icons of the main window and the click windows. Each comes in two looks drawn
// from the same shape: dark grey for a button at rest on the light panel, near-white for a
// checked button on its dark grey background. Shapes are drawn on a 100 x 100 grid with one stroke
// width, so the set reads as one family at every size the buttons use.

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

// The desktop's pointer arrow with its tip at `tip`.
void pointerArrow(QPainter &p, const QColor &colour, const QPointF &tip)
{
    QPainterPath arrow;
    const QPointF points[] = {{0, 0}, {0, 42}, {10, 32}, {17, 47}, {24, 44}, {17, 29}, {30, 29}};
    arrow.moveTo(tip);
    for (const QPointF &point : points)
        arrow.lineTo(tip + point);
    arrow.closeSubpath();
    p.setPen(outline(colour, Stroke * 0.6));
    p.setBrush(colour);
    p.drawPath(arrow);
}

// The pointer inside a countdown ring: holding still clicks.
void dwellClickShape(QPainter &p, const QColor &colour)
{
    strokeOnly(p, colour);
    p.drawArc(QRectF(8, 8, 84, 84), 90 * 16, 270 * 16);
    pointerArrow(p, colour, QPointF(40, 30));
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

// A mouse seen from above: a rounded body split into two buttons at its top. Returns the
// body's outline, so that a caller can fill parts of it.
QPainterPath mouseBody(QPainter &p, const QColor &colour, const QRectF &body)
{
    QPainterPath outline;
    outline.addRoundedRect(body, body.width() / 2, body.width() / 2);
    strokeOnly(p, colour);
    p.drawPath(outline);
    const qreal split = body.top() + body.height() * 0.42;
    p.drawLine(QPointF(body.left(), split), QPointF(body.right(), split));
    p.drawLine(QPointF(body.center().x(), body.top()), QPointF(body.center().x(), split));
    return outline;
}

// Fills the left or the right button of a mouse drawn by mouseBody.
void fillMouseButton(QPainter &p, const QColor &colour, const QRectF &body,
                     const QPainterPath &outline, bool right)
{
    const qreal split = body.top() + body.height() * 0.42;
    const qreal x = right ? body.center().x() : body.left();
    p.save();
    p.setClipPath(outline);
    fillOnly(p, colour);
    p.drawRect(QRectF(x, body.top(), body.width() / 2, split - body.top()));
    p.restore();
}

const QRectF MouseBody(28, 10, 44, 80);

void leftButtonShape(QPainter &p, const QColor &colour)
{
    fillMouseButton(p, colour, MouseBody, mouseBody(p, colour, MouseBody), false);
}

void rightButtonShape(QPainter &p, const QColor &colour)
{
    fillMouseButton(p, colour, MouseBody, mouseBody(p, colour, MouseBody), true);
}

// The left button with two ripples beside it: pressed twice.
void doubleClickShape(QPainter &p, const QColor &colour)
{
    const QRectF body(18, 14, 40, 74);
    fillMouseButton(p, colour, body, mouseBody(p, colour, body), false);
    strokeOnly(p, colour);
    p.drawArc(QRectF(50, 8, 28, 40), 0, 90 * 16);
    p.drawArc(QRectF(50, -6, 46, 68), 0, 90 * 16);
}

// A box carried along a dotted path by the pointer.
void dragShape(QPainter &p, const QColor &colour)
{
    strokeOnly(p, colour);
    p.drawRoundedRect(QRectF(10, 10, 30, 30), 4, 4);
    QPen dotted = outline(colour, Stroke * 0.7);
    dotted.setStyle(Qt::DotLine);
    p.setPen(dotted);
    p.drawLine(QPointF(40, 40), QPointF(56, 56));
    pointerArrow(p, colour, QPointF(58, 50));
}

// A wheel between an arrow head up and one down.
void scrollShape(QPainter &p, const QColor &colour)
{
    strokeOnly(p, colour);
    p.drawRoundedRect(QRectF(38, 28, 24, 44), 12, 12);
    fillOnly(p, colour);
    for (int direction : {-1, 1}) {
        QPainterPath head;
        head.moveTo(50, 50 + direction * 46);
        head.lineTo(64, 50 + direction * 32);
        head.lineTo(36, 50 + direction * 32);
        head.closeSubpath();
        p.drawPath(head);
    }
    p.drawRoundedRect(QRectF(46, 36, 8, 14), 4, 4);
}

// A padlock, its shackle closed or lifted open.
void padlock(QPainter &p, const QColor &colour, bool locked)
{
    strokeOnly(p, colour, Stroke * 1.4);
    const QRectF shackle = locked ? QRectF(30, 12, 40, 52) : QRectF(30, 2, 40, 52);
    QPainterPath arc;
    arc.moveTo(shackle.left(), shackle.center().y());
    arc.arcTo(shackle, 180, -180);
    if (locked)
        arc.lineTo(shackle.right(), 50);
    p.drawPath(arc);
    p.drawLine(QPointF(shackle.left(), shackle.center().y()), QPointF(shackle.left(), 50));
    fillOnly(p, colour);
    p.drawRoundedRect(QRectF(20, 46, 60, 46), 8, 8);
}

void lockedShape(QPainter &p, const QColor &colour)
{
    padlock(p, colour, true);
}

void unlockedShape(QPainter &p, const QColor &colour)
{
    padlock(p, colour, false);
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
    // The click-options window: a mode button is light when chosen, a lock when locked.
    addPair(assets, "button_left-inactive.png", "button_left-active.png", leftButtonShape);
    addPair(assets, "button_right-inactive.png", "button_right-active.png", rightButtonShape);
    addPair(assets, "button_double-inactive.png", "button_double-active.png", doubleClickShape);
    addPair(assets, "button_drag-inactive.png", "button_drag-active.png", dragShape);
    addPair(assets, "button_scroll-inactive.png", "button_scroll-active.png", scrollShape);
    assets.push_back(
        {"lock_unlocked-active.png", [] { return render(unlockedShape, RestColour); }});
    assets.push_back({"lock_locked-active.png", [] { return render(lockedShape, CheckedColour); }});
    return assets;
}
