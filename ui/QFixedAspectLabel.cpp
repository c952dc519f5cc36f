#include "ui/QFixedAspectLabel.h"

#include <QLinearGradient>
#include <QMutexLocker>
#include <QPainter>
#include <QPixmap>

#include <cmath>

namespace {

// Halves rounding toward minus infinity, so a cropped image stays centred the same way
// whether its overflow is odd or even.
int floorHalf(int value)
{
    return int(std::floor(value / 2.0));
}

} // namespace

QFixedAspectLabel::QFixedAspectLabel(QWidget *parent)
    : QLabel(parent)
{
    // paintEvent covers every pixel: no background fill underneath.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_NoSystemBackground);
}

void QFixedAspectLabel::setImage(const QImage &newImage, float hZoom, float vZoom)
{
    {
        QMutexLocker lock(&mutex);
        horizontalZoom = hZoom;
        verticalZoom = vZoom;
        image = newImage;
    }
    if (isVisible())
        update();
}

void QFixedAspectLabel::setPanScan(bool enabled)
{
    if (fillAndCrop == enabled)
        return;
    fillAndCrop = enabled;
    // While processing is stopped no frame comes to repaint: show the new mode at once.
    update();
}

QRect QFixedAspectLabel::imageTargetRect(const QSize &imageSize) const
{
    QMutexLocker lock(&mutex);
    return targetRectLocked(imageSize);
}

QSize QFixedAspectLabel::drawnSize(const QSize &imageSize) const
{
    QMutexLocker lock(&mutex);
    return placement(imageSize).size();
}

QRect QFixedAspectLabel::targetRectLocked(const QSize &imageSize) const
{
    if (image.isNull())
        return {};
    return placement(imageSize);
}

QRect QFixedAspectLabel::placement(const QSize &imageSize) const
{
    if (imageSize.isEmpty())
        return {};
    const float rH = float(height()) / float(imageSize.height());
    const float rW = float(width()) / float(imageSize.width());
    const float scale = fillAndCrop ? std::max(rH, rW) : std::min(rH, rW);
    const int targetHeight = int(std::lround(float(imageSize.height()) * scale * verticalZoom));
    const int targetWidth = int(std::lround(float(imageSize.width()) * scale * horizontalZoom));
    const int left = floorHalf(width() - targetWidth);
    const int top = floorHalf(height() - targetHeight);
    return QRect(left, top, targetWidth, targetHeight);
}

void QFixedAspectLabel::paintEvent(QPaintEvent *)
{
    if (width() == 0 || height() == 0)
        return;
    QMutexLocker lock(&mutex);
    if (image.isNull()) {
        const QPixmap given = pixmap(Qt::ReturnByValue);
        if (!given.isNull())
            image = given.toImage();
    }

    QPainter painter(this);
    if (image.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }

    const QRect target = targetRectLocked(image.size());
    if (!fillAndCrop) {
        QLinearGradient gradient(0, target.top(), 0, target.bottom());
        gradient.setColorAt(0.0, QColor(78, 78, 78));
        gradient.setColorAt(0.5, QColor(50, 50, 50));
        gradient.setColorAt(1.0, QColor(78, 78, 78));
        const QBrush bars(gradient);
        const int right = target.right() + 1;
        const int bottom = target.bottom() + 1;
        painter.fillRect(QRect(0, 0, target.left(), height()), bars);
        painter.fillRect(QRect(right, 0, width() - right, height()), bars);
        painter.fillRect(QRect(target.left(), 0, target.width(), target.top()), bars);
        painter.fillRect(QRect(target.left(), bottom, target.width(), height() - bottom), bars);
    }
    painter.drawImage(target, image);
}
