#include "platform/x11/X11WindowManager.h"

#include "platform/x11/ThreadDisplay.h"
#include "platform/x11/X11PointerScreens.h"

#include <QX11Info>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform {

namespace {

// Up to `count` 32-bit items of a property of the root window; empty when it is missing or of
// another type.
std::vector<unsigned long> rootProperty(Display *display, const char *name, Atom type, long count)
{
    std::vector<unsigned long> values;
    const Atom property = XInternAtom(display, name, True);
    if (property == 0)
        return values;
    Atom actualType = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char *data = nullptr;
    if (XGetWindowProperty(display, DefaultRootWindow(display), property, 0, count, False, type,
                           &actualType, &format, &items, &after, &data) == Success &&
        data && actualType == type && format == 32) {
        // Xlib hands 32-bit items out as longs.
        const auto *longs = reinterpret_cast<unsigned long *>(data);
        values.assign(longs, longs + items);
    }
    if (data)
        XFree(data);
    return values;
}

// WM_SIZE_HINTS: 18 items; the aspect flag and the four aspect items.
constexpr int SizeHintItems = 18;
constexpr uint32_t AspectFlag = 1u << 7;
constexpr int MinAspectItem = 11;

} // namespace

QRect X11WindowManager::workArea()
{
    const QRect primary = X11PointerScreens().primaryScreen();
    Display *display = ThreadDisplay::get();
    if (!display)
        return primary;
    const std::vector<unsigned long> desktop =
        rootProperty(display, "_NET_CURRENT_DESKTOP", XA_CARDINAL, 1);
    const std::vector<unsigned long> areas =
        rootProperty(display, "_NET_WORKAREA", XA_CARDINAL, 4 * 64);
    const size_t index = desktop.empty() ? 0 : desktop.front();
    const size_t first = 4 * index + 4 <= areas.size() ? 4 * index : 0;
    if (areas.size() < first + 4)
        return primary;
    const QRect area{int(long(areas[first])), int(long(areas[first + 1])), int(areas[first + 2]),
                     int(areas[first + 3])};
    // The work area spans every screen; windows are placed on the primary one.
    const QRect onPrimary = primary.isEmpty() ? area : area & primary;
    return onPrimary.isEmpty() ? primary : onPrimary;
}

quintptr X11WindowManager::activeWindow()
{
    Display *display = ThreadDisplay::get();
    if (!display)
        return 0;
    const std::vector<unsigned long> active =
        rootProperty(display, "_NET_ACTIVE_WINDOW", XA_WINDOW, 1);
    return active.empty() ? 0 : quintptr(active.front());
}

bool X11WindowManager::activate(quintptr window)
{
    Display *display = ThreadDisplay::get();
    if (!display || window == 0)
        return false;
    XEvent event;
    std::memset(&event, 0, sizeof(event));
    event.xclient.type = ClientMessage;
    event.xclient.window = Window(window);
    event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2; // the request comes from a pager
    event.xclient.data.l[1] = CurrentTime;
    event.xclient.data.l[2] = 0;
    const Status sent = XSendEvent(display, DefaultRootWindow(display), False,
                                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display);
    return sent != 0;
}

bool X11WindowManager::setAspectRatio(quintptr window, QSize ratio)
{
    // The toolkit's own connection: requests on one connection reach the server in order, so
    // this write cannot be overtaken by an earlier write of the toolkit still in its queue.
    xcb_connection_t *connection = QX11Info::isPlatformX11() ? QX11Info::connection() : nullptr;
    if (!connection || window == 0 || ratio.width() <= 0 || ratio.height() <= 0)
        return false;
    const xcb_window_t id = xcb_window_t(window);
    xcb_generic_error_t *error = nullptr;
    xcb_get_property_reply_t *reply =
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, id, XCB_ATOM_WM_NORMAL_HINTS,
                                                XCB_ATOM_WM_SIZE_HINTS, 0, SizeHintItems),
                               &error);
    std::free(error);
    // No reply: the window is gone (or not a window); writing would only raise an error.
    if (!reply)
        return false;
    uint32_t hints[SizeHintItems] = {};
    if (reply->format == 32 && reply->type == XCB_ATOM_WM_SIZE_HINTS) {
        const int items = std::min(xcb_get_property_value_length(reply) / 4, SizeHintItems);
        std::memcpy(hints, xcb_get_property_value(reply), size_t(items) * 4);
    }
    std::free(reply);
    hints[0] |= AspectFlag;
    hints[MinAspectItem] = uint32_t(ratio.width());
    hints[MinAspectItem + 1] = uint32_t(ratio.height());
    hints[MinAspectItem + 2] = uint32_t(ratio.width());
    hints[MinAspectItem + 3] = uint32_t(ratio.height());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, SizeHintItems, hints);
    xcb_flush(connection);
    return true;
}

} // namespace platform
