// The program itself (build/bin/TovraMouse) on a desktop of the test's own with a window
// manager and no compositing manager, as on many X11 desktops: the image that follows the
// pointer from the start is cut to what it draws, so the "Ready to Start" dialog under the
// pointer stays readable, with no black square over its buttons.

#include "tests/app/DesktopView.h"
#include "tests/app/FaceClip.h"
#include "tests/app/ProgramRun.h"
#include "tests/ui/DesktopTestMain.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

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
        // The pointer on the dialog's middle; the program's motion image (200 by 200, centred
        // on the pointer) follows it there.
        xdotool({"mousemove", QString::number(ready.center().x()),
                 QString::number(ready.center().y())});
        QTest::qWait(500);
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
