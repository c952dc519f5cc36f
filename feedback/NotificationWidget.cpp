#include "feedback/NotificationWidget.h"

#include "feedback/OverlayShape.h"
#include "platform/Platform.h"
#include "platform/PointerScreens.h"

#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QTimer>
#include <algorithm>

namespace {

// One axis of the keep-on-screen rule: flip to the other side of the pointer past the
// primary screen's far edge, pull back past the virtual screen's, and never far off its start.
// Edges come with the screens' origins: a primary screen right of another one starts there.
int keepAxis(int position, int size, int delta, int primaryStart, int primaryLength, int wholeStart,
             int wholeLength)
{
    if (position + size > primaryStart + primaryLength)
        position = position - 2 * delta - size / 2;
    if (position + size > wholeStart + wholeLength)
        position = wholeStart + wholeLength - size / 2 - delta;
    return std::max(position, wholeStart - wholeLength);
}

} // namespace

NotificationWidget::NotificationWidget(QWidget *parent)
    : QDialog(parent, Qt::SubWindow | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus |
                          Qt::X11BypassWindowManagerHint)
    , followTimer(new QTimer(this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    new OverlayShape(this);
    const QPoint at = pointer();
    pointerX = at.x();
    pointerY = at.y();
    setMinimumSize(1, 1);
    setGeometry(pointerX + deltaX, pointerY + deltaY, w, h);
    followTimer->setInterval(10);
    connect(followTimer, &QTimer::timeout, this, &NotificationWidget::mpUpdateMousePosition);
    followTimer->start();
}

QPoint NotificationWidget::pointer()
{
    QPoint at;
    platform::pointerScreens().logicalPointerPosition(&at);
    return at;
}

void NotificationWidget::setImagePath(const QString &path)
{
    // The worker names the image every frame; most frames it is the one already shown.
    if (path == image)
        return;
    image = path;
    update();
}

void NotificationWidget::setDelta(int dx, int dy)
{
    deltaX = dx;
    deltaY = dy;
    moveToPointer();
}

void NotificationWidget::setSize(int width, int height)
{
    w = width;
    h = height;
    moveToPointer();
}

void NotificationWidget::setKeepOnScreen(bool value)
{
    keep = value;
}

void NotificationWidget::setScrollParams(int index, int direction)
{
    scrollIndex = index;
    scrollDirection = direction;
    const QPoint at = pointer();
    pointerX = at.x();
    pointerY = at.y();
    place(placeForScroll(at));
}

void NotificationWidget::moveToPointer()
{
    const QPoint at = pointer();
    pointerX = at.x();
    pointerY = at.y();
    place(keepOnScreen(at));
}

void NotificationWidget::mpUpdateMousePosition()
{
    const QPoint at = pointer();
    if (at == QPoint(pointerX, pointerY))
        return;
    pointerX = at.x();
    pointerY = at.y();
    place(keepOnScreen(at));
}

QPoint NotificationWidget::keepOnScreen(QPoint at) const
{
    const int x = at.x() + deltaX;
    const int y = at.y() + deltaY;
    if (!keep)
        return QPoint(x, y);
    platform::PointerScreens &screens = platform::pointerScreens();
    const QRect primary = screens.logicalPrimaryScreen();
    const QRect whole = screens.logicalVirtualScreen();
    return QPoint(keepAxis(x, w, deltaX, primary.x(), primary.width(), whole.x(), whole.width()),
                  keepAxis(y, h, deltaY, primary.y(), primary.height(), whole.y(), whole.height()));
}

QPoint NotificationWidget::placeForScroll(QPoint at) const
{
    const QRect screen = platform::pointerScreens().logicalPrimaryScreen();
    const int screenHeight = screen.height();
    const int x = std::max(0, at.x() - w / 2);
    int y = at.y() - (screenHeight * scrollIndex / 100 + 100) * scrollDirection;
    if (y < screen.y())
        y = screen.y() + h;
    // The whole image stays on the screen.
    if (y > screen.y() + screenHeight - h)
        y = screen.y() + screenHeight - h;
    return QPoint(x, y);
}

void NotificationWidget::place(QPoint topLeft)
{
    setGeometry(topLeft.x(), topLeft.y(), w, h);
    show();
    raise();
}

void NotificationWidget::paintEvent(QPaintEvent *event)
{
    if (!image.isEmpty()) {
        // Each file is decoded once; a file that cannot be read draws nothing.
        QPixmap pixmap;
        if (!QPixmapCache::find(image, &pixmap) && pixmap.load(image))
            QPixmapCache::insert(image, pixmap);
        if (!pixmap.isNull()) {
            QPainter painter(this);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawPixmap(contentsRect(), pixmap, pixmap.rect());
        }
    }
    QDialog::paintEvent(event);
}
