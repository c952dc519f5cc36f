// The X11 input, screen and cursor services on the X server of the test run, seen from a
// connection of the test's own, as any other program would see them.

#include "platform/x11/X11DesktopSnapshot.h"
#include "platform/x11/X11InputSynthesis.h"
#include "platform/x11/X11PointerScreens.h"
#include "platform/x11/X11SystemCursors.h"
#include "platform/x11/X11WindowManager.h"
#include "tests/platform/CursorBytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

// Xlib's headers last: their macros clash with Qt's names.
#include "tests/platform/XTestClient.h"

#include <X11/Xatom.h>
#include <X11/Xcursor/Xcursor.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>
#undef None
#undef Bool
#include <gtest/gtest.h>

using platform::Key;
using platform::MouseButton;
using Shape = platform::SystemCursors::Shape;

namespace {

struct X11Input : ::testing::Test
{
    void SetUp() override
    {
        ASSERT_TRUE(x.display) << "no X display";
        window = x.createWindow(QRect(100, 100, 400, 300));
        input.moveAbsolute(300, 250);
        ASSERT_TRUE(waitUntil([&] { return x.pointer() == QPoint(300, 250); }));
    }
    void TearDown() override
    {
        input.releaseAll();
        x.destroyWindow(window);
    }
    // A press and a release of the detail, in that order, seen by the window.
    bool pressedAndReleased(int press, int release, unsigned detail)
    {
        return x.waitFor(
            [&] { return x.count(press, detail) >= 1 && x.count(release, detail) >= 1; });
    }
    XTestClient x;
    Window window = 0;
    platform::X11InputSynthesis input;
};

} // namespace

TEST_F(X11Input, AbsoluteAndRelativeMovesReadBackExactly)
{
    ASSERT_TRUE(input.moveAbsolute(123, 456));
    EXPECT_TRUE(waitUntil([&] { return x.pointer() == QPoint(123, 456); }));

    // A strong acceleration would scale any move the server treats as relative.
    int numerator, denominator, threshold;
    XGetPointerControl(x.display, &numerator, &denominator, &threshold);
    XChangePointerControl(x.display, 1, 1, 10, 1, 1);
    XSync(x.display, 0);
    ASSERT_TRUE(input.moveRelative(-23, 44));
    const bool exact = waitUntil([&] { return x.pointer() == QPoint(100, 500); });
    XChangePointerControl(x.display, 1, 1, numerator, denominator, threshold);
    XSync(x.display, 0);
    EXPECT_TRUE(exact) << "pointer at " << x.pointer().x() << "," << x.pointer().y();
}

TEST_F(X11Input, ButtonsAndTheWheelReachTheWindowUnderThePointer)
{
    input.buttonDown(MouseButton::Left);
    input.buttonUp(MouseButton::Left);
    EXPECT_TRUE(pressedAndReleased(ButtonPress, ButtonRelease, 1));
    input.buttonDown(MouseButton::Right);
    EXPECT_TRUE(input.isHeld(MouseButton::Right));
    input.buttonUp(MouseButton::Right);
    EXPECT_TRUE(pressedAndReleased(ButtonPress, ButtonRelease, 3));
    EXPECT_FALSE(input.isHeld(MouseButton::Right));

    input.wheel(240); // two notches up
    EXPECT_TRUE(x.waitFor([&] { return x.count(ButtonRelease, 4) == 2; }));
    input.wheel(-60); // half a notch: nothing yet
    input.wheel(-60);
    EXPECT_TRUE(x.waitFor([&] { return x.count(ButtonRelease, 5) == 1; }));
    EXPECT_EQ(x.count(ButtonPress, 4), 2);
    EXPECT_EQ(x.count(ButtonPress, 5), 1);
    for (const XTestClient::Event &e : x.events)
        EXPECT_EQ(e.window, window);
}

