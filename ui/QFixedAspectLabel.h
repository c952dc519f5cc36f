#pragma once

#include <QImage>
#include <QLabel>
#include <QMutex>

// The label inside the camera preview: holds the latest frame and paints it with its aspect
// ratio kept, either fitted inside the label with grey bars beside it, or filling the label
// and cropped (pan-scan). It paints every pixel itself.
class QFixedAspectLabel : public QLabel
{
    Q_OBJECT
public:
    explicit QFixedAspectLabel(QWidget *parent = nullptr);

    // Keeps its own copy of the pixels and repaints when visible.
    void setImage(const QImage &image, float horizontalZoom, float verticalZoom);
    // true: fill the label and crop; false: fit the whole image inside.
    void setPanScan(bool enabled);
    bool panScan() const { return fillAndCrop; }

    // Where an image of this size is drawn in the label; empty while no image is stored.
    QRect imageTargetRect(const QSize &imageSize) const;
    // The size an image of this size is drawn at, whether or not one is stored.
    QSize drawnSize(const QSize &imageSize) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect targetRectLocked(const QSize &imageSize) const;
    QRect placement(const QSize &imageSize) const;

    mutable QMutex mutex;
    QImage image;
    float horizontalZoom = 1.0f;
    float verticalZoom = 1.0f;
    bool fillAndCrop = true;
};
