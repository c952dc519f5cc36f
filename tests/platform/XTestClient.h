#pragma once

#include <QPoint>
#include <QRect>
#include <QVector>
#include <functional>

#include <X11/Xlib.h>

// The test's own view of the X server: its own connection, as another program on the desktop
// would see it, with windows that record the button and key events they receive.
class XTestClient
{
public:
    struct Event
    {
        int type;        // ButtonPress, KeyRelease, ...
        unsigned detail; // button number or keycode
        QPoint at;       // root position
        Window window;
    };

    XTestClient();
    ~XTestClient();
    XTestClient(const XTestClient &) = delete;
    XTestClient &operator=(const XTestClient &) = delete;

    // A window on top of the others that records button and key events and has the focus.
    Window createWindow(const QRect &rect);
    void destroyWindow(Window window);

    // Reads events until done() holds; false when timeoutMs passes first.
    bool waitFor(const std::function<bool()> &done, int timeoutMs = 5000);
    int count(int type, unsigned detail = 0) const; // detail 0: any
    QVector<Event> events;

    QPoint pointer() const;
    unsigned pointerButtons() const; // Button1Mask ... of the pointer now
    bool anyKeyDown() const;
    unsigned long keysymOf(unsigned keycode) const; // level 0, asked of the server now
    unsigned keycodeOf(unsigned long keysym) const; // 0 when no keycode types it unshifted
    // The program's overlay windows, bottom to top: the mapped ones, or all that exist.
    QVector<Window> overlayWindows(bool mappedOnly = true) const;
    // A click made with XTEST on this connection.
    void click(QPoint at);

    Display *display;

    // Counts X errors of every connection of the process from now on.
    static void countErrors();
    static int errors();
};

// Polls a condition every few milliseconds until it holds or timeoutMs passes.
bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 5000);
