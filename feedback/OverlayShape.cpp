#include "feedback/OverlayShape.h"

#include "platform/OverlayShapes.h"
#include "platform/Platform.h"

#include <QEvent>
#include <QImage>
#include <QTimer>
#include <QWidget>

OverlayShape::OverlayShape(QWidget *window, int minimumAlpha)
    : QObject(window)
    , window(window)
    , minimumAlpha(minimumAlpha)
{
    window->installEventFilter(this);
    connect(&platform::overlayShapes(), &platform::OverlayShapes::compositingChanged, this, [this] {
        shapedKey.clear();
        reshapeLater();
    });
}

bool OverlayShape::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != window)
        return false;
    switch (event->type()) {
    case QEvent::Show: // sent before the window is mapped: it never shows uncut
        reshape();
        // A window manager learns of shapes set before it took the window on only when they
        // change again: told once more after the first paint, which waits for the window to
        // be on the screen.
        firstPaint = true;
        break;
    case QEvent::WinIdChange: // a new native window, not cut yet
        cut = false;
        current.clear();
        shapedKey.clear();
        reshapeLater();
        break;
    case QEvent::Paint:
        // A paint of the window's own making, not the one reshape() asks for.
        if (rendering)
            break;
        if (firstPaint) {
            firstPaint = false;
            resend = true;
        } else if (!drawingKey.isEmpty() && drawingKey == shapedKey &&
                   window->size() == shapedSize && window->devicePixelRatioF() == shapedRatio) {
            break; // the same drawing, perhaps moved: the cut still fits
        }
        reshapeLater();
        break;
    case QEvent::Resize:
        reshapeLater();
        break;
    default:
        break;
    }
    return false;
}

void OverlayShape::reshapeLater()
{
    // The window is painted first; one cut for every change made in one turn of the loop.
    if (pending)
        return;
    pending = true;
    QTimer::singleShot(0, this, [this] {
        pending = false;
        if (window->isVisible())
            reshape();
    });
}

void OverlayShape::reshape()
{
    const quintptr id = window->internalWinId();
    if (!id)
        return;
    platform::OverlayShapes &shapes = platform::overlayShapes();
    if (shapes.isCompositing()) {
        if (cut || resend)
            shapes.uncut(id);
        cut = false;
        resend = false;
        current.clear();
        shapedKey.clear();
        return;
    }
    const qreal ratio = window->devicePixelRatioF();
    QImage image(window->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    rendering = true;
    window->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    rendering = false;
    const QVector<QRect> rects = platform::coveredPixels(image, minimumAlpha);
    shapedKey = drawingKey;
    shapedSize = window->size();
    shapedRatio = ratio;
    if (cut && !resend && rects == current)
        return;
    shapes.cutTo(id, rects);
    cut = true;
    resend = false;
    current = rects;
}
