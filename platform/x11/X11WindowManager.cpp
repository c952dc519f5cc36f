#include "platform/x11/X11WindowManager.h"

#include "platform/x11/ThreadDisplay.h"
#include "platform/x11/X11PointerScreens.h"

#include <QByteArray>
#include <QList>
#include <QX11Info>

#include <X11/Xatom.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
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

// Through xcb on the thread's connection: a window that goes away between two requests is an
// error reply here, not a call of the process's Xlib error handler.
struct WindowAtoms
{
    xcb_atom_t wmState = XCB_NONE;
    xcb_atom_t netWmName = XCB_NONE;
    xcb_atom_t utf8String = XCB_NONE;
    xcb_atom_t windowType = XCB_NONE;
    xcb_atom_t dockType = XCB_NONE;
};

const WindowAtoms &windowAtoms(xcb_connection_t *c)
{
    // Atoms are per server; the connection changes only when the back ends are installed
    // anew.
    thread_local xcb_connection_t *internedOn = nullptr;
    thread_local WindowAtoms atoms;
    if (internedOn == c)
        return atoms;
    const char *names[] = {"WM_STATE", "_NET_WM_NAME", "UTF8_STRING", "_NET_WM_WINDOW_TYPE",
                           "_NET_WM_WINDOW_TYPE_DOCK"};
    xcb_intern_atom_cookie_t cookies[5];
    for (int i = 0; i < 5; ++i)
        cookies[i] = xcb_intern_atom(c, 0, uint16_t(std::strlen(names[i])), names[i]);
    xcb_atom_t *fields[] = {&atoms.wmState, &atoms.netWmName, &atoms.utf8String, &atoms.windowType,
                            &atoms.dockType};
    for (int i = 0; i < 5; ++i) {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, cookies[i], nullptr);
        *fields[i] = reply ? reply->atom : XCB_NONE;
        std::free(reply);
    }
    internedOn = c;
    return atoms;
}

xcb_get_property_cookie_t askProperty(xcb_connection_t *c, xcb_window_t window, xcb_atom_t name,
                                      uint32_t longs)
{
    return xcb_get_property(c, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, longs);
}

// The property's bytes and type; empty when it is missing or the window is gone.
QByteArray takeProperty(xcb_connection_t *c, xcb_get_property_cookie_t cookie,
                        xcb_atom_t *type = nullptr, uint8_t *format = nullptr)
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(c, cookie, nullptr);
    QByteArray bytes;
    if (reply) {
        bytes = QByteArray(static_cast<const char *>(xcb_get_property_value(reply)),
                           xcb_get_property_value_length(reply));
        if (type)
            *type = reply->type;
        if (format)
            *format = reply->format;
    }
    std::free(reply);
    return bytes;
}

bool hasWmState(xcb_connection_t *c, xcb_window_t window, xcb_atom_t wmState)
{
    xcb_get_property_reply_t *reply =
        xcb_get_property_reply(c, askProperty(c, window, wmState, 0), nullptr);
    const bool has = reply && reply->type != XCB_NONE;
    std::free(reply);
    return has;
}

// The window manager's frame holds the client a level or two down; without a window
// manager the top-level is the client.
xcb_window_t findClient(xcb_connection_t *c, xcb_window_t window, xcb_atom_t wmState, int depth)
{
    if (hasWmState(c, window, wmState))
        return window;
    if (depth == 0)
        return XCB_NONE;
    xcb_query_tree_reply_t *tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
    if (!tree)
        return XCB_NONE;
    const xcb_window_t *children = xcb_query_tree_children(tree);
    xcb_window_t found = XCB_NONE;
    // Top-most first.
    for (int i = xcb_query_tree_children_length(tree) - 1; i >= 0 && found == XCB_NONE; --i)
        found = findClient(c, children[i], wmState, depth - 1);
    std::free(tree);
    return found;
}

constexpr int TitleCharacters = 128;
constexpr int TransientChainLimit = 8;

