// Every overlay on the test run's X server with the real back ends: clicks at the overlay go
// to the window below it, and no overlay takes the keyboard focus or outlives its stop.

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "feedback/COnScreenText.h"
#include "feedback/CProgressMeter.h"
#include "feedback/CountdownTimer.h"
#include "feedback/MessageWidget.h"
#include "feedback/NotificationWidget.h"
#include "feedback/StateNotifier.h"
#include "feedback/TransparentTextWidget.h"
#include "feedback/osw_FaceNotFound.h"
#include "platform/InputSynthesis.h"
#include "platform/Platform.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <thread>

// Xlib's headers last: their macros clash with Qt's names.
#include "tests/platform/XTestClient.h"
#include "tests/support/Patience.h"
#include <X11/extensions/shape.h>
#undef None
#undef Bool
#include <gtest/gtest.h>

namespace {

struct OnX11 : ::testing::Test
{
    void SetUp() override
    {
        ASSERT_TRUE(x.display);
        below = x.createWindow(QRect(0, 0, 1200, 900));
    }
    void TearDown() override { x.destroyWindow(below); }

    // The topmost viewable window whose rectangle holds the point.
    Window topWindowAt(QPoint p) const
    {
        Window root, parent, *children = nullptr;
        unsigned n = 0;
        Window found = 0;
        XQueryTree(x.display, DefaultRootWindow(x.display), &root, &parent, &children, &n);
        for (int i = int(n) - 1; i >= 0 && !found; --i) {
            XWindowAttributes a;
            if (XGetWindowAttributes(x.display, children[i], &a) && a.map_state == IsViewable &&
                QRect(a.x, a.y, a.width, a.height).contains(p))
                found = children[i];
        }
        if (children)
            XFree(children);
        return found;
    }

    // Something of ours covers the point, and a click there reaches the window below.
    void expectClickThrough(QPoint p)
    {
        SCOPED_TRACE(QStringLiteral("at %1,%2").arg(p.x()).arg(p.y()).toStdString());
        ASSERT_TRUE(QTest::qWaitFor([&] { return topWindowAt(p) != below; }, patientMs(5000)))
            << "nothing covers the point";
        x.events.clear();
        x.click(p);
        EXPECT_TRUE(x.waitFor([&] { return x.count(ButtonPress, 1) == 1; }));
        EXPECT_EQ(x.events.value(0).window, below);
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(x.display, &focus, &revert);
        EXPECT_EQ(focus, below) << "an overlay took the focus";
    }

    void expectQtWindowClickThrough(QWidget &w, QPoint p)
    {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        expectClickThrough(p);
    }

    XTestClient x;
    Window below = 0;
};

} // namespace

TEST_F(OnX11, TheLabelLetsClicksThrough)
{
    COnScreenText label("Smile and hold", 300, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return label.isRunning(); }, patientMs(5000)));
    ASSERT_TRUE(waitUntil([&] { return x.overlayWindows().size() == 1; }));
    const QRect r = label.windowRect();
    expectClickThrough(r.center());
    label.Stop();
    EXPECT_TRUE(waitUntil([&] { return x.overlayWindows(false).isEmpty(); }));
}

TEST_F(OnX11, TheRingLetsClicksThroughAtItsCentreAndOnItsBand)
{
    platform::inputSynthesis().moveAbsolute(600, 400);
    ASSERT_TRUE(waitUntil([&] { return x.pointer() == QPoint(600, 400); }));
    CProgressMeter ring;
    ring.SetDuration(50); // filling over and over
    ring.Start("Hold still", false);
    ASSERT_TRUE(waitUntil([&] { return x.overlayWindows().size() == 2; }));
    ASSERT_TRUE(waitUntil([&] { return ring.isRunning(); }));
    expectClickThrough(QPoint(600, 400));
    expectClickThrough(QPoint(650, 400)); // on the arc at 3 o'clock
    ring.Stop();
    EXPECT_TRUE(waitUntil([&] { return x.overlayWindows(false).isEmpty(); }));
}

TEST_F(OnX11, StartsAndStopsFromTwoThreadsLeaveNoWindowBehind)
{
    COnScreenText label;
    CProgressMeter ring;
    ring.SetDuration(50);
    auto churn = [&](int seed) {
        for (int i = 0; i < 25; ++i) {
            label.Start(QString("label %1").arg(seed * 100 + i), 100 + i, 100);
            ring.Start(QString::number(i), i % 2 == 0);
            if (i % 3 == 0)
                label.SetText("changed");
            label.Stop();
            ring.Stop();
        }
    };
    std::thread a(churn, 1), b(churn, 2);
    a.join();
    b.join();
    label.Stop();
    ring.Stop();
    EXPECT_TRUE(waitUntil([&] { return x.overlayWindows(false).isEmpty(); }))
        << x.overlayWindows(false).size() << " windows left";
}

