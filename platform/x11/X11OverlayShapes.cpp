#include "platform/x11/X11OverlayShapes.h"

#include <QCoreApplication>
#include <QX11Info>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/shape.h>
#include <xcb/xcb.h>

#include <vector>

namespace platform {

namespace {

// An XFixes SelectionNotify event as the protocol lays it out.
struct OwnerChange
{
    uint8_t responseType;
    uint8_t subtype;
    uint16_t sequence;
    uint32_t window;
    uint32_t owner;
    uint32_t selection;
    uint32_t timestamp;
    uint32_t selectionTimestamp;
};

void takeNoInput(Display *display, unsigned long window)
{
    XShapeCombineRectangles(display, window, ShapeInput, 0, 0, nullptr, 0, ShapeSet, Unsorted);
}

} // namespace

void X11OverlayShapes::start()
{
    if (started)
        return;
    started = true;
    onX11 = QX11Info::isPlatformX11() && QX11Info::display();
    if (!onX11)
        return;
    Display *display = QX11Info::display();
    int error = 0, shapeEvents = 0;
    if (!XFixesQueryExtension(display, &fixesEvents, &error) ||
        !XShapeQueryExtension(display, &shapeEvents, &error)) {
        qWarning("Overlays: the X server lacks XFixes or SHAPE; translucent windows stay whole");
        onX11 = false;
        return;
    }
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(QX11Info::appScreen());
    selection = XInternAtom(display, name.constData(), False);
    // Listening first, so that no change of owner between the two is missed.
    XFixesSelectSelectionInput(display, QX11Info::appRootWindow(), selection,
                               XFixesSetSelectionOwnerNotifyMask |
                                   XFixesSelectionWindowDestroyNotifyMask |
                                   XFixesSelectionClientCloseNotifyMask);
    compositing = XGetSelectionOwner(display, selection) != 0;
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installNativeEventFilter(this);
}

bool X11OverlayShapes::isCompositing()
{
    start();
    return compositing;
}

void X11OverlayShapes::cutTo(quintptr window, const QVector<QRect> &shown)
{
    start();
    if (!onX11 || !window)
        return;
    std::vector<XRectangle> rects;
    rects.reserve(size_t(shown.size()));
    for (const QRect &r : shown)
        rects.push_back({short(r.x()), short(r.y()), ushort(r.width()), ushort(r.height())});
    Display *display = QX11Info::display();
    XShapeCombineRectangles(display, window, ShapeBounding, 0, 0, rects.data(), int(rects.size()),
                            ShapeSet, Unsorted);
    takeNoInput(display, window);
    XFlush(display);
}

void X11OverlayShapes::uncut(quintptr window)
{
    start();
    if (!onX11 || !window)
        return;
    Display *display = QX11Info::display();
    XShapeCombineMask(display, window, ShapeBounding, 0, 0, 0 /* no mask: the whole window */,
                      ShapeSet);
    takeNoInput(display, window);
    XFlush(display);
}

void X11OverlayShapes::declareFrameless(quintptr window)
{
    start();
    if (!onX11 || !window)
        return;
    Display *display = QX11Info::display();
    // Left, right, top, bottom: the property a window manager sets on the windows it frames.
    static const Atom extents = XInternAtom(display, "_NET_FRAME_EXTENTS", False);
    const long none[4] = {0, 0, 0, 0};
    XChangeProperty(display, window, extents, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char *>(none), 4);
    XFlush(display);
}

bool X11OverlayShapes::nativeEventFilter(const QByteArray &eventType, void *message, long *)
{
    if (!onX11 || eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != fixesEvents + XFixesSelectionNotify)
        return false;
    const auto *notify = reinterpret_cast<const OwnerChange *>(event);
    if (notify->selection != selection)
        return false;
    // A new owner, or the old one gone (its window destroyed, its client closed).
    const bool now = notify->subtype == XFixesSetSelectionOwnerNotify && notify->owner != 0;
    if (now != compositing) {
        compositing = now;
        // Reported after the toolkit has handled the event, not from inside its handling.
        QMetaObject::invokeMethod(
            this, [this, now] { emit compositingChanged(now); }, Qt::QueuedConnection);
    }
    return false; // the toolkit follows the compositor too
}

} // namespace platform
