#include "platform/x11/X11PointerScreens.h"

#include "platform/x11/ThreadDisplay.h"

#include <QtGlobal>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/Xrandr.h>

namespace platform {

namespace {

// The screen of a CRTC that shows something; empty otherwise.
QRect crtcRect(Display *display, XRRScreenResources *resources, RRCrtc crtc)
{
    if (!crtc)
        return {};
    XRRCrtcInfo *info = XRRGetCrtcInfo(display, resources, crtc);
    if (!info)
        return {};
    QRect rect;
    if (info->mode && info->width > 0 && info->height > 0)
        rect = QRect(info->x, info->y, int(info->width), int(info->height));
    XRRFreeCrtcInfo(info);
    return rect;
}

RRCrtc crtcOfOutput(Display *display, XRRScreenResources *resources, RROutput output)
{
    if (!output)
        return 0;
    XRROutputInfo *info = XRRGetOutputInfo(display, resources, output);
    if (!info)
        return 0;
    const RRCrtc crtc = info->connection == RR_Disconnected ? 0 : info->crtc;
    XRRFreeOutputInfo(info);
    return crtc;
}

// XInput 2's major opcode; 0 when the server has no XInput 2.
int inputExtension(Display *display)
{
    int opcode = 0, event = 0, error = 0;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &error))
        return 0;
    int major = 2, minor = 0;
    return XIQueryVersion(display, &major, &minor) == Success && major >= 2 ? opcode : 0;
}

// Raw motion of every pointer device, selected on the root window or no longer.
bool selectMotion(Display *display, bool on)
{
    unsigned char bits[XIMaskLen(XI_RawMotion)] = {};
    if (on)
        XISetMask(bits, XI_RawMotion);
    XIEventMask mask;
    mask.deviceid = XIAllDevices;
    mask.mask_len = sizeof bits;
    mask.mask = bits;
    return XISelectEvents(display, DefaultRootWindow(display), &mask, 1) == Success;
}

bool hasRandr(Display *display)
{
    int event = 0, error = 0, major = 0, minor = 0;
    return XRRQueryExtension(display, &event, &error) && XRRQueryVersion(display, &major, &minor) &&
           (major > 1 || minor >= 3);
}

} // namespace

X11PointerScreens::X11PointerScreens() = default;

X11PointerScreens::~X11PointerScreens()
{
    ThreadDisplay::close(listener);
}

bool X11PointerScreens::pointerMayHaveMoved()
{
    std::lock_guard<std::mutex> guard(lock);
    refresh();
    if (!inputOpcode)
        return true;
    // Heard of only while asked: events nobody reads would pile up on the server.
    if (!watching) {
        watching = selectMotion(listener, true);
        XFlush(listener);
        moved = false;
        return true;
    }
    const bool since = moved;
    moved = false;
    return since;
}

void X11PointerScreens::stopWatchingPointerMotion()
{
    std::lock_guard<std::mutex> guard(lock);
    if (!listener || !watching)
        return;
    selectMotion(listener, false);
    watching = false;
    XSync(listener, False);
    refresh(); // what came before takes its leave
}

bool X11PointerScreens::pointerPosition(QPoint *physical)
{
    Display *display = ThreadDisplay::get();
    if (!display)
        return false;
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned mask = 0;
    if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &winX,
                       &winY, &mask))
        return false;
    *physical = QPoint(rootX, rootY);
    return true;
}

QRect X11PointerScreens::primaryScreen()
{
    std::lock_guard<std::mutex> guard(lock);
    refresh();
    return primary;
}

QRect X11PointerScreens::virtualScreen()
{
    std::lock_guard<std::mutex> guard(lock);
    refresh();
    return whole;
}

void X11PointerScreens::refresh()
{
    if (!opened) {
        opened = true;
        listener = XOpenDisplay(nullptr);
        if (!listener) {
            qWarning("Screens: cannot open the X display");
            return;
        }
        // Selected before the first read, so that no change between the two is missed.
        if (hasRandr(listener))
            XRRSelectInput(listener, DefaultRootWindow(listener),
                           RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask |
                               RROutputChangeNotifyMask);
        inputOpcode = inputExtension(listener);
        XSync(listener, False);
    }
    if (!listener)
        return;
    // Reads what has arrived on the socket without waiting for the server.
    while (XEventsQueued(listener, QueuedAfterReading) > 0) {
        XEvent event;
        XNextEvent(listener, &event);
        if (inputOpcode && event.type == GenericEvent && event.xcookie.extension == inputOpcode) {
            moved = true;
            continue;
        }
        XRRUpdateConfiguration(&event);
        stale = true;
    }
    if (!stale)
        return;
    stale = false;
    whole = readVirtualScreen(listener);
    primary = readPrimaryScreen(listener);
}

QRect X11PointerScreens::readPrimaryScreen(Display *display)
{
    if (!display)
        return {};
    const Window root = DefaultRootWindow(display);
    QRect primary;
    if (hasRandr(display)) {
        if (XRRScreenResources *resources = XRRGetScreenResourcesCurrent(display, root)) {
            primary =
                crtcRect(display, resources,
                         crtcOfOutput(display, resources, XRRGetOutputPrimary(display, root)));
            // No primary output set: the first output that shows something.
            for (int i = 0; primary.isEmpty() && i < resources->noutput; ++i)
                primary = crtcRect(display, resources,
                                   crtcOfOutput(display, resources, resources->outputs[i]));
            XRRFreeScreenResources(resources);
        }
    }
    return primary.isEmpty() ? readVirtualScreen(display) : primary;
}

QRect X11PointerScreens::readVirtualScreen(Display *display)
{
    if (!display)
        return {};
    // Asked of the server: the size Xlib noted at connection time may be out of date.
    Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(display, DefaultRootWindow(display), &root, &x, &y, &width, &height, &border,
                      &depth))
        return {};
    return QRect(0, 0, int(width), int(height));
}

} // namespace platform
