// The Qt overlays on a desktop of the test's own (Xvfb with openbox), without a compositing
// manager, with xcompmgr, and without again once it has ended: on the screen, the window below
// shows around what each overlay draws (no black box), and a click on what it draws reaches
// the window below.

#include "feedback/CountdownTimer.h"
#include "feedback/NotificationWidget.h"
#include "feedback/StateNotifier.h"
#include "feedback/TransparentTextWidget.h"
#include "feedback/osw_FaceNotFound.h"
#include "platform/InputSynthesis.h"
#include "platform/OverlayShapes.h"
#include "platform/Platform.h"
#include "tests/app/DesktopView.h"
#include "tests/ui/DesktopTestMain.h"

#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QTest>

// Xlib's headers last: their macros clash with Qt's names.
#include "tests/platform/XTestClient.h"
#include "tests/support/Patience.h"
#undef None
#undef Bool
#include <gtest/gtest.h>

namespace {

const QRgb BelowColour = qRgb(0, 0xc0, 0);

// An ordinary window of the desktop, under the overlays, that counts the clicks it gets.
struct WindowBelow : QWidget
{
    WindowBelow()
        : QWidget(nullptr, Qt::FramelessWindowHint)
    {
        QPalette green = palette();
        green.setColor(QPalette::Window, BelowColour);
        setPalette(green);
        setAutoFillBackground(true);
    }
    void mousePressEvent(QMouseEvent *) override { ++presses; }
    int presses = 0;
};

struct Overlay
{
    const char *name;
    QWidget *window;
    QPoint drawn; // in the window: a pixel the overlay draws
    QPoint clear; // in the window: a pixel it leaves transparent
};

// Where the window's top left corner is on the screen, as the X server has it. Qt's own record
// (geometry()) of a window the window manager took on can stay where the manager's frame was
// made, when a busy manager moved the frame after Qt asked where the window was.
QPoint placeOf(Display *dpy, const QWidget *window)
{
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(dpy, window->winId(), DefaultRootWindow(dpy), 0, 0, &x, &y, &child);
    return QPoint(x, y);
}

} // namespace

TEST(QtOverlayShapes, TheWindowBelowShowsAroundWhatEachOverlayDrawsAndTakesItsClicks)
{
    XTestClient x;
    DesktopView desktop;
    ASSERT_TRUE(x.display && desktop.isOpen());
    WindowBelow below;
    // Short of the whole screen: the window manager takes a bare window that fills the screen
    // for a full-screen one, above every other.
    below.setGeometry(0, 0, 1800, 1000);
    below.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&below, patientMs(10000)));

    platform::inputSynthesis().moveAbsolute(400, 300);
    ASSERT_TRUE(waitUntil([&] { return x.pointer() == QPoint(400, 300); }));
    StateNotifier motion; // as the dwell images show, centred on the pointer
    motion.setImagePath("d20.png");
    motion.OnSN_SetSize(200, 200);
    motion.OnSN_SetDelta(-100, -100);
    motion.setKeepOnScreen(false);
    motion.moveToPointer();
    CountdownTimer ring(nullptr, 60000, 0, 0, 200, 10, Qt::blue);
    ring.OnSetAttributes(60000, 800, 300, 100, 10, Qt::blue);
    ring.OnStartTimer();
    TransparentTextWidget notice(nullptr, "Pointer Frozen", Qt::white, QFont("Arial", 15),
                                 Qt::black, 127, 400, 800);
    notice.showText();
    osw_FaceNotFound warning;
    warning.Show();
    const QLabel *text = warning.findChild<QLabel *>();
    ASSERT_TRUE(text);
    const Overlay overlays[] = {
        // The arc starts at 12 o'clock: a little way clockwise lies on it early on.
        {"countdown ring", &ring, {63, 10}, {60, 60}},
        {"notice box", &notice, {notice.width() / 2, 8}, {0, 0}},
        {"warning", &warning, text->geometry().center(), {2, 2}},
        {"status image", motion.widget(), {100, 30}, {100, 100}},
    };
    // The ring advances a step per tick of a timer of this process, which a busy machine delays.
    ASSERT_TRUE(QTest::qWaitFor([&] { return ring.spanAngle() <= -8 * 16; }, patientMs(30000)));

    const auto pixel = [&](const Overlay &o, QPoint p) {
        return desktop.grab(QRect(placeOf(x.display, o.window) + p, QSize(1, 1))).pixel(0, 0);
    };
    const auto expectLooksRight = [&](const char *desktopKind) {
        for (const Overlay &o : overlays) {
            SCOPED_TRACE(std::string(o.name) + " " + desktopKind);
            // Clicks move the pointer, and the image with it: back to its place first.
            platform::inputSynthesis().moveAbsolute(400, 300);
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return placeOf(x.display, motion.widget()) == QPoint(300, 200); },
                patientMs(5000)));
            ASSERT_TRUE(QTest::qWaitForWindowExposed(o.window, patientMs(10000)));
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return pixel(o, o.clear) == BelowColour; }, patientMs(5000)))
                << "covers the window below: " << std::hex << pixel(o, o.clear);
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return pixel(o, o.drawn) != BelowColour; }, patientMs(5000)))
                << "shows nothing";
            const int presses = below.presses;
            x.click(placeOf(x.display, o.window) + o.drawn);
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return below.presses == presses + 1; }, patientMs(5000)));
        }
    };

    expectLooksRight("without a compositor");
    screenshot("overlays-1-without-compositor");

    QProcess compositor;
    compositor.start("xcompmgr", QStringList());
    ASSERT_TRUE(compositor.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([] { return platform::overlayShapes().isCompositing(); },
                                patientMs(10000)));
    expectLooksRight("with xcompmgr");
    screenshot("overlays-2-with-compositor");

    compositor.terminate();
    ASSERT_TRUE(compositor.waitForFinished());
    ASSERT_TRUE(QTest::qWaitFor([] { return !platform::overlayShapes().isCompositing(); },
                                patientMs(10000)));
    expectLooksRight("after xcompmgr ended");
    screenshot("overlays-3-compositor-ended");
}

int main(int argc, char **argv)
{
    return runTestsOnPrivateDesktop(argc, argv, true);
}
