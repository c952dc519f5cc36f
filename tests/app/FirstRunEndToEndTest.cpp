// The program's first run on a desktop of the test's own, answered from the keyboard as a user
// would: on a screen scaled by 2 (Xft.dpi 192) or by 1.5 (144) every window and the calibration
// heading stand inside the screen; the palette's frame stays on the screen when the palette is
// grown at the right edge; a choice made in the camera dialog survives the reset of all settings
// that follows it.

#include "core/SettingsKeys.h"
#include "tests/app/DesktopView.h"
#include "tests/app/FaceClip.h"
#include "tests/app/ProgramRun.h"
#include "tests/support/Patience.h"
#include "tests/ui/DesktopTestMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>

using namespace SettingKeys;

namespace {

const QRect Screen(0, 0, 1920, 1080);

// Starts the program as ProgramRun does, leaving every question to the test.
bool launch(ProgramRun &program)
{
    const QDir home = QFileInfo(program.clipPath()).dir();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.filePath(".config"));
    env.insert("XDG_DATA_HOME", home.filePath(".local/share"));
    env.insert("XDG_CACHE_HOME", home.filePath(".cache"));
    env.insert("TOVRA_CAMERA_FILE", program.clipPath());
    env.remove("QT_QPA_PLATFORM");
    program.process.setProcessEnvironment(env);
    program.process.setProcessChannelMode(QProcess::ForwardedChannels);
    program.process.start(qEnvironmentVariable("TOVRA_BIN_DIR") + "/TovraMouse", QStringList());
    return program.process.waitForStarted();
}

// Gives the window of that title the keyboard, as a click on it would, then types `keys`.
void typeInto(const QString &title, const QStringList &keys)
{
    xdotool({"search", "--name", "^" + QRegularExpression::escape(title) + "$", "windowactivate",
             "--sync"});
    for (const QString &key : keys)
        xdotool({"key", key});
}

// The ready-to-start question answered with its start button, reached from the keyboard.
QRect startFromReadyQuestion(DesktopView &desktop, QRect *ready = nullptr)
{
    const QRect question = desktop.waitForWindow("Ready to Start Tovra Mouse?");
    if (ready)
        *ready = question;
    if (question.isNull())
        return QRect();
    typeInto("Ready to Start Tovra Mouse?", {"Tab", "space"});
    if (!desktop.waitUntilGone("Ready to Start Tovra Mouse?"))
        return QRect();
    return desktop.waitForWindow(ProgramRun::mainWindowTitle());
}

// A client area whose frame (a few pixels of border, a title bar above) can stand on the screen.
bool onScreen(const QRect &client)
{
    return !client.isNull() && client.top() >= 10 && client.left() >= 0 &&
           client.right() <= Screen.right() && client.bottom() <= Screen.bottom();
}

std::string describe(const QRect &r)
{
    return QStringLiteral("%1x%2 at (%3, %4)")
        .arg(r.width())
        .arg(r.height())
        .arg(r.x())
        .arg(r.y())
        .toStdString();
}

// The desktop's font resolution, which the program's toolkit scales by: 192 is twice 96, 144
// one and a half times.
bool setFontResolution(int dpi)
{
    QProcess xrdb;
    xrdb.start("xrdb", {"-nocpp", "-merge"});
    xrdb.write(QStringLiteral("Xft.dpi: %1\n").arg(dpi).toUtf8());
    xrdb.closeWriteChannel();
    return xrdb.waitForFinished(10000) && xrdb.exitCode() == 0;
}

// A press on `from`, moved to `to` in steps as a hand moves, and let go; with Alt held the window
// manager moves the window under the pointer. The pointer stops a pixel inside the screen: held
// against its edge while it moves a window (openbox: for 400 ms, as a slow xdotool may), it takes
// the window manager to the next desktop with that window, and the others are left behind.
void dragWithTheMouse(const QPoint &from, QPoint to, bool alt = false)
{
    to.setX(qBound(Screen.left() + 1, to.x(), Screen.right() - 1));
    to.setY(qBound(Screen.top() + 1, to.y(), Screen.bottom() - 1));
    xdotool({"mousemove", QString::number(from.x()), QString::number(from.y())});
    if (alt)
        xdotool({"keydown", "alt"});
    xdotool({"mousedown", "1"});
    for (int step = 1; step <= 10; ++step) {
        const QPoint at = from + (to - from) * step / 10;
        xdotool({"mousemove", QString::number(at.x()), QString::number(at.y())});
    }
    xdotool({"mouseup", "1"});
    if (alt)
        xdotool({"keyup", "alt"});
}

class FirstRunEndToEnd : public ::testing::Test
{
protected:
    void writeClip(ProgramRun &program)
    {
        ASSERT_TRUE(writeFaceClip(QDir(TOVRA_FACE_PHOTOS).filePath("Tom_Cruise_avp_2014_4.jpg"),
                                  program.clipPath(), [](double) { return cv::Point2d(0, 0); }));
    }
    DesktopView desktop;
};

