// The program itself (build/bin/TovraMouse) ended as nothing can end it cleanly: SIGKILL, a
// segmentation fault, an abort. Its guardian puts the desktop back within moments: the
// button a dwell drag held is up, the user's pointer acceleration is back, and the cursors a
// smile replaced are the theme's again; what another program holds stays held, and the
// next start does not take up the drag. Ended normally, the program leaves no guardian. A
// second start while it runs changes nothing.

#include "core/SettingsKeys.h"
#include "tests/app/DesktopView.h"
#include "tests/app/FaceClip.h"
#include "tests/app/ProgramRun.h"
#include "tests/support/Patience.h"
#include "tests/ui/DesktopTestMain.h"
#include "tests/vision/SmileClip.h"

#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QProcess>
#include <QSettings>
#include <QWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sys/types.h>
#include <vector>

// Xlib's headers last: their macros clash with Qt's names.
#include <X11/Xcursor/Xcursor.h>
#include <X11/Xlib.h>
#include <X11/cursorfont.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>
#undef None
#undef Bool
#undef Status

using namespace SettingKeys;

namespace {

const char Overlay[] = "Tovra Mouse overlay";
const int RestoreWithinMs = 3000;

// The desktop as another client sees it: buttons, the pointer's acceleration, the cursor.
class Desktop
{
public:
    Desktop()
        : dpy(XOpenDisplay(nullptr))
    {
        int major = 0, minor = 0; // cursor names need XFixes 2, asked for by the client
        if (dpy)
            XFixesQueryVersion(dpy, &major, &minor);
    }
    ~Desktop()
    {
        if (dpy)
            XCloseDisplay(dpy);
    }
    bool isOpen() const { return dpy != nullptr; }
    // Held through XTEST from this connection, as an on-screen keyboard holds a latched key.
    void holdShift(bool down)
    {
        XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, XK_Shift_L), down, CurrentTime);
        XSync(dpy, False);
    }
    bool shiftDown()
    {
        const unsigned keycode = XKeysymToKeycode(dpy, XK_Shift_L);
        char keys[32] = {};
        XQueryKeymap(dpy, keys);
        return keys[keycode / 8] & (1 << (keycode % 8));
    }
    bool leftButtonDown()
    {
        Window root = 0, child = 0;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        unsigned mask = 0;
        XQueryPointer(dpy, DefaultRootWindow(dpy), &root, &child, &rootX, &rootY, &x, &y, &mask);
        return mask & Button1Mask;
    }
    std::vector<int> pointerControl()
    {
        int numerator = 0, denominator = 0, threshold = 0;
        XGetPointerControl(dpy, &numerator, &denominator, &threshold);
        return {numerator, denominator, threshold};
    }
    void setPointerControl(const std::vector<int> &c)
    {
        XChangePointerControl(dpy, True, True, c[0], c[1], c[2]);
        XSync(dpy, False);
    }
    // The cursor shown now: its name and its pixels.
    std::pair<std::string, std::vector<unsigned long>> cursor()
    {
        std::pair<std::string, std::vector<unsigned long>> shown;
        if (XFixesCursorImage *image = XFixesGetCursorImage(dpy)) {
            shown.first = image->name ? image->name : "";
            shown.second.assign(image->pixels, image->pixels + image->width * image->height);
            XFree(image);
        }
        return shown;
    }
    // A window with the theme's arrow by name, as toolkits make it, over `area`.
    Window arrowWindow(const QRect &area)
    {
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        const Window window =
            XCreateWindow(dpy, DefaultRootWindow(dpy), area.x(), area.y(), unsigned(area.width()),
                          unsigned(area.height()), 0, CopyFromParent, InputOutput, nullptr,
                          CWOverrideRedirect, &attributes);
        Cursor arrow = XcursorLibraryLoadCursor(dpy, "left_ptr");
        if (!arrow)
            arrow = XCreateFontCursor(dpy, XC_left_ptr);
        XFixesSetCursorName(dpy, arrow, "left_ptr");
        XDefineCursor(dpy, window, arrow);
        XFreeCursor(dpy, arrow);
        XMapRaised(dpy, window);
        XSync(dpy, False);
        return window;
    }

    Display *dpy;
};

