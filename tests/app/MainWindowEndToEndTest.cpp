// The whole program under the test's X server with the file camera, driven through its main
// window by mainwindow-e2e-probe: the annotated face on the preview, Stop and Play, the click
// modes, and an exit that leaves the desktop as it found it.

#include "tests/app/FaceClip.h"
#include "tests/support/Patience.h"
#include "tests/support/TestHome.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <X11/Xlib.h>
// Xlib's macros clash with the test framework and Qt.
#undef None
#undef Bool
#undef Status

#include <cmath>

namespace {

// The quit sequence's own waits: 250 ms, at most 10000 ms for the worker, 250 ms; plus the
// time the program takes to close down after its event loop.
const int QuitLimitMs = 250 + 10000 + 250 + 2000;

// What the program may change on the desktop and must leave as it was.
struct DesktopState
{
    int accelNumerator = 0, accelDenominator = 0, threshold = 0;
    unsigned buttonsDown = 0;
    int keysDown = 0;

    static DesktopState read()
    {
        DesktopState state;
        Display *dpy = XOpenDisplay(nullptr);
        if (!dpy)
            return state;
        XGetPointerControl(dpy, &state.accelNumerator, &state.accelDenominator, &state.threshold);
        Window root, child;
        int rootX, rootY, x, y;
        unsigned mask = 0;
        XQueryPointer(dpy, DefaultRootWindow(dpy), &root, &child, &rootX, &rootY, &x, &y, &mask);
        state.buttonsDown =
            mask & (Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask);
        char keys[32];
        XQueryKeymap(dpy, keys);
        for (char byte : keys)
            state.keysDown += __builtin_popcount(static_cast<unsigned char>(byte));
        XCloseDisplay(dpy);
        return state;
    }
};

struct ProbeRun
{
    int exitCode = -1;
    QStringList lines;

    QString value(const QString &prefix) const
    {
        for (const QString &line : lines)
            if (line.startsWith(prefix))
                return line.mid(prefix.size());
        return QString();
    }
    bool has(const QString &line) const { return lines.contains(line); }
};

TEST(MainWindowEndToEnd, TheFileCameraDrivesThePreviewAndThePointerUntilExit)
{
    TestHome home;
    const QString clip = QDir(home.path()).filePath("clip.avi");
    // The portrait swaying from side to side, as a head before a webcam does.
    ASSERT_TRUE(writeFaceClip(
        QDir(TOVRA_FACE_PHOTOS).filePath("Tom_Cruise_avp_2014_4.jpg"), clip,
        [](double t) { return cv::Point2d(60.0 * std::sin(t * 2.0), 20.0 * std::sin(t * 1.3)); }));
    const DesktopState before = DesktopState::read();

    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TOVRA_CAMERA_FILE", clip);
    env.remove("QT_QPA_PLATFORM");
    probe.setProcessEnvironment(env);
    probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    probe.start(qEnvironmentVariable("TOVRA_BIN_DIR") + "/mainwindow-e2e-probe", QStringList());
    ASSERT_TRUE(probe.waitForFinished(280000));
    ProbeRun run;
    run.exitCode = probe.exitCode();
    run.lines =
        QString::fromLocal8Bit(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    SCOPED_TRACE(run.lines.join('\n').toStdString());

    EXPECT_TRUE(run.has("WORKER_STARTED"));
    EXPECT_TRUE(run.value("PREVIEW ").startsWith("annotated=1"));
    // Not a blank picture: the photo's many colours.
    EXPECT_GT(run.value("PREVIEW annotated=1 colours=").toInt(), 100);
    EXPECT_TRUE(run.has("MOVING 1"));
    EXPECT_TRUE(run.has("STOPPED paused=1 moved=0"));
    EXPECT_TRUE(run.has("RESUMED paused=0 moving=1"));
    EXPECT_TRUE(run.has("SMILE 0"));
    EXPECT_TRUE(run.has("DWELL 1"));
    EXPECT_TRUE(
        run.has("DIALOG Tovra Mouse - v3.1.3.2 | Are you sure you want to quit?           "));

    // Ended by the Exit button with code 0, within the quit sequence's waits.
    EXPECT_EQ(run.exitCode, 0);
    const QStringList exit = run.value("EXIT ").split(' ');
    ASSERT_EQ(exit.size(), 2);
    EXPECT_EQ(exit.at(0), "0");
    EXPECT_GE(exit.at(1).toInt(), 0);
    EXPECT_LT(exit.at(1).toInt(), QuitLimitMs);

    QSettings file(home.settingsFile(), QSettings::IniFormat);
    EXPECT_FALSE(file.value("MainWindow/geometry").toByteArray().isEmpty());
    EXPECT_EQ(file.value("CLICK_MODE").toInt(), 1);
    EXPECT_EQ(file.value("CLICK_OPTION_CLICKING_ACTIVE").toInt(), 1);
    EXPECT_EQ(file.value("CLICK_OPTION_DRAG_MODE").toInt(), 0);

    // Put back by the program, or by its guardian a moment after the end.
    DesktopState after;
    (void)QTest::qWaitFor(
        [&] {
            after = DesktopState::read();
            return after.accelNumerator == before.accelNumerator &&
                   after.accelDenominator == before.accelDenominator &&
                   after.threshold == before.threshold && after.buttonsDown == 0 &&
                   after.keysDown == 0;
        },
        patientMs(1000));
    EXPECT_EQ(after.accelNumerator, before.accelNumerator);
    EXPECT_EQ(after.accelDenominator, before.accelDenominator);
    EXPECT_EQ(after.threshold, before.threshold);
    EXPECT_EQ(after.buttonsDown, 0u);
    EXPECT_EQ(after.keysDown, 0);
}

} // namespace