class ScaledFirstRun : public FirstRunEndToEnd, public ::testing::WithParamInterface<int>
{};

TEST_P(ScaledFirstRun, EveryWindowAndTheCalibrationHeadingAreOnTheScreen)
{
    ASSERT_TRUE(desktop.isOpen());
    const int dpi = GetParam();
    const QString shot = QStringLiteral("dpi%1-").arg(dpi);
    ASSERT_TRUE(setFontResolution(dpi));
    ProgramRun program({{FIRST_RUN_EVER, 1}});
    writeClip(program);
    ASSERT_TRUE(launch(program));
    ASSERT_FALSE(desktop.waitForWindow("Choose Camera").isNull());
    typeInto("Choose Camera", {"Return"});

    QRect ready;
    const QRect mainWindow = startFromReadyQuestion(desktop, &ready);
    screenshot(qPrintable(shot + "1-started"));
    EXPECT_TRUE(onScreen(ready)) << describe(ready);
    ASSERT_FALSE(mainWindow.isNull());
    // Each window as the program leaves it once the window manager has framed it.
    QRect main, palette;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            main = desktop.windows(ProgramRun::mainWindowTitle()).value(0);
            palette = desktop.windows("Click Opts").value(0);
            return onScreen(main) && onScreen(palette) && main.right() <= palette.left();
        },
        patientMs(10000)))
        << describe(main) << " beside the palette at " << describe(palette);

    // The calibration heading and the ring with its label, drawn in the desktop's pixels.
    ASSERT_FALSE(desktop.waitForWindow("Tovra Mouse overlay", 2).isNull());
    screenshot(qPrintable(shot + "2-calibrating"));
    for (const QRect &overlay : desktop.windows("Tovra Mouse overlay"))
        EXPECT_TRUE(Screen.contains(overlay)) << describe(overlay);

    // The settings window, waiting minimised since the first run placed it, opened.
    typeInto("Settings", {});
    QRect settings;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            settings = desktop.windows("Settings").value(0);
            return onScreen(settings) && settings.right() <= palette.left();
        },
        patientMs(10000)))
        << describe(settings) << " beside the palette at " << describe(palette);
    screenshot(qPrintable(shot + "3-settings"));
    xdotool({"search", "--name", "^Settings$", "windowminimize", "--sync"});

    EXPECT_TRUE(program.quit(desktop, main));
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaledFirstRun, ::testing::Values(192, 144),
                         [](const ::testing::TestParamInfo<int> &info) {
                             return "Dpi" + std::to_string(info.param);
                         });

class FramedFirstRun : public FirstRunEndToEnd, public ::testing::WithParamInterface<int>
{};