// Whether the process was started on this test's desktop: the programs of tests that run side
// by side, each on a desktop of its own, have guardians of their own.
bool onThisDesktop(const QString &pid)
{
    QFile environment(QString("/proc/%1/environ").arg(pid));
    if (!environment.open(QIODevice::ReadOnly))
        return false;
    return environment.readAll().split('\0').contains("DISPLAY=" + qgetenv("DISPLAY"));
}

// The guardian processes of this build on this test's desktop that are still running.
int guardiansRunning()
{
    const QString guardian = QDir(qEnvironmentVariable("TOVRA_BIN_DIR")).filePath("TovraGuardian");
    int count = 0;
    for (const QString &pid : QDir("/proc").entryList(QDir::Dirs)) {
        if (pid.toInt() <= 0 || !onThisDesktop(pid))
            continue;
        const QString exe = QFileInfo(QString("/proc/%1/exe").arg(pid)).symLinkTarget();
        QFile statFile(QString("/proc/%1/stat").arg(pid));
        const QByteArray stat = statFile.open(QIODevice::ReadOnly) ? statFile.readAll() : "";
        // An ended process waiting to be reaped, this run's or another test run's on the same
        // machine, whose executable can no longer be read, is not running.
        const int state = stat.lastIndexOf(')') + 2;
        if (state > 1 && state < stat.size() && (stat[state] == 'Z' || stat[state] == 'X'))
            continue;
        const bool named = stat.contains("(TovraGuardian)");
        if (exe == QFileInfo(guardian).canonicalFilePath() || (exe.isEmpty() && named))
            ++count;
    }
    return count;
}

// The process has ended (the waits above may have seen it already).
bool ended(QProcess &process)
{
    return process.state() == QProcess::NotRunning || process.waitForFinished(10000);
}

bool writeStillClip(ProgramRun &program)
{
    return writeFaceClip(QDir(TOVRA_FACE_PHOTOS).filePath("Tom_Cruise_avp_2014_4.jpg"),
                         program.clipPath(), [](double) { return cv::Point2d(0.0, 0.0); });
}

class GuardianEndToEnd : public ::testing::TestWithParam<int>
{};

TEST_P(GuardianEndToEnd, AProgramEndedByTheSignalWhileADwellDragHoldsTheButtonLeavesItUp)
{
    const int signal = GetParam();
    DesktopView view;
    Desktop desktop;
    ASSERT_TRUE(view.isOpen() && desktop.isOpen());
    const std::vector<int> before = desktop.pointerControl();
    const std::vector<int> users = {7, 2, 3};
    desktop.setPointerControl(users);

    ProgramRun program({{CLICK_MODE, 1},
                        {DWELL_CLICK_TIME, 1500},
                        {DWELL_ZONE_SIZE, 30},
                        {ACTIVATE_MMM_DETECTION, 0},
                        {SHOW_CLICK_OPTIONS, 0},
                        {CLICK_OPTION_DRAG_MODE, 1},
                        {CLICK_OPTION_DRAG_MODE_LOCKED, 1}});
    ASSERT_TRUE(writeStillClip(program));
    const QRect mainWindow = program.start(view);
    ASSERT_FALSE(mainWindow.isNull());
    EXPECT_NE(desktop.pointerControl(), users) << "the program runs on settings of its own";
    EXPECT_EQ(guardiansRunning(), 1);
    // The pointer is the calibration's until its prompts are gone.
    ASSERT_FALSE(view.waitForWindow(Overlay).isNull());
    ASSERT_TRUE(view.waitUntilGone(Overlay));

    // Dwelling on the desktop picks up: the left button goes down and stays down. A countdown
    // of 1.5 s once the pointer rests; a sanitizer build on a busy machine runs a few frames a
    // second.
    ASSERT_TRUE(dwellAt(
        QPoint(700, 900), [&] { return desktop.leftButtonDown(); }, 5000, 20000))
        << "no pick-up; pointer at " << view.pointer().x() << "," << view.pointer().y();
    screenshot(QByteArray("guardian-drag-held-") + QByteArray::number(signal));
    // Another program holds Shift down meanwhile.
    desktop.holdShift(true);

    ::kill(pid_t(program.process.processId()), signal);
    QElapsedTimer sinceKill;
    sinceKill.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !desktop.leftButtonDown(); }, RestoreWithinMs))
        << "the button is still down";
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.pointerControl() == users; },
                                int(std::max<qint64>(0, RestoreWithinMs - sinceKill.elapsed()))))
        << "acceleration " << desktop.pointerControl()[0] << "/" << desktop.pointerControl()[1]
        << " above " << desktop.pointerControl()[2];
    ASSERT_TRUE(ended(program.process));
    // A sanitizer's own fault handler reports the signal and exits with an error instead.
    EXPECT_TRUE(program.process.exitStatus() == QProcess::CrashExit ||
                program.process.exitCode() != 0);
    EXPECT_TRUE(QTest::qWaitFor([] { return guardiansRunning() == 0; }, patientMs(5000)));
    EXPECT_TRUE(desktop.shiftDown()) << "the guardian let go of another program's Shift";
    desktop.holdShift(false);
    desktop.setPointerControl(before);
}

