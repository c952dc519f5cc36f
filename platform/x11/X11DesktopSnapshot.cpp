#include "platform/x11/X11DesktopSnapshot.h"

#include <QtGlobal>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

bool bitSet(const char *bits, int keycode)
{
    return bits[keycode / 8] & (1 << (keycode % 8));
}

} // namespace

void X11DesktopSnapshot::endProcessWithServer()
{
    XSetIOErrorHandler([](Display *) -> int { _exit(0); });
    XSetErrorHandler([](Display *, XErrorEvent *error) {
        qWarning("Guardian: the X server refused request %d.%d (error %d)", error->request_code,
                 error->minor_code, error->error_code);
        return 0;
    });
}

X11DesktopSnapshot::~X11DesktopSnapshot()
{
    if (display && serverStillThere())
        XCloseDisplay(display);
}

bool X11DesktopSnapshot::take()
{
    if (display)
        return true;
    display = XOpenDisplay(nullptr);
    if (!display) {
        qWarning("Guardian: cannot open the X display; the desktop is not guarded");
        return false;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
        qWarning("Guardian: the X server lacks XTEST; the desktop is not guarded");
        XCloseDisplay(display);
        display = nullptr;
        return false;
    }
    XGetPointerControl(display, &accelNumerator, &accelDenominator, &threshold);
    XKeyboardState keyboard;
    XGetKeyboardControl(display, &keyboard);
    globalRepeat = keyboard.global_auto_repeat == AutoRepeatModeOn;
    for (std::size_t i = 0; i < repeatingKeys.size(); ++i)
        repeatingKeys[i] = keyboard.auto_repeats[i];
    return true;
}

int X11DesktopSnapshot::connectionFd() const
{
    return display ? ConnectionNumber(display) : -1;
}

bool X11DesktopSnapshot::serverStillThere()
{
    if (!display)
        return false;
    pollfd p{ConnectionNumber(display), POLLIN, 0};
    if (poll(&p, 1, 0) < 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
        return false;
    if (!(p.revents & POLLIN))
        return true;
    char byte;
    if (recv(p.fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) <= 0)
        return false;
    // Nothing is asked for, but whatever came is read so the socket quiets down.
    while (XPending(display)) {
        XEvent ignored;
        XNextEvent(display, &ignored);
    }
    return true;
}

void X11DesktopSnapshot::putBack(const X11HeldInput &held)
{
    if (!display)
        return;
    // Buttons first: a button left down turns every later click of the user's mouse into a
    // drag.
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x, &y,
                  &mask);
    for (unsigned button : held.buttons) {
        if (button >= 1 && button <= 5 && (mask & (Button1Mask << (button - 1))))
            XTestFakeButtonEvent(display, button, False, CurrentTime);
    }
    char keys[32] = {};
    XQueryKeymap(display, keys);
    for (unsigned keycode : held.keycodes) {
        if (keycode >= 8 && keycode < 256 && bitSet(keys, int(keycode)))
            XTestFakeKeyEvent(display, keycode, False, CurrentTime);
    }
    // Released before the keycodes they were typed on lose their keysym.
    XSync(display, False);

    // A spare keycode bound for a key goes back to empty, unless someone bound it anew since.
    int perKeycode = 0;
    for (const auto &bound : held.boundKeycodes) {
        const KeyCode keycode = KeyCode(bound.first);
        KeySym *syms = XGetKeyboardMapping(display, keycode, 1, &perKeycode);
        if (!syms)
            continue;
        // The server may give the binding back on fewer levels than it was made on.
        bool ours = perKeycode > 0 && syms[0] == bound.second;
        for (int i = 1; i < perKeycode && ours; ++i)
            ours = syms[i] == bound.second || syms[i] == NoSymbol;
        XFree(syms);
        if (!ours)
            continue;
        std::vector<KeySym> none(std::size_t(perKeycode), NoSymbol);
        XChangeKeyboardMapping(display, keycode, perKeycode, none.data(), 1);
    }

    XChangePointerControl(display, True, True, accelNumerator, accelDenominator, threshold);

    // The key repeat: per key where it differs from what was noted, then the global switch.
    XKeyboardState keyboard;
    XGetKeyboardControl(display, &keyboard);
    for (int keycode = 8; keycode < 256; ++keycode) {
        const bool wanted = bitSet(repeatingKeys.data(), keycode);
        const bool now = keyboard.auto_repeats[keycode / 8] & (1 << (keycode % 8));
        if (wanted == now)
            continue;
        XKeyboardControl control{};
        control.key = keycode;
        control.auto_repeat_mode = wanted ? AutoRepeatModeOn : AutoRepeatModeOff;
        XChangeKeyboardControl(display, KBKey | KBAutoRepeatMode, &control);
    }
    if ((keyboard.global_auto_repeat == AutoRepeatModeOn) != globalRepeat) {
        XKeyboardControl control{};
        control.auto_repeat_mode = globalRepeat ? AutoRepeatModeOn : AutoRepeatModeOff;
        XChangeKeyboardControl(display, KBAutoRepeatMode, &control);
    }
    XSync(display, False);
}

} // namespace platform