TEST_F(X11Input, EveryKeyArrivesAsItsKeysym)
{
    const std::pair<Key, KeySym> keys[] = {{Key::Space, XK_space}, {Key::Return, XK_Return},
                                           {Key::One, XK_1},       {Key::F12, XK_F12},
                                           {Key::F13, XK_F13},     {Key::F14, XK_F14}};
    for (const auto &key : keys) {
        SCOPED_TRACE(XKeysymToString(key.second));
        x.events.clear();
        ASSERT_TRUE(input.keyDown(key.first));
        ASSERT_TRUE(x.waitFor([&] { return x.count(KeyPress) == 1; }));
        const unsigned keycode = x.events.last().detail;
        // While the key is held its keycode types the keysym, bound for it if need be.
        EXPECT_EQ(x.keysymOf(keycode), key.second);
        ASSERT_TRUE(input.keyUp(key.first));
        EXPECT_TRUE(x.waitFor([&] { return x.count(KeyRelease, keycode) == 1; }));
        EXPECT_FALSE(input.isHeld(key.first));
    }
    // The spare keycodes bound for F13 and F14 are free again: the keymap is as it was.
    EXPECT_TRUE(waitUntil([&] { return x.keycodeOf(XK_F13) == 0 && x.keycodeOf(XK_F14) == 0; }));
}

TEST_F(X11Input, NothingIsHeldAfterReleaseAll)
{
    input.buttonDown(MouseButton::Left);
    input.buttonDown(MouseButton::Right);
    input.keyDown(Key::Space);
    input.keyDown(Key::F14);
    ASSERT_TRUE(waitUntil([&] { return x.pointerButtons() == (Button1Mask | Button3Mask); }));
    ASSERT_TRUE(waitUntil([&] { return x.anyKeyDown(); }));

    input.releaseAll();
    EXPECT_TRUE(waitUntil([&] { return x.pointerButtons() == 0 && !x.anyKeyDown(); }));
    EXPECT_FALSE(input.isHeld(MouseButton::Left));
    EXPECT_FALSE(input.isHeld(Key::F14));
    EXPECT_EQ(x.keycodeOf(XK_F14), 0u);
}

// A release goes to the desktop only for a button the service holds down. XTEST keeps one state
// for all its clients, so a release of a button it does not hold would let go of another
// program's press, and the desktop would see two releases for the service's one press.
TEST_F(X11Input, ItReleasesOnlyAButtonItHolds)
{
    // The buttons' releases as the server reports them, whoever sent them.
    const std::unique_ptr<Display, int (*)(Display *)> connection(XOpenDisplay(nullptr),
                                                                   XCloseDisplay);
    Display *watch = connection.get();
    ASSERT_TRUE(watch);
    int opcode = 0, event = 0, error = 0, major = 2, minor = 2;
    ASSERT_TRUE(XQueryExtension(watch, "XInputExtension", &opcode, &event, &error) &&
                XIQueryVersion(watch, &major, &minor) == Success);
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawButtonRelease);
    XIEventMask mask{XIAllMasterDevices, int(sizeof bits), bits};
    XISelectEvents(watch, DefaultRootWindow(watch), &mask, 1);
    XSync(watch, False);
    int left = 0, right = 0;
    const auto read = [&] {
        while (XPending(watch)) {
            XEvent e;
            XNextEvent(watch, &e);
            if (e.xcookie.type == GenericEvent && e.xcookie.extension == opcode &&
                XGetEventData(watch, &e.xcookie)) {
                const int button = static_cast<const XIRawEvent *>(e.xcookie.data)->detail;
                left += button == 1;
                right += button == 3;
                XFreeEventData(watch, &e.xcookie);
            }
        }
    };

    input.buttonDown(MouseButton::Left);
    input.buttonUp(MouseButton::Left);
    input.buttonUp(MouseButton::Left);
    // Another program holds the left button.
    XTestFakeButtonEvent(x.display, 1, True, CurrentTime);
    XSync(x.display, False);
    input.buttonUp(MouseButton::Left);
    EXPECT_TRUE(x.pointerButtons() & Button1Mask) << "another program's press was let go";
    XTestFakeButtonEvent(x.display, 1, False, CurrentTime);
    // Its right click last: once that is seen, every release before it has been.
    XTestFakeButtonEvent(x.display, 3, True, CurrentTime);
    XTestFakeButtonEvent(x.display, 3, False, CurrentTime);
    XSync(x.display, False);
    EXPECT_TRUE(waitUntil([&] {
        read();
        return right == 1;
    }));
    EXPECT_EQ(left, 2) << "releases of the left button for its two presses";
}

