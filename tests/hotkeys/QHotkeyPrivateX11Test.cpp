#include "hotkeys/QHotkey.h"
#include "hotkeys/QHotkeyPrivate.h"
#include "platform/Platform.h"
#include "tests/hotkeys/HotkeyWarnings.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QTest>
#include <QWidget>
#include <QX11Info>
#include <gtest/gtest.h>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace {

// The user's keyboard: xdotool types through XTEST, as a real key would, grabs included.
void xdotool(const QStringList &arguments)
{
    ASSERT_EQ(QProcess::execute("xdotool", arguments), 0) << arguments.join(' ').toStdString();
}

unsigned lockedModifiers()
{
    XkbStateRec state{};
    XkbGetState(QX11Info::display(), XkbUseCoreKbd, &state);
    return state.locked_mods;
}

// Switches Caps Lock and Num Lock off again whatever the test left on.
struct LocksOff
{
    ~LocksOff()
    {
        if (lockedModifiers() & LockMask)
            xdotool({"key", "Caps_Lock"});
        if (lockedModifiers() & ~unsigned(LockMask))
            xdotool({"key", "Num_Lock"});
        waitUntil([] { return lockedModifiers() == 0; });
    }
};

struct SignalCounter
{
    explicit SignalCounter(QHotkey *hotkey)
    {
        QObject::connect(hotkey, &QHotkey::activated, &context, [this] { ++activated; });
        QObject::connect(hotkey, &QHotkey::released, &context, [this] { ++released; });
    }
    QObject context; // the connections end with the counter
    int activated = 0;
    int released = 0;
};

// Counts every press of one key that reaches our connection, auto-repeats included.
class KeyPressCounter : public QAbstractNativeEventFilter
{
public:
    explicit KeyPressCounter(unsigned keycode)
        : keycode(keycode)
    {
        qApp->installNativeEventFilter(this);
    }
    ~KeyPressCounter() override { qApp->removeNativeEventFilter(this); }
    bool nativeEventFilter(const QByteArray &type, void *message, long *) override
    {
        const auto *event = static_cast<xcb_key_press_event_t *>(message);
        if (type == "xcb_generic_event_t" && (event->response_type & ~0x80) == XCB_KEY_PRESS &&
            event->detail == keycode)
            ++presses;
        return false;
    }
    const unsigned keycode;
    int presses = 0;
};

class KeyRecorder : public QWidget
{
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent *event) override { keys.append(event->key()); }
};

int grabError = 0;
int recordGrabError(Display *, XErrorEvent *error)
{
    grabError = error->error_code;
    return 0;
}

class QHotkeyX11Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!QX11Info::isPlatformX11())
            FAIL() << "needs an X server (scripts/test.sh runs it under xvfb-run)";
        // The program's own desktop services, the key grabs among them.
        platform::installDefault();
    }
    static unsigned keycode(KeySym keysym) { return XKeysymToKeycode(QX11Info::display(), keysym); }
};

