#include "platform/x11/X11InputSynthesis.h"

#include "platform/x11/ThreadDisplay.h"
#include "platform/x11/X11HeldInput.h"

#include <QtGlobal>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <atomic>
#include <vector>

namespace platform {

namespace {

constexpr unsigned LeftButton = 1;
constexpr unsigned RightButton = 3;
constexpr unsigned WheelUpButton = 4;
constexpr unsigned WheelDownButton = 5;

unsigned buttonNumber(MouseButton button)
{
    return button == MouseButton::Right ? RightButton : LeftButton;
}

// The keymap as the server holds it now. Another thread's connection may have changed it,
// so Xlib's cached copy is never used.
struct Keymap
{
    explicit Keymap(Display *display)
    {
        XDisplayKeycodes(display, &minKeycode, &maxKeycode);
        KeySym *raw = XGetKeyboardMapping(display, KeyCode(minKeycode), maxKeycode - minKeycode + 1,
                                          &perKeycode);
        if (raw) {
            syms.assign(raw, raw + (maxKeycode - minKeycode + 1) * perKeycode);
            XFree(raw);
        }
    }
    bool valid() const { return !syms.empty() && perKeycode > 0; }
    KeySym at(int keycode, int level) const
    {
        return syms[size_t((keycode - minKeycode) * perKeycode + level)];
    }
    // A keycode that types the keysym without a modifier; 0 when none does.
    unsigned unshifted(KeySym sym) const
    {
        for (int k = minKeycode; valid() && k <= maxKeycode; ++k) {
            if (at(k, 0) == sym)
                return unsigned(k);
        }
        return 0;
    }
    // A keycode with no keysym at all, from the top; 0 when every keycode is used.
    unsigned spare() const
    {
        for (int k = maxKeycode; valid() && k >= minKeycode; --k) {
            bool empty = true;
            for (int level = 0; level < perKeycode && empty; ++level)
                empty = at(k, level) == NoSymbol;
            if (empty)
                return unsigned(k);
        }
        return 0;
    }

    int minKeycode = 0, maxKeycode = 0, perKeycode = 0;
    std::vector<KeySym> syms;
};

void bindKeycode(Display *display, unsigned keycode, KeySym sym, int perKeycode)
{
    std::vector<KeySym> syms(size_t(perKeycode), sym);
    XChangeKeyboardMapping(display, int(keycode), perKeycode, syms.data(), 1);
    XSync(display, False); // bound before the key event that needs it
}

// XTEST is looked for once per process: every connection goes to the same server.
bool hasXTest(Display *display)
{
    static std::atomic<int> state{0}; // 0 unknown, 1 present, 2 missing
    if (state == 0) {
        int event = 0, error = 0, major = 0, minor = 0;
        const bool present = XTestQueryExtension(display, &event, &error, &major, &minor);
        state = present ? 1 : 2;
        if (!present)
            qWarning("Input synthesis: the X server has no XTEST extension; no input can be sent");
    }
    return state == 1;
}

} // namespace

X11InputSynthesis::X11InputSynthesis() = default;

X11InputSynthesis::~X11InputSynthesis()
{
    if (held.anything())
        releaseAll();
}

unsigned long X11InputSynthesis::keysymOf(Key key)
{
    switch (key) {
    case Key::Space:
        return XK_space;
    case Key::Return:
        return XK_Return;
    case Key::One:
        return XK_1;
    case Key::F12:
        return XK_F12;
    case Key::F13:
        return XK_F13;
    case Key::F14:
        return XK_F14;
    }
    return NoSymbol;
}

Display *X11InputSynthesis::connection()
{
    Display *display = ThreadDisplay::get();
    return display && hasXTest(display) ? display : nullptr;
}

bool X11InputSynthesis::moveAbsolute(int x, int y)
{
    Display *display = connection();
    if (!display)
        return false;
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    XFlush(display);
    return true;
}

bool X11InputSynthesis::moveRelative(int dx, int dy)
{
    Display *display = connection();
    if (!display)
        return false;
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned mask = 0;
    if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &winX,
                       &winY, &mask))
        return false; // the pointer is on another screen of the display
    XTestFakeMotionEvent(display, DefaultScreen(display), rootX + dx, rootY + dy, CurrentTime);
    XFlush(display);
    return true;
}

void X11InputSynthesis::sendButton(Display *display, unsigned button, bool press)
{
    XTestFakeButtonEvent(display, button, press ? True : False, CurrentTime);
    // Taken by the server before the lock goes: another thread's event on its own connection
    // comes after this one.
    XSync(display, False);
}

bool X11InputSynthesis::buttonDown(MouseButton button)
{
    Display *display = connection();
    if (!display)
        return false;
    std::lock_guard<std::mutex> lock(inputMutex);
    held.press(button);
    tellHeld();
    sendButton(display, buttonNumber(button), true);
    return true;
}

bool X11InputSynthesis::buttonUp(MouseButton button)
{
    Display *display = connection();
    if (!display)
        return false;
    std::lock_guard<std::mutex> lock(inputMutex);
    // XTEST keeps one state for all its clients: a release of a button this service does not
    // hold would let go of another program's press, and be a second release of our own.
    if (!held.isHeld(button))
        return true;
    sendButton(display, buttonNumber(button), false);
    held.release(button);
    tellHeld();
    return true;
}

bool X11InputSynthesis::wheel(int delta)
{
    if (delta == 0)
        return true;
    Display *display = connection();
    if (!display)
        return false;
    const int notches = held.takeNotches(delta);
    const unsigned button = notches > 0 ? WheelUpButton : WheelDownButton;
    for (int i = 0; i < qAbs(notches); ++i) {
        XTestFakeButtonEvent(display, button, True, CurrentTime);
        XTestFakeButtonEvent(display, button, False, CurrentTime);
        XFlush(display);
    }
    return true;
}