// The engine's worker presses while an end on the GUI thread lets go of everything: whoever
// comes first, the service's record and the server agree afterwards (a release sent before
// the press it raced, with the press then forgotten, would leave the button down for good).
TEST_F(X11Input, APressRacingAReleaseAllOnAnotherThreadLeavesTheServerAsTheRecordSays)
{
    const unsigned space = x.keycodeOf(XK_space);
    ASSERT_NE(space, 0u);
    const auto spaceDown = [&] {
        char keys[32];
        XQueryKeymap(x.display, keys);
        return (keys[space / 8] & (1 << (space % 8))) != 0;
    };
    constexpr int Rounds = 3000;
    std::atomic<int> go{-1}, pressed{-1};
    std::thread presser([&] {
        for (int round = 0; round < Rounds; ++round) {
            while (go.load() < round)
                std::this_thread::yield();
            if (round % 2)
                input.keyDown(Key::Space);
            else
                input.buttonDown(MouseButton::Left);
            pressed.store(round);
        }
    });
    int buttonDisagrees = 0, keyDisagrees = 0;
    for (int round = 0; round < Rounds; ++round) {
        go.store(round);
        input.releaseAll();
        while (pressed.load() < round)
            std::this_thread::yield();
        // Both calls have returned: the server has taken their events.
        buttonDisagrees +=
            input.isHeld(MouseButton::Left) != bool(x.pointerButtons() & Button1Mask);
        keyDisagrees += input.isHeld(Key::Space) != spaceDown();
        input.releaseAll();
        XTestFakeButtonEvent(x.display, 1, False, CurrentTime);
        XTestFakeKeyEvent(x.display, space, False, CurrentTime);
        XSync(x.display, False);
    }
    presser.join();
    EXPECT_EQ(buttonDisagrees, 0) << "of " << Rounds / 2 << " rounds";
    EXPECT_EQ(keyDisagrees, 0) << "of " << Rounds / 2 << " rounds";
}

TEST_F(X11Input, TwoThreadsMovingThePointerAtOnceRaiseNoXError)
{
    const int before = XTestClient::errors();
    auto mover = [this](int offset) {
        for (int i = 0; i < 300; ++i) {
            input.moveAbsolute(200 + offset + i % 50, 200 + i % 40);
            input.moveRelative(1, -1);
        }
    };
    std::thread a(mover, 0), b(mover, 100);
    a.join();
    b.join();
    input.moveAbsolute(321, 222);
    EXPECT_TRUE(waitUntil([&] { return x.pointer() == QPoint(321, 222); }));
    XSync(x.display, 0);
    EXPECT_EQ(XTestClient::errors(), before);
}

TEST(X11Screens, ThePointerAndTheScreensAreTheServersOwn)
{
    XTestClient x;
    platform::X11PointerScreens screens;
    platform::X11InputSynthesis input;
    input.moveAbsolute(77, 88);
    ASSERT_TRUE(waitUntil([&] { return x.pointer() == QPoint(77, 88); }));
    QPoint at;
    ASSERT_TRUE(screens.pointerPosition(&at));
    EXPECT_EQ(at, QPoint(77, 88));

    const QRect root(0, 0, DisplayWidth(x.display, 0), DisplayHeight(x.display, 0));
    EXPECT_EQ(screens.virtualScreen(), root);
    // One output covering the whole root window.
    EXPECT_EQ(screens.primaryScreen(), root);
}

