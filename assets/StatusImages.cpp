// The pointer-following status images: the face state, the smile level, the scroll
// direction, the pointer-motion and dwell rings, and the fully transparent image that blanks
// a status window.

#include "assets/GeneratedAsset.h"
#include "assets/Palette.h"

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

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

QImage canvas(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// A round face in a status colour; shown at 25 by 25 pixels beside the pointer.
QByteArray face(const QColor &fill, bool found)
{
    QImage image = canvas(64, 64);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Palette::ink(), 4));
    p.setBrush(fill);
    p.drawEllipse(QPointF(32, 32), 28, 28);
    if (found) {
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::light());
        p.drawEllipse(QPointF(22, 25), 4.5, 5.5);
        p.drawEllipse(QPointF(42, 25), 4.5, 5.5);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Palette::light(), 4.5, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(18, 24, 28, 20), 200 * 16, 140 * 16);
    } else {
        QFont font("DejaVu Sans");
        font.setPixelSize(40);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Palette::light());
        p.drawText(QRectF(0, 0, 64, 64), Qt::AlignCenter, QStringLiteral("?"));
    }
    p.end();
    return toPng(image);
}

// The smile level: a column of five cells, the lowest `level` lit; shown 10 by 25.
QByteArray smileLevel(int level)
{
    QImage image = canvas(40, 100);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor lit[] = {Palette::amber(), Palette::amber(), QColor(190, 200, 90),
                          QColor(120, 196, 96), Palette::green()};
    for (int cell = 0; cell < 5; ++cell) {
        const QRectF box(4, 100 - (cell + 1) * 19.2 + 2, 32, 15.2);
        p.setPen(QPen(Palette::ink(), 3));
        p.setBrush(cell < level ? lit[cell] : QColor(245, 248, 252, 70));
        p.drawRoundedRect(box, 4, 4);
    }
    p.end();
    return toPng(image);
}

// A round badge with a double chevron pointing up or down.
QByteArray scrollBadge(bool up)
{
    QImage image = canvas(200, 200);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Palette::ink(), 10));
    p.setBrush(Palette::teal());
    p.drawEllipse(QPointF(100, 100), 90, 90);
    p.setPen(QPen(Palette::light(), 20, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const int d = up ? -1 : 1;
    for (int k = 0; k < 2; ++k) {
        const qreal y = 100 + d * (k == 0 ? 28 : -22);
        QPainterPath chevron;
        chevron.moveTo(55, y - d * 30);
        chevron.lineTo(100, y);
        chevron.lineTo(145, y - d * 30);
        p.drawPath(chevron);
    }
    p.end();
    return toPng(image);
}

// A ring around the pointer (which sits in the middle of the 200 by 200 image), filled
// clockwise from 12 o'clock over `filled` twentieths. The count-down family ("d") is a
// smooth teal arc; the count-up family ("dd") lights amber segments.
QByteArray progressRing(int filled, bool segmented)
{
    QImage image = canvas(200, 200);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF ring(30, 30, 140, 140);
    // The track, faint, so that an empty ring still shows where it is.
    p.setPen(QPen(QColor(20, 40, 60, 90), 16, Qt::SolidLine, Qt::FlatCap));
    p.drawEllipse(ring);
    if (segmented) {
        for (int i = 0; i < filled; ++i) {
            const int start = 90 * 16 - i * 18 * 16 - 2 * 16;
            p.setPen(QPen(Palette::ink(), 16, Qt::SolidLine, Qt::FlatCap));
            p.drawArc(ring, start, -14 * 16);
            p.setPen(QPen(Palette::amber(), 11, Qt::SolidLine, Qt::FlatCap));
            p.drawArc(ring, start, -14 * 16);
        }
    } else if (filled > 0) {
        const int span = -filled * 18 * 16;
        p.setPen(QPen(Palette::ink(), 16, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(ring, 90 * 16, span);
        p.setPen(QPen(Palette::teal(), 11, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(ring, 90 * 16, span);
    }
    p.end();
    return toPng(image);
}

QByteArray invisible()
{
    return toPng(canvas(8, 8));
}

} // namespace

std::vector<GeneratedAsset> statusImageAssets()
{
    std::vector<GeneratedAsset> assets = {
        {"faceGreen.png", [] { return face(Palette::green(), true); }},
        {"faceRed.png", [] { return face(Palette::red(), true); }},
        {"faceNotFound.png", [] { return face(Palette::grey(), false); }},
        {"ScrollUp200.png", [] { return scrollBadge(true); }},
        {"ScrollDown200.png", [] { return scrollBadge(false); }},
        {"invisible.png", invisible},
    };
    for (int level = 1; level <= 5; ++level)
        assets.push_back(
            {QStringLiteral("Smile%1.png").arg(level), [level] { return smileLevel(level); }});
    for (int k = 0; k <= 20; ++k)
        assets.push_back(
            {QStringLiteral("d%1.png").arg(k), [k] { return progressRing(k, false); }});
    for (int n = 0; n <= 19; ++n)
        assets.push_back(
            {QStringLiteral("dd%1.png").arg(n), [n] { return progressRing(n, true); }});
    return assets;
}