unsigned X11InputSynthesis::keycodeFor(Display *display, Key key)
{
    const KeySym sym = keysymOf(key);
    const Keymap keymap(display);
    if (!keymap.valid()) {
        qWarning("Input synthesis: cannot read the keymap");
        return 0;
    }
    if (const unsigned keycode = keymap.unshifted(sym))
        return keycode;
    const unsigned spare = keymap.spare();
    if (!spare) {
        qWarning("Input synthesis: the keymap has no key for %s and no spare keycode to bind",
                 XKeysymToString(sym));
        return 0;
    }
    // Noted before the keymap changes: a crash in between leaves a binding to undo, not one
    // nobody knows of.
    boundSpares[key] = spare;
    tellHeld();
    bindKeycode(display, spare, sym, keymap.perKeycode);
    return spare;
}

bool X11InputSynthesis::pressKey(Display *display, Key key)
{
    const auto pressed = heldKeycodes.find(key);
    // A key held already is pressed again on the same keycode (as auto-repeat would).
    const unsigned keycode =
        pressed != heldKeycodes.end() ? pressed->second : keycodeFor(display, key);
    if (!keycode)
        return false;
    if (pressed == heldKeycodes.end())
        stopRepeat(display, keycode);
    heldKeycodes[key] = keycode;
    held.press(key);
    tellHeld();
    XTestFakeKeyEvent(display, keycode, True, CurrentTime);
    XSync(display, False);
    return true;
}

void X11InputSynthesis::releaseKey(Display *display, Key key)
{
    const auto pressed = heldKeycodes.find(key);
    unsigned keycode = 0;
    if (pressed != heldKeycodes.end()) {
        keycode = pressed->second;
        heldKeycodes.erase(pressed);
    } else {
        // Not pressed by us: release it where it is, but bind nothing for that.
        const Keymap keymap(display);
        keycode = keymap.unshifted(keysymOf(key));
    }
    if (keycode) {
        XTestFakeKeyEvent(display, keycode, False, CurrentTime);
        restoreRepeat(display, keycode);
        XSync(display, False); // released before the keymap changes back
    }
    held.release(key);
    tellHeld();
    const auto bound = boundSpares.find(key);
    if (bound != boundSpares.end()) {
        const Keymap keymap(display);
        if (keymap.valid())
            bindKeycode(display, bound->second, NoSymbol, keymap.perKeycode);
        boundSpares.erase(bound);
        tellHeld();
    }
}

void X11InputSynthesis::stopRepeat(Display *display, unsigned keycode)
{
    XKeyboardState state;
    XGetKeyboardControl(display, &state);
    const bool on = (state.auto_repeats[keycode / 8] >> (keycode % 8)) & 1;
    if (!on)
        return;
    XKeyboardControl control;
    control.key = int(keycode);
    control.auto_repeat_mode = AutoRepeatModeOff;
    XChangeKeyboardControl(display, KBKey | KBAutoRepeatMode, &control);
    repeatOff[keycode] = true;
}

void X11InputSynthesis::restoreRepeat(Display *display, unsigned keycode)
{
    const auto off = repeatOff.find(keycode);
    if (off == repeatOff.end())
        return;
    repeatOff.erase(off);
    XKeyboardControl control;
    control.key = int(keycode);
    control.auto_repeat_mode = AutoRepeatModeOn;
    XChangeKeyboardControl(display, KBKey | KBAutoRepeatMode, &control);
}

bool X11InputSynthesis::keyDown(Key key)
{
    Display *display = connection();
    if (!display)
        return false;
    std::lock_guard<std::mutex> lock(inputMutex);
    return pressKey(display, key);
}

bool X11InputSynthesis::keyUp(Key key)
{
    Display *display = connection();
    if (!display)
        return false;
    std::lock_guard<std::mutex> lock(inputMutex);
    releaseKey(display, key);
    return true;
}

void X11InputSynthesis::releaseAll()
{
    Display *display = connection();
    std::lock_guard<std::mutex> lock(inputMutex);
    if (!display) {
        // No connection on this thread: the record goes, the server keeps what it holds.
        held.clear();
        heldKeycodes.clear();
        boundSpares.clear();
        tellHeld();
        return;
    }
    for (MouseButton button : held.takeButtons())
        sendButton(display, buttonNumber(button), false);
    std::vector<Key> keys;
    for (const auto &entry : heldKeycodes)
        keys.push_back(entry.first);
    for (Key key : keys)
        releaseKey(display, key);
    held.clear();
    tellHeld();
}

void X11InputSynthesis::setHeldListener(HeldListener listener)
{
    std::lock_guard<std::mutex> lock(inputMutex);
    heldListener = std::move(listener);
    tellHeld();
}

void X11InputSynthesis::tellHeld()
{
    if (!heldListener)
        return;
    X11HeldInput now;
    for (MouseButton button : {MouseButton::Left, MouseButton::Right}) {
        if (held.isHeld(button))
            now.buttons.push_back(buttonNumber(button));
    }
    for (const auto &entry : heldKeycodes)
        now.keycodes.push_back(entry.second);
    for (const auto &entry : boundSpares)
        now.boundKeycodes.emplace_back(entry.second, keysymOf(entry.first));
    heldListener(now.encode());
}

bool X11InputSynthesis::isHeld(MouseButton button) const
{
    return held.isHeld(button);
}

bool X11InputSynthesis::isHeld(Key key) const
{
    return held.isHeld(key);
}

} // namespace platform
