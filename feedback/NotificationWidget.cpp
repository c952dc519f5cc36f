#include "feedback/NotificationWidget.h"

#include "feedback/OverlayShape.h"
#include "platform/OverlayShapes.h"
#include "platform/Platform.h"
#include "platform/PointerScreens.h"

#include <QBasicTimer>
#include <QCoreApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QPointer>
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

// Whether an image file draws no pixel at all (unreadable, or transparent throughout). Each
// file is looked at once.
bool drawsNothingFrom(const QString &path)
{
    static QHash<QString, bool> known;
    if (path.isEmpty())
        return true;
    const auto found = known.constFind(path);
    if (found != known.constEnd())
        return *found;
    QImage image(path);
    bool nothing = image.isNull();
    if (!nothing && image.hasAlphaChannel()) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        nothing = true;
        for (int y = 0; nothing && y < image.height(); ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if (qAlpha(line[x]) != 0) {
                    nothing = false;
                    break;
                }
            }
        }
    }
    known.insert(path, nothing);
    return nothing;
}

// Reads the pointer for every status image that follows it: one read per tick however many are
// shown, none on a tick when the desktop told of no motion since the last, and no timer at all
// while none is shown.
class PointerFollower : public QObject
{
public:
    using QObject::QObject;

    static PointerFollower &instance()
    {
        static QPointer<PointerFollower> follower;
        if (!follower)
            follower = new PointerFollower(QCoreApplication::instance());
        return *follower;
    }

    void add(NotificationWidget *widget)
    {
        if (!widgets.contains(widget))
            widgets.append(widget);
        if (!timer.isActive())
            timer.start(10, this);
    }
    void remove(NotificationWidget *widget)
    {
        widgets.removeAll(widget);
        if (widgets.isEmpty() && timer.isActive()) {
            timer.stop();
            platform::pointerScreens().stopWatchingPointerMotion();
        }
    }
    // A read at the next turn of the loop: the worker's several move notices of one pointer
    // move come to one read.
    void soon()
    {
        if (pending || widgets.isEmpty())
            return;
        pending = true;
        QTimer::singleShot(0, this, [this] {
            pending = false;
            // The motion told of is this move's: read now, and the next tick need not.
            platform::pointerScreens().pointerMayHaveMoved();
            tick();
        });
    }

protected:
    void timerEvent(QTimerEvent *) override
    {
        // A pointer put somewhere by a warp is no motion of a device: every tenth tick reads
        // anyway.
        if (platform::pointerScreens().pointerMayHaveMoved() || ++quietTicks >= 10) {
            quietTicks = 0;
            tick();
        }
    }

private:
    void tick()
    {
        if (widgets.isEmpty())
            return;
        QPoint at;
        if (!platform::pointerScreens().logicalPointerPosition(&at))
            return;
        const QList<NotificationWidget *> now = widgets; // a move may change the list
        for (NotificationWidget *widget : now)
            if (widgets.contains(widget))
                widget->follow(at);
    }

    QList<NotificationWidget *> widgets;
    QBasicTimer timer;
    int quietTicks = 0;
    bool pending = false;
};

} // namespace

NotificationWidget::NotificationWidget(QWidget *parent)
    : QDialog(parent, Qt::SubWindow | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus |
                          Qt::X11BypassWindowManagerHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    shape = new OverlayShape(this);
    const QPoint at = pointer();
    pointerX = at.x();
    pointerY = at.y();
    setMinimumSize(1, 1);
    setGeometry(pointerX + deltaX, pointerY + deltaY, w, h);
}

NotificationWidget::~NotificationWidget()
{
    PointerFollower::instance().remove(this);
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
    const bool followed = followsPointer();
    image = path;
    drawsNothing = drawsNothingFrom(path);
    shape->setDrawingKey(path);
    // Back from the invisible image: shown where the pointer is now, not where it was left.
    if (!followed && followsPointer())
        moveToPointer();
    updateFollowing();
    update();
}

bool NotificationWidget::followsPointer() const
{
    return isVisible() && !drawsNothing;
}

void NotificationWidget::updateFollowing()
{
    if (followsPointer())
        PointerFollower::instance().add(this);
    else
        PointerFollower::instance().remove(this);
}

void NotificationWidget::showEvent(QShowEvent *event)
{
    // It bypasses the window manager, so nothing frames it; said once per native window,
    // before it is first moved.
    const quintptr id = internalWinId();
    if (id && id != framelessWindow) {
        platform::overlayShapes().declareFrameless(id);
        framelessWindow = id;
    }
    QDialog::showEvent(event);
    updateFollowing();
}

void NotificationWidget::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    updateFollowing();
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
    if (followsPointer())
        PointerFollower::instance().soon();
}

void NotificationWidget::follow(QPoint at)
{
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
