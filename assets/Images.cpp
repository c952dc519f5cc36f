// The program's own images, drawn with QPainter.

#include "assets/GeneratedAsset.h"

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

QByteArray toPng(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return bytes;
}

// An arrow pointer with its tip at the origin, pointing up-left.
QPainterPath pointerArrow(qreal scale)
{
    QPainterPath path;
    const QPointF points[] = {{0, 0},     {0, 17},     {4.2, 13.2}, {7.2, 20},
                              {10, 18.8}, {7.2, 12.2}, {12.5, 12.2}};
    path.moveTo(points[0] * scale);
    for (const QPointF &p : points)
        path.lineTo(p * scale);
    path.closeSubpath();
    return path;
}

// A face seen from the front, with a dotted trail from the nose to a pointer: the head
// steers the pointer.
void drawMotif(QPainter &p, const QPointF &centre, qreal radius)
{
    const QColor light(236, 244, 250);
    const QColor accent(255, 196, 87);

    QRadialGradient glow(centre, radius * 1.6);
    glow.setColorAt(0.0, QColor(255, 255, 255, 45));
    glow.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(centre, radius * 1.6, radius * 1.6);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(light, radius * 0.07, Qt::SolidLine, Qt::RoundCap));
    p.drawEllipse(centre, radius * 0.82, radius);

    p.setPen(Qt::NoPen);
    p.setBrush(light);
    const qreal eyeY = centre.y() - radius * 0.22;
    p.drawEllipse(QPointF(centre.x() - radius * 0.32, eyeY), radius * 0.09, radius * 0.11);
    p.drawEllipse(QPointF(centre.x() + radius * 0.32, eyeY), radius * 0.09, radius * 0.11);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(light, radius * 0.07, Qt::SolidLine, Qt::RoundCap));
    const QRectF smile(centre.x() - radius * 0.4, centre.y() + radius * 0.05, radius * 0.8,
                       radius * 0.5);
    p.drawArc(smile, 200 * 16, 140 * 16);

    const QPointF nose(centre.x(), centre.y() + radius * 0.05);
    const QPointF tip(centre.x() + radius * 1.2, centre.y() + radius * 0.85);
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    p.drawEllipse(nose, radius * 0.08, radius * 0.08);
    for (int i = 1; i < 6; ++i) {
        const qreal t = i / 6.0;
        const QPointF dot(nose.x() + (tip.x() - nose.x()) * t,
                          nose.y() + (tip.y() - nose.y()) * t - radius * 0.5 * t * (1 - t));
        p.drawEllipse(dot, radius * 0.035, radius * 0.035);
    }

    p.save();
    p.translate(tip);
    p.setPen(QPen(QColor(20, 40, 60), radius * 0.04, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(accent);
    p.drawPath(pointerArrow(radius * 0.055));
    p.restore();
}

QByteArray splash()
{
    const QSize size(600, 340);
    QImage image(size, QImage::Format_ARGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient background(0, 0, size.width(), size.height());
    background.setColorAt(0.0, QColor(22, 48, 82));
    background.setColorAt(1.0, QColor(34, 110, 140));
    p.fillRect(image.rect(), background);

    drawMotif(p, QPointF(140, 150), 78);

    QFont title("DejaVu Sans");
    title.setPixelSize(50);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(245, 248, 252));
    p.drawText(QRectF(300, 95, 290, 70), Qt::AlignLeft | Qt::AlignVCenter, "Tovra");
    p.drawText(QRectF(300, 155, 290, 70), Qt::AlignLeft | Qt::AlignVCenter, "Mouse");

    QFont small("DejaVu Sans");
    small.setPixelSize(16);
    p.setFont(small);
    p.setPen(QColor(200, 222, 236));
    p.drawText(QRectF(0, 0, size.width() - 20, size.height() - 14),
               Qt::AlignRight | Qt::AlignBottom, QStringLiteral("v" TOVRA_VERSION));
    p.end();
    return toPng(image);
}

} // namespace

std::vector<GeneratedAsset> imageAssets()
{
    return {
        {"splash.png", splash},
    };
}
