// The program itself (build/bin/TovraMouse) on a desktop of the test's own, the smile mapped
// to the Space key in the settings file as a user would have mapped it, watching a clip of a
// real face that smiles: a window of the test with the focus sees Space once per smile,
// pressed and released, and a smile still held when the program quits leaves no key down.

#include "core/SettingsKeys.h"
#include "tests/app/DesktopView.h"
#include "tests/app/ProgramRun.h"
#include "tests/support/Patience.h"
#include "tests/ui/DesktopTestMain.h"
#include "tests/vision/SmileClip.h"

#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QProcess>
#include <QWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

// Xlib's headers last: their macros clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/keysym.h>

using namespace SettingKeys;

namespace {

// The window the user works in; it counts the Space presses and releases that reach it.
class WorkWindow : public QWidget
{
public:
    WorkWindow()
    {
        setWindowTitle(QStringLiteral("Work"));
        setGeometry(40, 700, 400, 300);
    }
    void takeFocus() { giveFocus(this); }
    int presses = 0;
    int releases = 0;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Space && !event->isAutoRepeat())
            ++presses;
    }
    void keyReleaseEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Space && !event->isAutoRepeat())
            ++releases;
    }
};

// After the calibration: a smile every four seconds (growing over 0.2 s, held 0.3 s, fading
// over 0.4 s), and from 32.6 s on one that is held to the end of the clip. Each grows through
// the threshold within a few frames: grown over 0.4 s, about one smile in four was read a
// frame under the threshold just after it began, and the program takes what follows for a
// flicker (a smile that begins again within 75 ms of one that ended is rejected) and ignores
// the whole smile, held to the end or not.
double smileAt(double t)
{
    if (t < 20.0)
        return 0.0;
    const double phase = std::fmod(t, 4.0) - 2.6;
    if (t >= 32.6)
        return std::min(1.0, (t - 32.6) / 0.2);
    if (phase < 0.0 || phase > 0.9)
        return 0.0;
    return std::min({1.0, phase / 0.2, (0.9 - phase) / 0.4});
}

bool spaceIsDown()
{
    Display *dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return false;
    char keys[32] = {};
    XQueryKeymap(dpy, keys);
    const KeyCode space = XKeysymToKeycode(dpy, XK_space);
    XCloseDisplay(dpy);
    return (keys[space / 8] >> (space % 8)) & 1;
}

TEST(SmileEndToEnd, EachSmilePressesAndReleasesItsKeyOnceAndQuittingMidSmileReleasesIt)
{
    DesktopView desktop;
    ASSERT_TRUE(desktop.isOpen());
    desktop.stopAutoRepeat();
    QProcess compositor;
    startCompositorIfAsked(compositor);
    // The smile as the key itself: down while the smile is held, up when it ends.
    ProgramRun program({{ACTIVATE_SMILE_DETECTION, 1},
                        {CLICK_MODE, 0},
                        {MOTION_MODE, 1},
                        {FEMAP_INDEX_SMILE, 3},
                        {SHOW_CLICK_OPTIONS, 0}});
    ASSERT_TRUE(writeSmileClip(QDir(TOVRA_FACE_PHOTOS).filePath("Tom_Cruise_avp_2014_4.jpg"),
                               program.clipPath(), 40 * 30, smileAt));
    const QRect mainWindow = program.start(desktop);
    ASSERT_FALSE(mainWindow.isNull());
    WorkWindow work;
    work.takeFocus();
    ASSERT_TRUE(work.isActiveWindow());

    // The smiles that come and go: each one Space press and its release.
    ASSERT_TRUE(QTest::qWaitFor([&] { return work.releases >= 2; }, patientMs(45000)))
        << "presses " << work.presses << " releases " << work.releases;
    EXPECT_EQ(work.presses, work.releases);
    screenshot("smile-1-key-per-smile");
    // The smile held to the end: pressed, not released. Should its start be missed, the
    // clip's next pass brings it again, its short smiles coming and going on the way.
    QElapsedTimer held;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            if (work.presses <= work.releases) {
                held.invalidate();
                return false;
            }
            if (!held.isValid())
                held.start();
            return held.elapsed() >= 3000;
        },
        patientMs(60000)));
    EXPECT_TRUE(spaceIsDown());
    screenshot("smile-2-held");
    EXPECT_TRUE(program.quit(desktop, mainWindow));
    // Let go of by the program, or by its guardian a moment after the end.
    EXPECT_TRUE(QTest::qWaitFor([] { return !spaceIsDown(); }, patientMs(1000)))
        << "Space still down after the program ended";
}

// A user whose face smiles a little at rest, sitting still: past the calibration nothing is
// pressed, however long the face rests.
TEST(SmileEndToEnd, AStillFaceThatSmilesAtRestPressesNothing)
{
    DesktopView desktop;
    ASSERT_TRUE(desktop.isOpen());
    desktop.stopAutoRepeat();
    ProgramRun program({{ACTIVATE_SMILE_DETECTION, 1},
                        {CLICK_MODE, 0},
                        {FEMAP_INDEX_SMILE, 3},
                        {SHOW_CLICK_OPTIONS, 0}});
    // The photo's own smile, with its teeth apart, and nothing else.
    ASSERT_TRUE(writeSmileClip(QDir(TOVRA_FACE_PHOTOS).filePath("Tom_Cruise_avp_2014_4.jpg"),
                               program.clipPath(), 30 * 30, [](double) { return 0.0; }));
    const QRect mainWindow = program.start(desktop);
    ASSERT_FALSE(mainWindow.isNull());
    WorkWindow work;
    work.takeFocus();
    ASSERT_TRUE(work.isActiveWindow());
    // The calibration's twenty seconds, then half a minute of rest.
    QTest::qWait(50000);
    EXPECT_EQ(work.presses, 0);
    EXPECT_FALSE(spaceIsDown());
    EXPECT_TRUE(program.quit(desktop, mainWindow));
}

} // namespace

int main(int argc, char **argv)
{
    return runTestsOnPrivateDesktop(argc, argv, false);
}
