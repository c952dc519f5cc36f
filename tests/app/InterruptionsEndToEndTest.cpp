// The program itself (build/bin/TovraMouse) interrupted as users interrupt it: a dwell cut
// short by the play/pause hotkey and taken up again at rest, the user stepping away from the
// camera and coming back, and the program ended by a signal (a logout, Ctrl+C) instead of its
// quit question.

#include "core/SettingsKeys.h"
#include "tests/app/DesktopView.h"
#include "tests/app/FaceClip.h"
#include "tests/app/LeftButtonWatch.h"
#include "tests/app/ProgramRun.h"
#include "tests/support/Patience.h"
#include "tests/ui/DesktopTestMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QProcess>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <QSettings>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <csignal>
#include <sys/types.h>

#include <X11/Xlib.h>
// Xlib's macros clash with the test framework and Qt.
#undef None
#undef Bool
#undef Status

using namespace SettingKeys;

namespace {

const char Toast[] = "Information";
const char Overlay[] = "Tovra Mouse overlay";

// The window the user works in: it has the focus and notes when a button reaches it.
class WorkWindow : public QWidget
{
public:
    WorkWindow()
    {
        setWindowTitle(QStringLiteral("Work"));
        setGeometry(40, 600, 500, 400);
        clock.start();
    }
    void takeFocus() { giveFocus(this); }
    QElapsedTimer clock;
    qint64 pressedAt = -1;

protected:
    void mousePressEvent(QMouseEvent *) override
    {
        if (pressedAt < 0)
            pressedAt = clock.elapsed();
    }
};

bool writeStillClip(ProgramRun &program)
{
    return writeFaceClip(QDir(TOVRA_FACE_PHOTOS).filePath("Tom_Cruise_avp_2014_4.jpg"),
                         program.clipPath(), [](double) { return cv::Point2d(0.0, 0.0); });
}

// The countdown ring around `at`: a window of the ring's size mapped there, as the desktop
// sees it (without a compositor the screen may show it under the status images).
class RingWatch
{
public:
    RingWatch()
        : dpy(XOpenDisplay(nullptr))
    {
        XSetErrorHandler([](Display *, XErrorEvent *) { return 0; });
    }
    ~RingWatch()
    {
        if (dpy)
            XCloseDisplay(dpy);
    }
    bool shownAround(const QPoint &at, int side)
    {
        return dpy && find(DefaultRootWindow(dpy), at, side);
    }

private:
    bool find(Window window, const QPoint &at, int side)
    {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(dpy, window, &root, &parent, &children, &count))
            return false;
        bool found = false;
        for (unsigned i = 0; i < count && !found; ++i) {
            XWindowAttributes a;
            if (!XGetWindowAttributes(dpy, children[i], &a) || a.map_state != IsViewable)
                continue;
            int x = 0, y = 0;
            Window child = 0;
            XTranslateCoordinates(dpy, children[i], root, 0, 0, &x, &y, &child);
            const QRect r(x, y, a.width, a.height);
            found = (r.width() == side && r.height() == side &&
                     (r.center() - at).manhattanLength() <= 4) ||
                    find(children[i], at, side);
        }
        if (children)
            XFree(children);
        return found;
    }
    Display *dpy;
};

TEST(InterruptedDwellEndToEnd, ADwellPausedAndResumedAtRestShowsItsWholeCountdownBeforeTheClick)
{
    DesktopView desktop;
    ASSERT_TRUE(desktop.isOpen());
    QProcess compositor;
    startCompositorIfAsked(compositor);
    // Long enough that the pause lands within the countdown on a busy machine.
    const int dwellMs = patientMs(4000);
    const int zone = 30;
    // The ring's window: the zone's diameter and the ring's thickness on either side.
    const int ringSide = 2 * zone + 2 * 10;
    RingWatch ring;
    const auto ringShown = [&](const QPoint &at) { return ring.shownAround(at, ringSide); };
    ProgramRun program({{CLICK_MODE, 1},
                        {DWELL_CLICK_TIME, dwellMs},
                        {DWELL_ZONE_SIZE, zone},
                        {HK_ACTIVATE_PLAYPAUSE, 1},
                        {ACTIVATE_MMM_DETECTION, 0},
                        {SHOW_CLICK_OPTIONS, 0}});
    ASSERT_TRUE(writeStillClip(program));
    const QRect mainWindow = program.start(desktop);
    ASSERT_FALSE(mainWindow.isNull());
    // The pointer is the calibration's until its prompts are gone.
    ASSERT_FALSE(desktop.waitForWindow(Overlay).isNull());
    ASSERT_TRUE(desktop.waitUntilGone(Overlay));

    WorkWindow work;
    work.takeFocus();
    // Where the desktop has it: Qt's record of a window a busy window manager placed can lag.
    const QPoint spot = desktop.waitForWindow("Work").center();
    ASSERT_TRUE(dwellAt(
        spot, [&] { return ringShown(spot); }, 3000, 10000));
    screenshot("dwell-1-counting");

    // Paused mid-countdown: the ring goes, and long past the dwell time nothing clicks.
    xdotool({"key", "shift+alt+F2"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ringShown(spot); }, patientMs(5000)))
        << "the ring outlives the pause";
    QTest::qWait(dwellMs + 1000);
    screenshot("dwell-2-paused");
    EXPECT_LT(work.pressedAt, 0);
    ASSERT_TRUE(desktop.waitUntilGone(Toast));

    // Resumed at rest: a whole countdown again, then the click.
    xdotool({"key", "shift+alt+F2"});
    qint64 ringAt = -1;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            if (ringAt < 0 && ringShown(spot))
                ringAt = work.clock.elapsed();
            return work.pressedAt >= 0;
        },
        patientMs(dwellMs + 10000)));
    screenshot("dwell-3-clicked");
    ASSERT_GE(ringAt, 0) << "clicked without a countdown";
    EXPECT_GE(work.pressedAt - ringAt, dwellMs / 2);
    EXPECT_TRUE(program.quit(desktop, mainWindow));
}