INSTANTIATE_TEST_SUITE_P(Signals, GuardianEndToEnd, ::testing::Values(SIGKILL, SIGSEGV, SIGABRT),
                         [](const ::testing::TestParamInfo<int> &info) {
                             return info.param == SIGKILL   ? std::string("Sigkill")
                                    : info.param == SIGSEGV ? std::string("Sigsegv")
                                                            : std::string("Sigabrt");
                         });

// After the calibration, one smile held to the end of the clip.
double heldSmile(double t)
{
    return t < 22.0 ? 0.0 : std::min(1.0, (t - 22.0) / 0.4);
}

TEST(GuardianCursorsEndToEnd, CursorsReplacedDuringASmileAreTheThemesAgainAfterSigkill)
{
    DesktopView view;
    Desktop desktop;
    ASSERT_TRUE(view.isOpen() && desktop.isOpen());
    // The pointer moves while the user smiles: a held smile goes through the stages.
    ProgramRun program({{ACTIVATE_SMILE_DETECTION, 1},
                        {CLICK_MODE, 0},
                        {MOTION_MODE, 0},
                        {SHOW_CLICK_OPTIONS, 0}});
    ASSERT_TRUE(writeSmileClip(QDir(TOVRA_FACE_PHOTOS).filePath("Tom_Cruise_avp_2014_4.jpg"),
                               program.clipPath(), 40 * 30, heldSmile));
    const QRect mainWindow = program.start(view);
    ASSERT_FALSE(mainWindow.isNull());
    ASSERT_FALSE(view.waitForWindow(Overlay).isNull());
    // Where the calibration leaves the pointer, a window of the user's with the theme's arrow.
    const QSize screen = view.screenSize();
    const Window work =
        desktop.arrowWindow(QRect(screen.width() / 2 - 300, screen.height() / 2 - 300, 600, 600));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return desktop.cursor().first == "left_ptr"; }, patientMs(10000)));
    const auto theme = desktop.cursor();

    // The smile's first stage shows the program's own arrow. The clip loops: a smile missed on a
    // busy machine comes again 40 s later.
    const bool replaced =
        QTest::qWaitFor([&] { return desktop.cursor().second != theme.second; }, patientMs(100000));
    screenshot("guardian-smile-cursor");
    ASSERT_TRUE(replaced) << "the smile replaced no cursor; pointer at " << view.pointer().x()
                          << "," << view.pointer().y() << " showing " << desktop.cursor().first;
    ::kill(pid_t(program.process.processId()), SIGKILL);
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.cursor() == theme; }, RestoreWithinMs))
        << "shown: " << desktop.cursor().first << " of " << desktop.cursor().second.size()
        << " pixels, the theme's of " << theme.second.size() << "; pointer at "
        << view.pointer().x() << "," << view.pointer().y();
    ASSERT_TRUE(ended(program.process));
    XDestroyWindow(desktop.dpy, work);
    XSync(desktop.dpy, False);
}

