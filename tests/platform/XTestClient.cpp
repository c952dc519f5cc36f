#include "tests/platform/XTestClient.h"

#include "platform/x11/X11OverlayWindow.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

namespace {
std::atomic<int> errorCount{0};
int countError(Display *, XErrorEvent *)
{
    ++errorCount;
    return 0;
}
} // namespace

bool waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

XTestClient::XTestClient()
    : display(XOpenDisplay(nullptr))
{}

XTestClient::~XTestClient()
{
    if (display)
        XCloseDisplay(display);
}

void XTestClient::countErrors()
{
    XSetErrorHandler(&countError);
}

int XTestClient::errors()
{
    return errorCount;
}

Window XTestClient::createWindow(const QRect &rect)
{
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = WhitePixel(display, DefaultScreen(display));
    attributes.event_mask =
        ButtonPressMask | ButtonReleaseMask | KeyPressMask | KeyReleaseMask | StructureNotifyMask;
    const Window window = XCreateWindow(
        display, DefaultRootWindow(display), rect.x(), rect.y(), unsigned(rect.width()),
        unsigned(rect.height()), 0, CopyFromParent, InputOutput, CopyFromParent,
        CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
    XMapRaised(display, window);
    XSync(display, False);
    waitFor([&] {
        XWindowAttributes a;
        return XGetWindowAttributes(display, window, &a) && a.map_state == IsViewable;
    });
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    XSync(display, False);
    return window;
}

void XTestClient::destroyWindow(Window window)
{
    XDestroyWindow(display, window);
    XSync(display, False);
}

bool XTestClient::waitFor(const std::function<bool()> &done, int timeoutMs)
{
    return waitUntil(
        [&] {
            while (XPending(display)) {
                XEvent e;
                XNextEvent(display, &e);
                if (e.type == ButtonPress || e.type == ButtonRelease)
                    events.append({e.type, e.xbutton.button,
                                   QPoint(e.xbutton.x_root, e.xbutton.y_root), e.xbutton.window});
                else if (e.type == KeyPress || e.type == KeyRelease)
                    events.append({e.type, e.xkey.keycode, QPoint(e.xkey.x_root, e.xkey.y_root),
                                   e.xkey.window});
            }
            return done();
        },
        timeoutMs);
}

int XTestClient::count(int type, unsigned detail) const
{
    int n = 0;
    for (const Event &e : events)
        n += e.type == type && (detail == 0 || e.detail == detail);
    return n;
}

QPoint XTestClient::pointer() const
{
    Window root, child;
    int rx = 0, ry = 0, wx, wy;
    unsigned mask;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rx, &ry, &wx, &wy, &mask);
    return QPoint(rx, ry);
}

unsigned XTestClient::pointerButtons() const
{
    Window root, child;
    int rx, ry, wx, wy;
    unsigned mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rx, &ry, &wx, &wy, &mask);
    return mask & (Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask);
}

bool XTestClient::anyKeyDown() const
{
    char keys[32];
    XQueryKeymap(display, keys);
    for (char k : keys) {
        if (k)
            return true;
    }
    return false;
}

unsigned long XTestClient::keysymOf(unsigned keycode) const
{
    int per = 0;
    KeySym *syms = XGetKeyboardMapping(display, KeyCode(keycode), 1, &per);
    const unsigned long sym = syms && per > 0 ? syms[0] : 0;
    if (syms)
        XFree(syms);
    return sym;
}

unsigned XTestClient::keycodeOf(unsigned long keysym) const
{
    int min = 0, max = 0;
    XDisplayKeycodes(display, &min, &max);
    for (int k = min; k <= max; ++k) {
        if (keysymOf(unsigned(k)) == keysym)
            return unsigned(k);
    }
    return 0;
}

QVector<Window> XTestClient::overlayWindows(bool mappedOnly) const
{
    QVector<Window> found;
    Window root, parent, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &n))
        return found;
    for (unsigned i = 0; i < n; ++i) {
        XClassHint hint{};
        XWindowAttributes a;
        if (XGetClassHint(display, children[i], &hint)) {
            const bool ours =
                hint.res_class &&
                std::strcmp(hint.res_class, platform::X11OverlayWindow::WindowClass) == 0;
            XFree(hint.res_name);
            XFree(hint.res_class);
            if (ours && (!mappedOnly || (XGetWindowAttributes(display, children[i], &a) &&
                                         a.map_state == IsViewable)))
                found.append(children[i]);
        }
    }
    if (children)
        XFree(children);
    return found;
}

void XTestClient::click(QPoint at)
{
    XTestFakeMotionEvent(display, DefaultScreen(display), at.x(), at.y(), CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
}