QString titleOf(xcb_connection_t *c, xcb_window_t window, const WindowAtoms &atoms)
{
    const xcb_get_property_cookie_t net = askProperty(c, window, atoms.netWmName, 256);
    const xcb_get_property_cookie_t plain = askProperty(c, window, XCB_ATOM_WM_NAME, 256);
    xcb_atom_t type = XCB_NONE;
    QByteArray bytes = takeProperty(c, net, &type);
    QString title;
    if (type == atoms.utf8String && !bytes.isEmpty()) {
        title = QString::fromUtf8(bytes);
        std::free(xcb_get_property_reply(c, plain, nullptr));
    } else {
        bytes = takeProperty(c, plain, &type);
        title = type == atoms.utf8String ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
    }
    return title.left(TitleCharacters);
}

xcb_window_t transientFor(xcb_connection_t *c, xcb_window_t window)
{
    xcb_atom_t type = XCB_NONE;
    uint8_t format = 0;
    const QByteArray bytes =
        takeProperty(c, askProperty(c, window, XCB_ATOM_WM_TRANSIENT_FOR, 1), &type, &format);
    if (type != XCB_ATOM_WINDOW || format != 32 || bytes.size() < 4)
        return XCB_NONE;
    xcb_window_t owner = XCB_NONE;
    std::memcpy(&owner, bytes.constData(), 4);
    return owner;
}

PointedWindow describe(xcb_connection_t *c, xcb_window_t topLevel)
{
    const WindowAtoms &atoms = windowAtoms(c);
    xcb_window_t client = findClient(c, topLevel, atoms.wmState, 3);
    if (client == XCB_NONE)
        client = topLevel;
    // The simple properties in one go, then their replies.
    const xcb_get_property_cookie_t typeCookie = askProperty(c, client, atoms.windowType, 32);
    const xcb_get_property_cookie_t classCookie = askProperty(c, client, XCB_ATOM_WM_CLASS, 64);
    PointedWindow w;
    w.found = true;
    xcb_atom_t type = XCB_NONE;
    uint8_t format = 0;
    const QByteArray types = takeProperty(c, typeCookie, &type, &format);
    if (type == XCB_ATOM_ATOM && format == 32) {
        for (int i = 0; i + 4 <= types.size(); i += 4) {
            xcb_atom_t atom = XCB_NONE;
            std::memcpy(&atom, types.constData() + i, 4);
            w.dock = w.dock || (atom != XCB_NONE && atom == atoms.dockType);
        }
    }
    const QList<QByteArray> names = takeProperty(c, classCookie).split('\0');
    w.instanceName = QString::fromLatin1(names.value(0));
    w.className = QString::fromLatin1(names.value(1));
    w.title = titleOf(c, client, atoms);

    xcb_window_t owner = client;
    for (int i = 0; i < TransientChainLimit; ++i) {
        const xcb_window_t next = transientFor(c, owner);
        if (next == XCB_NONE || next == owner || next == client)
            break;
        owner = next;
    }
    w.owned = owner != client;
    if (w.owned)
        w.ownerTitle = titleOf(c, owner, atoms);
    return w;
}

qint64 monotonicMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

constexpr qint64 CacheMs = 1000;

// WM_SIZE_HINTS: 18 items; the aspect flag and the four aspect items.
constexpr int SizeHintItems = 18;
constexpr uint32_t AspectFlag = 1u << 7;
constexpr int MinAspectItem = 11;

} // namespace

QRect X11WindowManager::workArea()
{
    Display *display = ThreadDisplay::get();
    const QRect primary = X11PointerScreens::readPrimaryScreen(display);
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

PointedWindow X11WindowManager::windowUnderPointer()
{
    Display *display = ThreadDisplay::get();
    if (!display)
        return PointedWindow();
    xcb_connection_t *c = XGetXCBConnection(display);
    xcb_query_pointer_reply_t *pointer = xcb_query_pointer_reply(
        c, xcb_query_pointer(c, xcb_window_t(DefaultRootWindow(display))), nullptr);
    const xcb_window_t topLevel = pointer ? pointer->child : XCB_NONE;
    std::free(pointer);
    if (topLevel == XCB_NONE)
        return PointedWindow();
    const qint64 now = monotonicMs();
    {
        std::lock_guard<std::mutex> lock(cacheMutex);
        if (cachedTopLevel == topLevel && now - cachedAtMs < CacheMs)
            return cached;
    }
    const PointedWindow described = describe(c, topLevel);
    std::lock_guard<std::mutex> lock(cacheMutex);
    cachedTopLevel = topLevel;
    cachedAtMs = now;
    cached = described;
    return described;
}

} // namespace platform