// A run that ended without its guardian (the mark it leaves in the data folder) may have
// left cursors replaced; the next start puts them back though it replaced none itself.
TEST(GuardianCursorsEndToEnd, TheStartAfterAnUncleanEndPutsTheThemesCursorsBack)
{
    DesktopView view;
    Desktop desktop;
    ASSERT_TRUE(view.isOpen() && desktop.isOpen());
    const QSize screen = view.screenSize();
    const Window work = desktop.arrowWindow(QRect(0, screen.height() - 300, 300, 300));
    xdotool({"mousemove", "150", QString::number(screen.height() - 150)});
    ASSERT_TRUE(QTest::qWaitFor([&] { return desktop.cursor().first == "left_ptr"; }, 10000));
    const auto theme = desktop.cursor();

    // What the last run left: the arrow replaced by another shape, and the run's mark.
    const Cursor replaced = XCreateFontCursor(desktop.dpy, XC_pirate);
    XFixesSetCursorName(desktop.dpy, replaced, "left_ptr");
    XFixesChangeCursorByName(desktop.dpy, replaced, "left_ptr");
    XFreeCursor(desktop.dpy, replaced);
    XSync(desktop.dpy, False);
    // The server reads the cursor anew when the pointer moves.
    xdotool({"mousemove", "151", QString::number(screen.height() - 150)});
    ASSERT_TRUE(QTest::qWaitFor([&] { return desktop.cursor().second != theme.second; }, 5000));
    ProgramRun program({{SHOW_CLICK_OPTIONS, 0}});
    ASSERT_TRUE(writeStillClip(program));
    QFile mark(QFileInfo(program.settingsFile()).dir().filePath("TovraMouse.running"));
    ASSERT_TRUE(mark.open(QIODevice::WriteOnly));
    mark.close();

    const QRect mainWindow = program.start(view);
    ASSERT_FALSE(mainWindow.isNull());
    xdotool({"mousemove", "150", QString::number(screen.height() - 150)});
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.cursor() == theme; }, 5000))
        << "shown: " << desktop.cursor().first;
    EXPECT_TRUE(mark.exists()) << "this run's own mark";
    EXPECT_TRUE(program.quit(view, mainWindow));
    EXPECT_FALSE(mark.exists()) << "a clean end leaves no mark";
    XDestroyWindow(desktop.dpy, work);
    XSync(desktop.dpy, False);
}

// Two runs at once would take turns at the pointer and the camera, and the second would save
// the first one's pointer settings as the user's. A second start while the first runs says
// so in a box that closes by itself (the user may have no hands to close it) and ends
// without changing anything; the first run's end puts the user's settings back.
TEST(TwoRunsEndToEnd, ASecondStartWhileTheFirstRunsChangesNothingAndEndsByItself)
{
    DesktopView view;
    Desktop desktop;
    ASSERT_TRUE(view.isOpen() && desktop.isOpen());
    const std::vector<int> before = desktop.pointerControl();
    const std::vector<int> users = {7, 2, 3};
    desktop.setPointerControl(users);
    // The first run's click-options window stays above other windows where the box comes.
    ProgramRun program({{SHOW_CLICK_OPTIONS, 1}});
    ASSERT_TRUE(writeStillClip(program));
    const QRect mainWindow = program.start(view);
    ASSERT_FALSE(mainWindow.isNull());
    ASSERT_FALSE(view.waitForWindow("Click Opts").isNull());
    const std::vector<int> running = desktop.pointerControl();
    EXPECT_NE(running, users);

    QProcess second;
    second.setProcessEnvironment(program.process.processEnvironment());
    second.setProcessChannelMode(QProcess::MergedChannels);
    second.start(qEnvironmentVariable("TOVRA_BIN_DIR") + "/TovraMouse", QStringList());
    EXPECT_FALSE(view.waitForWindow("Tovra Mouse").isNull()) << "no word of the first run";
    // Shown whole, above every window of the first run.
    const QList<unsigned long> box = view.windowIds("Tovra Mouse");
    QStringList covering = {"no box"};
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            covering = box.isEmpty() ? QStringList{"no box"} : view.coveredBy(box.last());
            return covering.isEmpty();
        },
        patientMs(5000)))
        << "the box is covered by: " << covering.join(", ").toStdString() << "; "
        << view.describe().toStdString();
    screenshot("two-runs-notice");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, patientMs(30000)))
        << "the second start did not end by itself; " << view.describe().toStdString();
    EXPECT_EQ(second.exitCode(), 256 - 97) << second.readAll().toStdString();
    EXPECT_EQ(desktop.pointerControl(), running);
    EXPECT_EQ(guardiansRunning(), 1);

    EXPECT_TRUE(program.quit(view, mainWindow));
    // Put back by the program, or by its guardian a moment after the end.
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.pointerControl() == users; }, patientMs(1000)))
        << "acceleration " << desktop.pointerControl()[0] << "/" << desktop.pointerControl()[1]
        << " above " << desktop.pointerControl()[2];
    if (second.state() != QProcess::NotRunning) {
        second.kill();
        second.waitForFinished();
    }
    desktop.setPointerControl(before);
}