// A dwell click somewhere, then the calibrate hotkey with the face still: the calibration
// leaves the pointer at the screen's centre, where nobody dwelt, and nothing clicks there until
// the pointer leaves it. With the drag option armed the dwell picks up a drag, the calibration
// drops it, and none is picked up at the centre.
class RecalibrationEndToEnd : public ::testing::TestWithParam<bool>
{};

TEST_P(RecalibrationEndToEnd, NothingClicksWhereTheCalibrationLeftThePointer)
{
    const bool drag = GetParam();
    DesktopView desktop;
    ASSERT_TRUE(desktop.isOpen());
    ProgramRun program({{CLICK_MODE, 1},
                        {DWELL_CLICK_TIME, 1000},
                        {DWELL_ZONE_SIZE, 30},
                        {HK_ACTIVATE_CALIBRATE, 1},
                        {ACTIVATE_MMM_DETECTION, 0},
                        {SHOW_CLICK_OPTIONS, 0},
                        {CLICK_OPTION_DRAG_MODE, drag ? 1 : 0}});
    ASSERT_TRUE(writeStillClip(program));
    const QRect mainWindow = program.start(desktop);
    ASSERT_FALSE(mainWindow.isNull());
    ASSERT_FALSE(desktop.waitForWindow(Overlay).isNull());
    ASSERT_TRUE(desktop.waitUntilGone(Overlay));

    LeftButtonWatch left;
    WorkWindow work;
    work.takeFocus();
    // Where the desktop has it: Qt's record of a window a busy window manager placed can lag.
    const QPoint spot = desktop.waitForWindow("Work").center();
    ASSERT_TRUE(dwellAt(
        spot, [&] { return left.events().contains("down"); }, 3000, 15000));
    // A click's release follows its press at once; a drag's does not come.
    if (!drag) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return left.events().contains("up"); }, patientMs(5000)));
    }
    EXPECT_EQ(left.isDown(), drag) << left.events().join(' ').toStdString();

    xdotool({"key", "shift+alt+F10"});
    ASSERT_FALSE(desktop.waitForWindow(Overlay).isNull()) << "no calibration";
    ASSERT_TRUE(desktop.waitUntilGone(Overlay));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !left.isDown(); }, patientMs(5000)))
        << "the calibration keeps the drag";
    const QStringList before = left.events();
    screenshot("recalibrated");
    // Five seconds of a still face with the pointer where the calibration left it.
    QTest::qWait(5000);
    EXPECT_EQ(left.events().join(' ').toStdString(), before.join(' ').toStdString())
        << "pressed where the calibration left the pointer";
    EXPECT_FALSE(left.isDown());
    EXPECT_TRUE(program.quit(desktop, mainWindow));
}

INSTANTIATE_TEST_SUITE_P(DragOption, RecalibrationEndToEnd, ::testing::Bool());

// A user who left the program paused with a drag locked, as the settings file keeps it.
const QList<QPair<QString, QVariant>> pausedWithADragLocked = {{CLICK_OPTION_DRAG_MODE, 1},
                                                               {CLICK_OPTION_DRAG_MODE_LOCKED, 1},
                                                               {CLICK_OPTION_CLICKING_ACTIVE, 0}};

// The X server's pointer acceleration and threshold, which the program overrides while it runs.
QList<int> pointerControl(const QList<int> &set = {})
{
    Display *dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return {};
    if (set.size() == 3)
        XChangePointerControl(dpy, 1, 1, set[0], set[1], set[2]);
    int numerator = 0, denominator = 0, threshold = 0;
    XGetPointerControl(dpy, &numerator, &denominator, &threshold);
    XCloseDisplay(dpy);
    return {numerator, denominator, threshold};
}

