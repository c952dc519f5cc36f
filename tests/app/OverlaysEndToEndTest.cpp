// The program itself (build/bin/TovraMouse) on a desktop of the test's own with a window
// manager and no compositing manager, as on many X11 desktops: the image that follows the
// pointer from the start is cut to what it draws, so the "Ready to Start" dialog under the
// pointer stays readable, with no black square over its buttons.

#include "tests/app/DesktopView.h"
#include "tests/app/FaceClip.h"
#include "tests/app/ProgramRun.h"
#include "tests/support/Patience.h"
#include "tests/ui/DesktopTestMain.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <X11/Xlib.h>
// Xlib's macros clash with the test framework and Qt.
#undef None
#undef Bool
#undef Status

namespace {

// Whether a window of the motion image's size (200 by 200) is on the screen over `at`.
bool imageOver(const QPoint &at)
{
    Display *dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return false;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    bool over = false;
    if (XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !over; ++i) {
            XWindowAttributes a;
            over = XGetWindowAttributes(dpy, children[i], &a) && a.map_state == IsViewable &&
                   a.width == 200 && a.height == 200 &&
                   QRect(a.x, a.y, a.width, a.height).contains(at);
        }
        if (children)
            XFree(children);
    }
    XCloseDisplay(dpy);
    return over;
}

// The longest run of near-black pixels in any row: a few pixels in letters, the whole width of
// a black square.
int longestDarkRun(const QImage &image)
{
    int longest = 0;
    for (int y = 0; y < image.height(); ++y) {
        int run = 0;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            run = qRed(p) < 24 && qGreen(p) < 24 && qBlue(p) < 24 ? run + 1 : 0;
            longest = qMax(longest, run);
        }
    }
    return longest;
}

TEST(OverlaysEndToEnd, NoBlackSquareCoversTheReadyToStartDialogUnderThePointer)
{
    DesktopView desktop;
    ASSERT_TRUE(desktop.isOpen());
    QProcess compositor;
    startCompositorIfAsked(compositor);
    ProgramRun program;
    ASSERT_TRUE(writeFaceClip(QDir(TOVRA_FACE_PHOTOS).filePath("Tom_Cruise_avp_2014_4.jpg"),
                              program.clipPath(), [](double) { return cv::Point2d(0, 0); }));
    int darkRun = -1;
    const QRect mainWindow = program.start(desktop, [&](const QRect &ready) {
        // The pointer on the dialog's middle, and the program's motion image (200 by 200, where
        // the pointer was when it was made, or following it) over it there.
        xdotool({"mousemove", QString::number(ready.center().x()),
                 QString::number(ready.center().y())});
        EXPECT_TRUE(QTest::qWaitFor([&] { return imageOver(ready.center()); }, patientMs(10000)))
            << "no motion image over the dialog's middle";
        screenshot("ready-to-start-under-the-pointer");
        darkRun = longestDarkRun(desktop.grab(ready));
    });
    ASSERT_FALSE(mainWindow.isNull());
    EXPECT_GE(darkRun, 0);
    EXPECT_LT(darkRun, 40) << "a black square covers the dialog";
    EXPECT_TRUE(program.quit(desktop, mainWindow));
}

} // namespace

int main(int argc, char **argv)
{
    return runTestsOnPrivateDesktop(argc, argv, false);
}