TEST_F(QHotkeyX11Test, KeysMapToTheCurrentLayoutAndAbsentKeysAreRefused)
{
    QHotkeyPrivate *registry = QHotkeyPrivate::instance();
    const QHotkey::NativeShortcut shiftAltF1 =
        registry->nativeShortcut(Qt::Key_F1, Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_EQ(shiftAltF1, QHotkey::NativeShortcut(keycode(XK_F1), ShiftMask | Mod1Mask));
    EXPECT_EQ(registry->nativeShortcut(Qt::Key_Print, Qt::NoModifier).key, keycode(XK_Print));
    EXPECT_EQ(registry->nativeShortcut(Qt::Key_A, Qt::ControlModifier).key, keycode(XK_a));
    // A character that needs Shift is grabbed on its key; the Shift is the user's to give.
    EXPECT_EQ(registry->nativeShortcut(Qt::Key_Exclam, Qt::NoModifier).key, keycode(XK_1));

    HotkeyWarnings warnings;
    QHotkey cyrillic;
    EXPECT_FALSE(cyrillic.setShortcut(Qt::Key(0x0416), Qt::AltModifier, true));
    EXPECT_TRUE(cyrillic.shortcut().isEmpty());
    EXPECT_TRUE(warnings.contains("Unable to map shortcut to native keys"));
}

TEST_F(QHotkeyX11Test, AHeldCombinationActivatesOnceAndReleasesOnce)
{
    QHotkey hotkey(QKeySequence("Shift+Alt+F1"), true);
    ASSERT_TRUE(hotkey.isRegistered());
    SignalCounter count(&hotkey);
    KeyPressCounter presses(keycode(XK_F1));

    xdotool({"keydown", "shift+alt+F1"});
    EXPECT_TRUE(waitUntil([&] { return count.activated == 1; }));
    // Held long enough for the server to repeat the key a few times.
    EXPECT_TRUE(waitUntil([&] { return presses.presses >= 3; }, 10000));
    EXPECT_EQ(count.released, 0);
    xdotool({"keyup", "F1", "alt", "shift"});

    EXPECT_TRUE(waitUntil([&] { return count.released == 1; }));
    EXPECT_EQ(count.activated, 1);
    EXPECT_EQ(count.released, 1);
}

TEST_F(QHotkeyX11Test, TheCombinationWorksWithCapsLockAndNumLockOn)
{
    QHotkey hotkey(QKeySequence("Shift+Alt+F1"), true);
    ASSERT_TRUE(hotkey.isRegistered());
    SignalCounter count(&hotkey);
    LocksOff locksOff;

    xdotool({"key", "Caps_Lock"});
    ASSERT_TRUE(waitUntil([] { return lockedModifiers() == LockMask; }));
    xdotool({"key", "shift+alt+F1"});
    EXPECT_TRUE(waitUntil([&] { return count.activated == 1 && count.released == 1; }));

    xdotool({"key", "Num_Lock"});
    ASSERT_TRUE(waitUntil([] { return (lockedModifiers() & ~unsigned(LockMask)) != 0; }));
    xdotool({"key", "shift+alt+F1"});
    EXPECT_TRUE(waitUntil([&] { return count.activated == 2 && count.released == 2; }));

    xdotool({"key", "Caps_Lock"});
    ASSERT_TRUE(waitUntil([] { return !(lockedModifiers() & LockMask); }));
    xdotool({"key", "shift+alt+F1"});
    EXPECT_TRUE(waitUntil([&] { return count.activated == 3 && count.released == 3; }));
}

TEST_F(QHotkeyX11Test, ACombinationGrabbedByAnotherClientFailsAndLeavesThatGrabWorking)
{
    Display *other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    const Window root = DefaultRootWindow(other);
    const int f2 = XKeysymToKeycode(other, XK_F2);
    // Only the Caps Lock variant: ours gets some variants first and must give them back.
    XGrabKey(other, f2, ShiftMask | Mod1Mask | LockMask, root, False, GrabModeAsync, GrabModeAsync);
    XSync(other, False);

    HotkeyWarnings warnings;
    QHotkey hotkey;
    SignalCounter count(&hotkey);
    EXPECT_FALSE(hotkey.setShortcut(QKeySequence("Shift+Alt+F2"), true));
    EXPECT_FALSE(hotkey.isRegistered());
    EXPECT_TRUE(warnings.contains(
        QString("Failed to register %1. Error: BadAccess")
            .arg(QKeySequence("Shift+Alt+F2").toString(QKeySequence::PortableText))));

    // None of our grabs is left behind: a third client can take the plain variant.
    Display *third = XOpenDisplay(nullptr);
    ASSERT_NE(third, nullptr);
    grabError = 0;
    const auto previousHandler = XSetErrorHandler(recordGrabError);
    XGrabKey(third, f2, ShiftMask | Mod1Mask, root, False, GrabModeAsync, GrabModeAsync);
    XSync(third, False);
    XSetErrorHandler(previousHandler);
    EXPECT_EQ(grabError, 0);
    XCloseDisplay(third);

    LocksOff locksOff;
    xdotool({"key", "Caps_Lock"});
    ASSERT_TRUE(waitUntil([] { return lockedModifiers() == LockMask; }));
    xdotool({"key", "shift+alt+F2"});
    bool otherGotIt = false;
    EXPECT_TRUE(waitUntil([&] {
        while (XPending(other)) {
            XEvent event;
            XNextEvent(other, &event);
            otherGotIt |= event.type == KeyPress && int(event.xkey.keycode) == f2;
        }
        return otherGotIt;
    }));
    EXPECT_EQ(count.activated, 0);
    XCloseDisplay(other);
}

TEST_F(QHotkeyX11Test, AfterUnregisteringTheKeyReachesTheFocusedWindow)
{
    KeyRecorder window;
    window.resize(200, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    ASSERT_TRUE(waitUntil([&] { return window.isActiveWindow(); }));

    QHotkey hotkey(QKeySequence("Shift+Alt+F3"), true);
    ASSERT_TRUE(hotkey.isRegistered());
    SignalCounter count(&hotkey);
    xdotool({"key", "shift+alt+F3"});
    EXPECT_TRUE(waitUntil([&] { return count.released == 1; }));
    EXPECT_FALSE(window.keys.contains(Qt::Key_F3)) << "a hotkey's key is not typed as well";

    ASSERT_TRUE(hotkey.setRegistered(false));
    xdotool({"key", "shift+alt+F3"});
    EXPECT_TRUE(waitUntil([&] { return window.keys.contains(Qt::Key_F3); }));
    EXPECT_EQ(count.activated, 1);
}

} // namespace