// The window the user works in: it counts the left button's presses and releases.
class WorkWindow : public QWidget
{
public:
    WorkWindow()
    {
        setWindowTitle(QStringLiteral("Work"));
        setGeometry(40, 600, 500, 400);
    }
    int presses = 0;
    int releases = 0;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        presses += event->button() == Qt::LeftButton;
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        releases += event->button() == Qt::LeftButton;
    }
};

// Whether the palette on the screen shows the mode button of the designed rectangle `button`
// (in its 91 x 552 form) chosen: a chosen mode is drawn on a dark ground, the others on the
// window's light grey. Read at the button's lower left, away from its icon and its lock.
bool shownChosen(DesktopView &view, const QRect &palette, const QRect &button)
{
    const QPoint designed = button.bottomLeft() + QPoint(6, -12);
    const QPoint at(palette.x() + designed.x() * palette.width() / 91,
                    palette.y() + designed.y() * palette.height() / 552);
    const QImage pixel = view.grab(QRect(at, QSize(1, 1)));
    return !pixel.isNull() && qGray(pixel.pixel(0, 0)) < 100;
}

// A user who chose Drag (not locked) on the palette and had picked something up when the
// program was killed: the next start is as after a clean end, the palette shows the left click,
// and a dwell clicks once.
TEST(GuardianClickOptionsEndToEnd, AStartAfterSigkillMidDragShowsTheLeftClickAndADwellClicksOnce)
{
    DesktopView view;
    Desktop desktop;
    ASSERT_TRUE(view.isOpen() && desktop.isOpen());
    const QRect leftButton(8, 10, 75, 60), dragButton(8, 244, 75, 60);
    // Placed as on a first run (the palette at the right edge, the main window left of it),
    // clear of the window the user works in.
    ProgramRun program({{CLICK_MODE, 1},
                        {DWELL_CLICK_TIME, 1500},
                        {DWELL_ZONE_SIZE, 30},
                        {ACTIVATE_MMM_DETECTION, 0},
                        {SHOW_CLICK_OPTIONS, 1},
                        {FIRST_RUN_EVER, 1}});
    ASSERT_TRUE(writeStillClip(program));
    WorkWindow work;
    work.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&work, patientMs(30000)));
    // Where the desktop has it: Qt's record of a window a busy window manager placed can lag.
    const QPoint spot = view.waitForWindow("Work").center();
    const auto startedAndCalibrated = [&] {
        if (program.start(view).isNull() || view.waitForWindow(Overlay).isNull())
            return false;
        return view.waitUntilGone(Overlay);
    };
    ASSERT_TRUE(startedAndCalibrated());
    QRect palette = view.waitForWindow("Click Opts");
    ASSERT_FALSE(palette.isNull());

    // Drag chosen by dwelling on its button, then picked up by dwelling in the work window.
    ASSERT_TRUE(dwellAt(
        QPoint(palette.x() + 45 * palette.width() / 91, palette.y() + 274 * palette.height() / 552),
        [&] { return program.setting(CLICK_OPTION_DRAG_MODE).toInt() == 1; }, 5000, 20000));
    ASSERT_TRUE(dwellAt(
        spot, [&] { return work.presses > 0; }, 5000, 20000))
        << "no pick-up; pointer at " << view.pointer().x() << "," << view.pointer().y();
    EXPECT_TRUE(desktop.leftButtonDown());
    screenshot("after-sigkill-1-picked-up");
    ::kill(pid_t(program.process.processId()), SIGKILL);
    ASSERT_TRUE(ended(program.process));
    // The guardian lets go of the button.
    EXPECT_TRUE(QTest::qWaitFor([&] { return work.releases == 1; }, RestoreWithinMs));
    EXPECT_FALSE(desktop.leftButtonDown());
    // What the killed run left in the settings file.
    EXPECT_EQ(program.setting(CLICK_OPTION_DRAG_MODE).toInt(), 1);

    // Started again, the windows placed as on a first run once more.
    QSettings(program.settingsFile(), QSettings::IniFormat).setValue(FIRST_RUN_EVER, 1);
    work.presses = work.releases = 0;
    ASSERT_TRUE(startedAndCalibrated());
    palette = view.waitForWindow("Click Opts");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return shownChosen(view, palette, leftButton) &&
                   !shownChosen(view, palette, dragButton);
        },
        10000))
        << "the palette at " << palette.x() << "," << palette.y() << " " << palette.width() << "x"
        << palette.height();
    screenshot("after-sigkill-2-started-again");
    EXPECT_EQ(program.setting(CLICK_OPTION_DRAG_MODE).toInt(), 0);
    EXPECT_EQ(program.setting(CLICK_OPTION_DRAG_MODE_LOCKED).toInt(), 0);
    EXPECT_EQ(program.setting(CLICK_OPTION_CLICKING_ACTIVE).toInt(), 1);

    // A dwell in the work window is a click: pressed and let go.
    ASSERT_TRUE(dwellAt(
        spot, [&] { return work.releases > 0; }, 5000, 20000))
        << work.presses << " presses; pointer at " << view.pointer().x() << ","
        << view.pointer().y();
    EXPECT_EQ(work.presses, 1);
    EXPECT_FALSE(desktop.leftButtonDown());
    // Resting on, nothing more: no second click, nothing held.
    QTest::qWait(1500 + 1000);
    EXPECT_EQ(work.presses, 1);
    EXPECT_EQ(work.releases, 1);
    EXPECT_FALSE(desktop.leftButtonDown());
    EXPECT_TRUE(program.quit(view, QRect()));
}