namespace {

struct CursorImage
{
    int width = 0, height = 0, xhot = 0, yhot = 0;
    QVector<unsigned long> pixels;
    bool operator==(const CursorImage &o) const
    {
        return width == o.width && height == o.height && xhot == o.xhot && yhot == o.yhot &&
               pixels == o.pixels;
    }
};

CursorImage currentCursor(Display *display)
{
    CursorImage c;
    if (XFixesCursorImage *image = XFixesGetCursorImage(display)) {
        c = {image->width, image->height, image->xhot, image->yhot, {}};
        // 32-bit ARGB values, held in longs by Xlib.
        for (int i = 0; i < image->width * image->height; ++i)
            c.pixels.append(image->pixels[i] & 0xffffffffu);
        XFree(image);
    }
    return c;
}

// A window showing the named cursor, as a toolkit makes one: loaded by name and named.
Window windowWithCursor(XTestClient &x, const QRect &rect, const char *name)
{
    const Window window = x.createWindow(rect);
    Cursor cursor = XcursorLibraryLoadCursor(x.display, name);
    if (!cursor)
        cursor = XCreateFontCursor(x.display, XC_left_ptr);
    XFixesSetCursorName(x.display, cursor, name);
    XDefineCursor(x.display, window, cursor);
    XFreeCursor(x.display, cursor);
    XSync(x.display, 0);
    return window;
}

} // namespace