// The window manager's frame (openbox's: a title bar, a border of a pixel at the sides and a
// grip below) counts: it stands on the screen with the windows, at the right edge too.
TEST_P(FramedFirstRun, ThePaletteGrownAtTheRightEdgeKeepsItsWholeFrameOnTheScreen)
{
    ASSERT_TRUE(desktop.isOpen());
    const int dpi = GetParam();
    const QString shot = QStringLiteral("frames-dpi%1-").arg(dpi);
    ASSERT_TRUE(setFontResolution(dpi));
    QProcess compositor;
    startCompositorIfAsked(compositor);
    ProgramRun program({{FIRST_RUN_EVER, 1}});
    writeClip(program);
    ASSERT_TRUE(launch(program));
    ASSERT_FALSE(desktop.waitForWindow("Choose Camera").isNull());
    typeInto("Choose Camera", {"Return"});
    ASSERT_FALSE(startFromReadyQuestion(desktop).isNull());
    const unsigned long palette = desktop.windowIds("Click Opts").value(0);
    const unsigned long main = desktop.windowIds(ProgramRun::mainWindowTitle()).value(0);
    ASSERT_NE(palette, 0u);
    ASSERT_NE(main, 0u);
    // Flush with the right edge; on a scaled screen a logical pixel of border is two.
    const auto atRightEdge = [&](const QRect &frame) {
        return Screen.contains(frame) && frame.right() >= Screen.right() - 1;
    };
    const auto framesShown = [&] {
        return describe(desktop.frameOf(palette)) + " and the main window's " +
               describe(desktop.frameOf(main));
    };

    // After the first run the palette's frame stands at the right edge, the main window's left
    // of it.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const QRect p = desktop.frameOf(palette), m = desktop.frameOf(main);
            return atRightEdge(p) && Screen.contains(m) && m.right() < p.left();
        },
        patientMs(10000)))
        << "the palette's frame " << framesShown();
    screenshot(qPrintable(shot + "1-first-run"));
    // The pointer is the calibration's until its prompts are gone.
    ASSERT_FALSE(desktop.waitForWindow("Tovra Mouse overlay").isNull());
    ASSERT_TRUE(desktop.waitUntilGone("Tovra Mouse overlay"));

    // Made smaller by its lower edge (on a scaled screen it starts as tall as the work area),
    // which in its proportion takes its right edge in, then pushed back against the right edge.
    const QRect first = desktop.windows("Click Opts").value(0);
    QRect frame = desktop.frameOf(palette);
    dragWithTheMouse(QPoint(frame.center().x(), frame.bottom() - 1),
                     QPoint(frame.center().x(), frame.bottom() - 1 - first.height() / 3));
    // The palette as it stands once its sizing and placing have come to rest (the window
    // manager's resize, then the program's proportion and its return to the screen each take
    // their turn): a size read on the way is not the one the next drag meets.
    const auto settled = [&](const std::function<bool(const QRect &)> &wanted) {
        QRect seen;
        QElapsedTimer still;
        (void)QTest::qWaitFor(
            [&] {
                const QRect now = desktop.windows("Click Opts").value(0);
                if (now != seen || !wanted(now)) {
                    seen = now;
                    still.start();
                    return false;
                }
                return still.elapsed() >= 1000;
            },
            patientMs(10000));
        return wanted(seen) ? seen : QRect();
    };
    const QRect shrunk = settled([&](const QRect &r) { return r.height() < first.height(); });
    ASSERT_FALSE(shrunk.isNull()) << "not made smaller: " << framesShown();
    const QPoint inside = shrunk.center();
    dragWithTheMouse(inside, inside + QPoint(300, 0), true);
    const QRect small = settled([&](const QRect &r) {
        return r.height() < first.height() && atRightEdge(desktop.frameOf(palette));
    });
    ASSERT_FALSE(small.isNull()) << "the palette's frame " << framesShown();

    // Grown by its lower edge: in its own proportion it grows to the right too, past the edge,
    // and comes back with its whole frame. By more than the window manager holds an edge at the
    // screen's edge (openbox: 20 pixels).
    frame = desktop.frameOf(palette);
    dragWithTheMouse(QPoint(frame.center().x(), frame.bottom() - 1),
                     QPoint(frame.center().x(), frame.bottom() - 1 + small.height() / 2));
    const auto grownOnScreen = [&] {
        const QRect client = desktop.windows("Click Opts").value(0);
        return client.width() > small.width() && client.height() > small.height() &&
               atRightEdge(desktop.frameOf(palette)) && Screen.contains(desktop.frameOf(main));
    };
    const auto sizes = [&] {
        const QRect client = desktop.windows("Click Opts").value(0);
        return " (its client " + std::to_string(client.width()) + "x" +
               std::to_string(client.height()) + ", made smaller " + std::to_string(small.width()) +
               "x" + std::to_string(small.height()) + ")";
    };
    EXPECT_TRUE(QTest::qWaitFor(grownOnScreen, patientMs(10000)))
        << "the palette's frame " << framesShown() << sizes();
    // And stays there once the sizing has settled.
    QTest::qWait(1000);
    EXPECT_TRUE(grownOnScreen()) << "the palette's frame " << framesShown();
    screenshot(qPrintable(shot + "2-grown"));
    EXPECT_TRUE(program.quit(desktop, QRect()));
}

INSTANTIATE_TEST_SUITE_P(Scales, FramedFirstRun, ::testing::Values(96, 192),
                         [](const ::testing::TestParamInfo<int> &info) {
                             return "Dpi" + std::to_string(info.param);
                         });

TEST_F(FirstRunEndToEnd, AutoCloseTickedInTheCameraDialogSurvivesTheReset)
{
    ASSERT_TRUE(desktop.isOpen());
    ProgramRun program;
    writeClip(program);
    // A home without settings: the very first start, which resets every setting.
    QFile::remove(program.settingsFile());
    ASSERT_TRUE(launch(program));
    ASSERT_FALSE(desktop.waitForWindow("Choose Camera").isNull());
    // Auto-close ticked (the box after the camera list), the notice about it taken in.
    const int before = desktop.windows("Tovra Mouse").size();
    typeInto("Choose Camera", {"Tab", "space"});
    ASSERT_FALSE(desktop.waitForWindow("Tovra Mouse", before + 1).isNull());
    xdotool({"key", "Return"});
    ASSERT_TRUE(desktop.waitUntilGone("Tovra Mouse", before));
    typeInto("Choose Camera", {"Return"});

    const QRect mainWindow = startFromReadyQuestion(desktop);
    ASSERT_FALSE(mainWindow.isNull());
    // The reset came before the ready question.
    EXPECT_EQ(program.setting(FIRST_RUN_ON_V3X).toInt(), 0);
    EXPECT_EQ(program.setting(CCF_AUTOCLOSE).toInt(), 1);
    EXPECT_EQ(program.setting(DEFAULT_CAMERA).toString(), QStringLiteral("Video File"));
    EXPECT_TRUE(program.quit(desktop, mainWindow));
}

} // namespace

int main(int argc, char **argv)
{
    return runTestsOnPrivateDesktop(argc, argv, false);
}