TEST_F(OnX11, TheQtOverlaysLetClicksThroughAndNeverTakeTheFocus)
{
    CountdownTimer countdown(nullptr, 60000, 0, 0, 200, 10, Qt::blue);
    countdown.OnSetAttributes(60000, 200, 200, 100, 10, Qt::blue);
    countdown.OnStartTimer();
    expectQtWindowClickThrough(countdown, QPoint(200, 145)); // on the ring's band
    countdown.OnStopTimer();

    TransparentTextWidget notice(nullptr, "Pointer Frozen", Qt::white, QFont("Arial", 15),
                                 Qt::black, 127, 500, 500);
    notice.showText();
    expectQtWindowClickThrough(notice, notice.geometry().center());
    notice.hideText();

    StateNotifier face;
    platform::inputSynthesis().moveAbsolute(700, 300);
    ASSERT_TRUE(waitUntil([&] { return x.pointer() == QPoint(700, 300); }));
    face.setImagePath("faceGreen.png");
    face.OnSN_SetSize(25, 25);
    face.OnSN_SetDelta(33, 33);
    expectQtWindowClickThrough(*face.widget(), QPoint(745, 345));

    osw_FaceNotFound warning;
    warning.Show();
    expectQtWindowClickThrough(warning, warning.geometry().center());
    warning.Hide();

    showTimedMessage(60000, "Hotkeys On");
    MessageWidget *toast = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *t = dynamic_cast<MessageWidget *>(w))
            toast = t;
    }
    ASSERT_NE(toast, nullptr);
    expectQtWindowClickThrough(*toast, toast->geometry().center());
    delete toast;
    delete face.widget();
}

TEST_F(OnX11, AStatusImageFollowsEachPointerMoveAndSaysItHasNoFrame)
{
    StateNotifier face;
    platform::inputSynthesis().moveAbsolute(300, 300);
    ASSERT_TRUE(waitUntil([&] { return x.pointer() == QPoint(300, 300); }));
    face.setImagePath("faceGreen.png");
    face.OnSN_SetSize(25, 25);
    face.OnSN_SetDelta(33, 33);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(face.widget()));
    const Window id = Window(face.widget()->winId());
    // Where the server has the window, read on another connection.
    const auto onServer = [&] {
        XWindowAttributes a;
        Window child = 0;
        int rx = 0, ry = 0;
        if (!XGetWindowAttributes(x.display, id, &a) ||
            !XTranslateCoordinates(x.display, id, DefaultRootWindow(x.display), 0, 0, &rx, &ry,
                                   &child))
            return QRect();
        return QRect(rx, ry, a.width, a.height);
    };
    for (const QPoint at : {QPoint(640, 420), QPoint(641, 420), QPoint(90, 700)}) {
        platform::inputSynthesis().moveAbsolute(at.x(), at.y());
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return onServer() == QRect(at + QPoint(33, 33), QSize(25, 25)); },
                            patientMs(5000)))
            << "pointer at " << at.x() << "," << at.y() << ": the image is at " << onServer().x()
            << "," << onServer().y();
        EXPECT_EQ(face.widget()->frameGeometry(), face.widget()->geometry());
    }
    // Put there by another program's warp, which no device's motion reports.
    XWarpPointer(x.display, 0, DefaultRootWindow(x.display), 0, 0, 0, 0, 200, 500);
    XSync(x.display, False);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return onServer() == QRect(QPoint(233, 533), QSize(25, 25)); }, patientMs(5000)))
        << "after a warp the image is at " << onServer().x() << "," << onServer().y();
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    ASSERT_EQ(XGetWindowProperty(x.display, id, XInternAtom(x.display, "_NET_FRAME_EXTENTS", False),
                                 0, 4, False, AnyPropertyType, &type, &format, &count, &after,
                                 &data),
              Success);
    ASSERT_EQ(count, 4u);
    const long *extents = reinterpret_cast<const long *>(data);
    EXPECT_EQ(extents[0] | extents[1] | extents[2] | extents[3], 0);
    XFree(data);
    delete face.widget();
}

int main(int argc, char **argv)
{
    XInitThreads(); // as the program does first
    ::testing::InitGoogleTest(&argc, argv);
    TestHome home;
    platform::installDefault();
    initDataFolder();
    initFileLocations();
    FacialDetectionApp application(argc, argv);
    return RUN_ALL_TESTS();
}