TEST(X11Cursors, ReplacingTheArrowShowsOurImageUntilRestored)
{
    XTestClient x;
    ASSERT_TRUE(x.display);
    const Window arrowWindow = windowWithCursor(x, QRect(50, 50, 200, 200), "left_ptr");
    const Window textWindow = windowWithCursor(x, QRect(300, 50, 200, 200), "xterm");
    platform::X11InputSynthesis input;
    const auto cursorAt = [&](QPoint p) {
        input.moveAbsolute(p.x(), p.y());
        waitUntil([&] { return x.pointer() == p; });
        return currentCursor(x.display);
    };
    const CursorImage userArrow = cursorAt(QPoint(150, 150));
    const CursorImage userText = cursorAt(QPoint(400, 150));
    ASSERT_GT(userArrow.width, 0);

    QTemporaryDir dir;
    CursorBytes::Entry ours;
    ours.width = ours.height = 32;
    ours.hotX = 5;
    ours.hotY = 7;
    ours.pixel = [](int x, int y) { return 0xff000000u | quint32(x * 8) << 16 | quint32(y * 8); };
    QFile file(dir.filePath("Ours.cur"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(CursorBytes::file({ours}));
    file.close();

    platform::X11SystemCursors cursors;
    platform::SystemCursors::Failure failure;
    ASSERT_TRUE(cursors.replace(Shape::Arrow, file.fileName(), &failure))
        << failure.text.toStdString();
    CursorImage shown;
    EXPECT_TRUE(waitUntil([&] {
        shown = cursorAt(QPoint(150, 150));
        return shown.width == 32 && shown.height == 32;
    }));
    EXPECT_EQ(shown.xhot, 5);
    EXPECT_EQ(shown.yhot, 7);
    EXPECT_EQ(shown.pixels.value(3 * 32 + 2), 0xff100018ul);
    // Only the arrow's names change.
    EXPECT_EQ(cursorAt(QPoint(400, 150)), userText);

    EXPECT_FALSE(cursors.replace(Shape::Arrow, dir.filePath("missing.cur"), &failure));
    EXPECT_EQ(failure.code, ENOENT);

    ASSERT_TRUE(cursors.restore(Shape::Arrow));
    CursorImage restored;
    EXPECT_TRUE(waitUntil([&] { return (restored = cursorAt(QPoint(150, 150))) == userArrow; }))
        << restored.width << "x" << restored.height << " hot " << restored.xhot << ","
        << restored.yhot << ", the user's " << userArrow.width << "x" << userArrow.height << " hot "
        << userArrow.xhot << "," << userArrow.yhot;
    x.destroyWindow(arrowWindow);
    x.destroyWindow(textWindow);
}

int main(int argc, char **argv)
{
    XInitThreads(); // as the program does first
    XTestClient::countErrors();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

namespace {

// A plain top-level window (no window manager runs here), titled as a program titles it.
Window namedWindow(Display *dpy, const QRect &r, const char *wmName, const char *netWmName)
{
    const Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), r.x(), r.y(),
                                         unsigned(r.width()), unsigned(r.height()), 0, 0, 0);
    if (wmName)
        XStoreName(dpy, w, wmName);
    if (netWmName)
        XChangeProperty(dpy, w, XInternAtom(dpy, "_NET_WM_NAME", False),
                        XInternAtom(dpy, "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char *>(netWmName),
                        int(std::strlen(netWmName)));
    XMapRaised(dpy, w);
    return w;
}

platform::PointedWindow windowAt(XTestClient &x, QPoint at)
{
    XWarpPointer(x.display, 0, DefaultRootWindow(x.display), 0, 0, 0, 0, at.x(), at.y());
    XSync(x.display, False);
    // A fresh service each time: what it keeps of a window is not what is tested here.
    return platform::X11WindowManager().windowUnderPointer();
}

} // namespace

TEST(X11WindowUnderPointer, TitlesOwnersDocksAndClassesAsOtherProgramsSetThem)
{
    XTestClient x;
    ASSERT_TRUE(x.display) << "no X display";
    Display *dpy = x.display;
    const Window editor = namedWindow(dpy, QRect(0, 0, 200, 200), "Editor", nullptr);
    const Window utf8 = namedWindow(dpy, QRect(200, 0, 200, 200), "Plain", "Überblick");
    const Window untitled = namedWindow(dpy, QRect(400, 0, 200, 200), nullptr, nullptr);
    const Window dialog = namedWindow(dpy, QRect(600, 0, 200, 200), nullptr, nullptr);
    XSetTransientForHint(dpy, dialog, editor);
    const Window keyboard = namedWindow(dpy, QRect(800, 0, 200, 200), "Onboard", nullptr);
    XClassHint hint{const_cast<char *>("onboard"), const_cast<char *>("Onboard")};
    XSetClassHint(dpy, keyboard, &hint);
    const Atom dock = XInternAtom(dpy, "_NET_WM_WINDOW_TYPE_DOCK", False);
    XChangeProperty(dpy, keyboard, XInternAtom(dpy, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char *>(&dock), 1);
    // An overlay that takes no input, over the editor: the pointer is over the editor.
    const Window overlay = namedWindow(dpy, QRect(50, 50, 100, 100), nullptr, nullptr);
    XShapeCombineRectangles(dpy, overlay, ShapeInput, 0, 0, nullptr, 0, ShapeSet, Unsorted);
    XSync(dpy, False);

    platform::PointedWindow w = windowAt(x, QPoint(100, 100));
    EXPECT_TRUE(w.found);
    EXPECT_EQ(w.title, "Editor");
    EXPECT_FALSE(w.owned);
    EXPECT_FALSE(w.dock);

    EXPECT_EQ(windowAt(x, QPoint(300, 100)).title, QString::fromUtf8("Überblick"));

    w = windowAt(x, QPoint(500, 100));
    EXPECT_TRUE(w.found);
    EXPECT_TRUE(w.title.isEmpty());

    w = windowAt(x, QPoint(700, 100));
    EXPECT_TRUE(w.title.isEmpty());
    EXPECT_TRUE(w.owned);
    EXPECT_EQ(w.ownerTitle, "Editor");

    w = windowAt(x, QPoint(900, 100));
    EXPECT_TRUE(w.dock);
    EXPECT_EQ(w.instanceName, "onboard");
    EXPECT_EQ(w.className, "Onboard");

    EXPECT_FALSE(windowAt(x, QPoint(500, 700)).found) << "the bare desktop";

    for (Window window : {editor, utf8, untitled, dialog, keyboard, overlay})
        XDestroyWindow(dpy, window);
    XSync(dpy, False);
}

namespace {

bool repeats(Display *display, unsigned keycode)
{
    XKeyboardState state;
    XGetKeyboardControl(display, &state);
    return state.auto_repeats[keycode / 8] & (1 << (keycode % 8));
}

bool globalRepeat(Display *display)
{
    XKeyboardState state;
    XGetKeyboardControl(display, &state);
    return state.global_auto_repeat == AutoRepeatModeOn;
}

void setRepeat(Display *display, int keycode, bool on)
{
    XKeyboardControl control{};
    control.key = keycode;
    control.auto_repeat_mode = on ? AutoRepeatModeOn : AutoRepeatModeOff;
    XChangeKeyboardControl(display, keycode >= 0 ? KBKey | KBAutoRepeatMode : KBAutoRepeatMode,
                           &control);
}

} // namespace

// What a program that went without cleaning up leaves, put back from the guardian's side:
// the button and key it held, its pointer acceleration, a key's repeat turned off while it
// was held, and the spare keycode it bound. Another program's Shift held through XTEST and
// its own binding of a spare keycode made meanwhile stay as they are.
TEST(X11DesktopSnapshot, PutBackLetsGoOfWhatTheProgramHeldAndOfNothingElse)
{
    XTestClient x;
    ASSERT_TRUE(x.display);
    XChangePointerControl(x.display, True, True, 7, 2, 3);
    XSync(x.display, False);
    const unsigned key = x.keycodeOf(XK_a);
    const unsigned shift = x.keycodeOf(XK_Shift_L);
    ASSERT_NE(key, 0u);
    ASSERT_NE(shift, 0u);
    const bool keyRepeated = repeats(x.display, key);
    const bool globallyRepeated = globalRepeat(x.display);
    int first = 0, last = 0, perKeycode = 0;
    XDisplayKeycodes(x.display, &first, &last);
    std::vector<unsigned> spares;
    for (int k = last; k >= first && spares.size() < 2; --k) {
        KeySym *syms = XGetKeyboardMapping(x.display, KeyCode(k), 1, &perKeycode);
        bool empty = true;
        for (int i = 0; i < perKeycode; ++i)
            empty = empty && syms[i] == NoSymbol;
        XFree(syms);
        if (empty)
            spares.push_back(unsigned(k));
    }
    ASSERT_EQ(spares.size(), 2u) << "the keymap has no two spare keycodes";
    const auto bind = [&](unsigned keycode, KeySym sym) {
        std::vector<KeySym> syms(std::size_t(perKeycode), sym);
        XChangeKeyboardMapping(x.display, int(keycode), perKeycode, syms.data(), 1);
    };

    platform::X11DesktopSnapshot snapshot;
    ASSERT_TRUE(snapshot.take());

    // The program at work, then gone; another program holds Shift and binds a key meanwhile.
    XChangePointerControl(x.display, True, True, 1, 1, 1);
    setRepeat(x.display, int(key), !keyRepeated);
    setRepeat(x.display, -1, !globallyRepeated);
    bind(spares[0], XK_F13);
    bind(spares[1], XK_F14);
    XTestFakeButtonEvent(x.display, 1, True, CurrentTime);
    XTestFakeKeyEvent(x.display, key, True, CurrentTime);
    XTestFakeKeyEvent(x.display, shift, True, CurrentTime);
    XSync(x.display, False);
    ASSERT_TRUE(x.pointerButtons() & Button1Mask);
    platform::X11HeldInput held;
    held.buttons = {1};
    held.keycodes = {key};
    held.boundKeycodes = {{spares[0], XK_F13}};
    const auto keyDown = [&](unsigned keycode) {
        char keys[32];
        XQueryKeymap(x.display, keys);
        return (keys[keycode / 8] & (1 << (keycode % 8))) != 0;
    };

    snapshot.putBack(platform::X11HeldInput::decode(held.encode()));
    XSync(x.display, False);
    EXPECT_EQ(x.pointerButtons(), 0u);
    EXPECT_FALSE(keyDown(key));
    EXPECT_TRUE(keyDown(shift)) << "another program's Shift went up";
    int n = 0, d = 0, t = 0;
    XGetPointerControl(x.display, &n, &d, &t);
    EXPECT_EQ(QPoint(n, d), QPoint(7, 2));
    EXPECT_EQ(t, 3);
    EXPECT_EQ(repeats(x.display, key), keyRepeated);
    EXPECT_EQ(globalRepeat(x.display), globallyRepeated);
    EXPECT_EQ(x.keysymOf(spares[0]), 0ul) << "the spare keycode keeps the program's key";
    EXPECT_EQ(x.keysymOf(spares[1]), static_cast<unsigned long>(XK_F14))
        << "another program's binding went";
    // Put back twice (the program's own end and the guardian's) changes nothing more.
    snapshot.putBack(held);
    EXPECT_EQ(x.pointerButtons(), 0u);
    EXPECT_TRUE(keyDown(shift));

    XTestFakeKeyEvent(x.display, shift, False, CurrentTime);
    bind(spares[0], NoSymbol);
    bind(spares[1], NoSymbol);
    XSync(x.display, False);
}