// A user moving the head for eight seconds, then an empty room for five (longer than the
// program waits before it rests), over and over.
bool writeStepAwayClip(ProgramRun &program)
{
    const cv::Mat face =
        fittedFacePhoto(QDir(TOVRA_FACE_PHOTOS).filePath("Tom_Cruise_avp_2014_4.jpg"));
    cv::Mat room = cv::imread(
        QDir(TOVRA_FACE_PHOTOS).filePath("../video_frames/frame_000101.jpg").toStdString());
    if (face.empty() || room.empty())
        return false;
    cv::resize(room, room, face.size());
    const int faceFrames = 256, awayFrames = 160;
    return writeClip(program.clipPath(), faceFrames + awayFrames, [&](int i) {
        if (i >= faceFrames)
            return room;
        const double t = i / 30.0;
        const cv::Mat shift =
            (cv::Mat_<double>(2, 3) << 1, 0, 40 * std::sin(t * 2.0), 0, 1, 15 * std::sin(t * 1.3));
        cv::Mat frame;
        cv::warpAffine(face, frame, shift, face.size(), cv::INTER_LINEAR, cv::BORDER_REPLICATE);
        return frame;
    });
}

TEST(StepAwayEndToEnd, APointerLeftStillWhileNobodyIsThereFollowsTheHeadThatComesBack)
{
    DesktopView desktop;
    ASSERT_TRUE(desktop.isOpen());
    ProgramRun program({{ACTIVATE_MMM_DETECTION, 0}, {SHOW_CLICK_OPTIONS, 0}});
    ASSERT_TRUE(writeStepAwayClip(program));
    const QRect mainWindow = program.start(desktop);
    ASSERT_FALSE(mainWindow.isNull());
    ASSERT_FALSE(desktop.waitForWindow(Overlay).isNull());
    ASSERT_TRUE(desktop.waitUntilGone(Overlay));
    ASSERT_TRUE(pointerMovesWithin(desktop, 15000));

    // The user has gone: the pointer stays where it is.
    const auto stillFor = [&](int ms) {
        const QPoint at = desktop.pointer();
        QTest::qWait(ms);
        return desktop.pointer() == at;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return stillFor(1500); }, patientMs(60000)));
    screenshot("step-away-nobody");
    // Back: the head is found and followed again.
    EXPECT_TRUE(pointerMovesWithin(desktop, 30000));
    screenshot("step-away-back");
    EXPECT_TRUE(program.quit(desktop, mainWindow));
}

bool placesSaved(const ProgramRun &program)
{
    QSettings file(program.settingsFile(), QSettings::IniFormat);
    return !file.value("MainWindow/geometry").toByteArray().isEmpty() &&
           !file.value("ClickOptionsWindow/geometry").toByteArray().isEmpty() &&
           !file.value("ClickPause/geometry").toByteArray().isEmpty();
}

TEST(SignalEndEndToEnd, SigtermEndsAsExitDoesWithoutTheQuestion)
{
    DesktopView desktop;
    ASSERT_TRUE(desktop.isOpen());
    ProgramRun program(pausedWithADragLocked);
    ASSERT_TRUE(writeStillClip(program));
    ASSERT_FALSE(program.start(desktop).isNull());
    ASSERT_FALSE(placesSaved(program));

    program.process.terminate(); // SIGTERM, as a logout sends it
    ASSERT_TRUE(program.waitForEnd());
    EXPECT_EQ(program.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.process.exitCode(), 0);
    EXPECT_TRUE(placesSaved(program));
    EXPECT_EQ(program.setting(CLICK_OPTION_DRAG_MODE).toInt(), 0);
    EXPECT_EQ(program.setting(CLICK_OPTION_DRAG_MODE_LOCKED).toInt(), 0);
    EXPECT_EQ(program.setting(CLICK_OPTION_CLICKING_ACTIVE).toInt(), 1);
}

TEST(SignalEndEndToEnd, ASecondSignalWhileTheEndStepsRunEndsAtOnce)
{
    DesktopView desktop;
    ASSERT_TRUE(desktop.isOpen());
    ProgramRun program(pausedWithADragLocked);
    ASSERT_TRUE(writeStillClip(program));
    const QList<int> before = pointerControl();
    const QList<int> usersPointer = pointerControl({7, 3, 9});
    ASSERT_FALSE(program.start(desktop).isNull());
    ASSERT_NE(pointerControl(), usersPointer);

    const qint64 pid = program.process.processId();
    ::kill(pid_t(pid), SIGINT);
    // The first one has arrived once the end steps save the windows' places; the resets
    // come after the worker has stopped.
    ASSERT_TRUE(QTest::qWaitFor([&] { return placesSaved(program); }, patientMs(10000)));
    ::kill(pid_t(pid), SIGINT);
    ASSERT_TRUE(program.waitForEnd());
    EXPECT_EQ(program.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.process.exitCode(), 128 + SIGINT);
    EXPECT_EQ(program.setting(CLICK_OPTION_DRAG_MODE_LOCKED).toInt(), 1);
    // Ended at once, but not leaving the user's mouse settings behind: put back by the
    // program, or by its guardian once the program has gone, so a moment after the end.
    QList<int> now;
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return (now = pointerControl()) == usersPointer; }, patientMs(1000)))
        << "the pointer's acceleration and threshold stay " << now.value(0) << '/' << now.value(1)
        << " above " << now.value(2) << ", not the user's 7/3 above 9";
    pointerControl(before);
}

} // namespace

int main(int argc, char **argv)
{
    return runTestsOnPrivateDesktop(argc, argv, false);
}