TEST(GuardianEndsWithTheProgram, NormalQuitsAndSigtermLeaveNoGuardianBehind)
{
    DesktopView view;
    ASSERT_TRUE(view.isOpen());
    ProgramRun program({{SHOW_CLICK_OPTIONS, 0}});
    ASSERT_TRUE(writeStillClip(program));
    for (int run = 0; run < 10; ++run) {
        const QRect mainWindow = program.start(view);
        ASSERT_FALSE(mainWindow.isNull()) << "run " << run;
        EXPECT_EQ(guardiansRunning(), 1) << "run " << run;
        if (run % 2 == 0) {
            ASSERT_TRUE(program.quit(view, mainWindow)) << "run " << run;
        } else {
            program.process.terminate();
            ASSERT_TRUE(program.waitForEnd(30000)) << "run " << run;
            EXPECT_EQ(program.process.exitCode(), 0) << "run " << run;
        }
        // The program waits a moment for its guardian to end, and leaves one that takes longer
        // to end by itself.
        EXPECT_TRUE(QTest::qWaitFor([] { return guardiansRunning() == 0; }, patientMs(5000)))
            << "after run " << run;
        ASSERT_TRUE(view.waitUntilGone(ProgramRun::mainWindowTitle()));
    }
}

} // namespace

int main(int argc, char **argv)
{
    return runTestsOnPrivateDesktop(argc, argv, false);
}
