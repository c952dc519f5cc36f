#include "tests/app/LeftButtonWatch.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

LeftButtonWatch::LeftButtonWatch()
    : dpy(XOpenDisplay(nullptr))
{
    int event = 0, error = 0, major = 2, minor = 2;
    if (!dpy || !XQueryExtension(dpy, "XInputExtension", &opcode, &event, &error) ||
        XIQueryVersion(dpy, &major, &minor) != Success)
        return;
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawButtonPress);
    XISetMask(bits, XI_RawButtonRelease);
    XIEventMask mask{XIAllMasterDevices, int(sizeof bits), bits};
    XISelectEvents(dpy, DefaultRootWindow(dpy), &mask, 1);
    XSync(dpy, False);
}

LeftButtonWatch::~LeftButtonWatch()
{
    if (dpy)
        XCloseDisplay(dpy);
}

QStringList LeftButtonWatch::events()
{
    while (dpy && XPending(dpy)) {
        XEvent e;
        XNextEvent(dpy, &e);
        if (e.xcookie.type != GenericEvent || e.xcookie.extension != opcode ||
            !XGetEventData(dpy, &e.xcookie))
            continue;
        const auto *raw = static_cast<const XIRawEvent *>(e.xcookie.data);
        if (raw->detail == 1)
            seen << (e.xcookie.evtype == XI_RawButtonPress ? "down" : "up");
        XFreeEventData(dpy, &e.xcookie);
    }
    return seen;
}

bool LeftButtonWatch::isDown()
{
    if (!dpy)
        return false;
    Window root = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(dpy, DefaultRootWindow(dpy), &root, &child, &rx, &ry, &wx, &wy, &mask);
    return (mask & Button1Mask) != 0;
}
