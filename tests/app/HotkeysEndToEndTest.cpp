// The program itself (build/bin/TovraMouse) on a desktop of the test's own, its hotkeys
// switched on in the settings file as a user would have switched them on, pressed with
// xdotool while a window of the test has the focus; and the worker's live levels on the
// settings window's sliders and group boxes, as the screen shows them.
//
// Where a button, slider or group box lies in the program's windows is read off the same
// windows built in this process on the same settings, laid out at the same sizes.

#include "core/SettingsKeys.h"
#include "tests/app/DesktopView.h"
#include "tests/app/FaceClip.h"
#include "tests/app/ProgramRun.h"
#include "tests/support/Patience.h"
#include "tests/ui/DesktopTestMain.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QKeyEvent>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace SettingKeys;

namespace {

const char Toast[] = "Information";

// The window the user works in: it has the focus while the hotkeys are pressed, and counts
// the function keys that reach it.
class WorkWindow : public QWidget
{
public:
    WorkWindow()
    {
        setWindowTitle(QStringLiteral("Work"));
        setGeometry(40, 700, 400, 300);
    }
    void takeFocus() { giveFocus(this); }
    int functionKeys = 0;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() >= Qt::Key_F1 && event->key() <= Qt::Key_F35)
            ++functionKeys;
    }
};

// The main window and its settings window as the program lays them out.
struct Models
{
    Models()
    {
        main.setAttribute(Qt::WA_DontShowOnScreen);
        main.settingsWindow().setAttribute(Qt::WA_DontShowOnScreen);
        // The model's own windows belong to this process, not to the desktop.
        for (QWidget *window : QApplication::topLevelWidgets())
            if (window->isVisible())
                window->hide();
    }
    QPoint centreOfButton(const QRect &mainWindow, const char *name)
    {
        return mainWindow.topLeft() + centreOf(main.findChild<QPushButton *>(name), &main);
    }
    MainWindow main;
};

// The pointer stays where it is for `stillMs` in a row, within the timeout.
bool pointerRests(DesktopView &desktop, int stillMs, int timeoutMs)
{
    QElapsedTimer still;
    still.start();
    QPoint last = desktop.pointer();
    return QTest::qWaitFor(
        [&] {
            const QPoint now = desktop.pointer();
            if (now != last) {
                last = now;
                still.restart();
            }
            return still.elapsed() >= stillMs;
        },
        timeoutMs);
}

bool settingBecomes(ProgramRun &program, const char *key, int value)
{
    return QTest::qWaitFor([&] { return program.setting(key).toInt() == value; }, patientMs(10000));
}

bool writeClip(ProgramRun &program, const std::function<cv::Point2d(double)> &shift)
{
    return writeFaceClip(QDir(TOVRA_FACE_PHOTOS).filePath("Tom_Cruise_avp_2014_4.jpg"),
                         program.clipPath(), shift);
}

TEST(HotkeysEndToEnd, SwitchedOnHotkeysWorkFromAnotherWindowAndPlayResumesAfterTempStop)
{
    DesktopView desktop;
    ASSERT_TRUE(desktop.isOpen());
    QProcess compositor;
    startCompositorIfAsked(compositor);
    // Every command of the check switched on but the slower X sensitivity.
    ProgramRun program({{HK_ACTIVATE_PLAYPAUSE, 1},
                        {HK_ACTIVATE_TOGGLE_CLICKING, 1},
                        {HK_ACTIVATE_RECENTER, 1},
                        {HK_ACTIVATE_MOUSEX_INCREASE, 1},
                        {HK_ACTIVATE_MOUSEY_DECREASE, 1},
                        {MOUSE_SENSIVITY_X, 5},
                        {MOUSE_SENSIVITY_Y, 5}});
    ASSERT_TRUE(writeClip(program, [](double t) {
        return cv::Point2d(60.0 * std::sin(t * 2.0), 20.0 * std::sin(t * 1.3));
    }));
    Models models;
    const QRect mainWindow = program.start(desktop);
    ASSERT_FALSE(mainWindow.isNull());
    models.main.resize(mainWindow.size());
    models.main.show();
    ASSERT_TRUE(pointerMovesWithin(desktop, 60000));

    WorkWindow work;
    work.takeFocus();
    ASSERT_TRUE(work.isActiveWindow());
    screenshot("hotkeys-1-running");

    // Play/pause: processing stops with its toast, and the pointer rests.
    xdotool({"key", "shift+alt+F2"});
    EXPECT_FALSE(desktop.waitForWindow(Toast).isNull());
    screenshot("hotkeys-2-stopped");
    EXPECT_TRUE(pointerRests(desktop, 1500, patientMs(10000)));

    // Recentre: the pointer goes to the centre of the screen.
    xdotool({"mousemove", "20", "20"});
    xdotool({"key", "shift+alt+F9"});
    const QPoint centre(desktop.screenSize().width() / 2, desktop.screenSize().height() / 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.pointer() == centre; }, patientMs(10000)))
        << desktop.pointer().x() << "," << desktop.pointer().y();

    // The sensitivity keys: the one switched off is pressed first and changes nothing.
    xdotool({"key", "shift+alt+F6"});
    xdotool({"key", "shift+alt+F5"});
    xdotool({"key", "shift+alt+F8"});
    EXPECT_TRUE(settingBecomes(program, MOUSE_SENSIVITY_Y, 4));
    EXPECT_TRUE(settingBecomes(program, MOUSE_SENSIVITY_X, 6))
        << program.setting(MOUSE_SENSIVITY_X).toInt();

    // Toggle clicking: clicking pauses, with its own toast.
    ASSERT_TRUE(desktop.waitUntilGone(Toast));
    xdotool({"key", "shift+alt+F1"});
    EXPECT_FALSE(desktop.waitForWindow(Toast).isNull());
    EXPECT_TRUE(settingBecomes(program, CLICK_OPTION_CLICKING_ACTIVE, 0));
    screenshot("hotkeys-3-clicking-paused");

    // Play/pause again: the pointer follows the head once more.
    xdotool({"key", "shift+alt+F2"});
    EXPECT_TRUE(pointerMovesWithin(desktop, 30000));

    // Temp. Stop on the main window, as the user with a mouse would; then back at work, the
    // hotkey starts processing again.
    ASSERT_TRUE(clickWhileTheHeadMoves(models.centreOfButton(mainWindow, "tempStopButton"),
                                       [&] { return program.question(desktop) != 0; }));
    ASSERT_TRUE(program.answerQuestion(desktop));
    EXPECT_TRUE(pointerRests(desktop, 1500, patientMs(10000)));
    work.takeFocus();
    xdotool({"key", "shift+alt+F2"});
    EXPECT_TRUE(pointerMovesWithin(desktop, 30000));
    screenshot("hotkeys-4-resumed");

    // Grabbed, the combinations never reached the window with the focus, the switched-off
    // one included.
    QCoreApplication::processEvents();
    EXPECT_EQ(work.functionKeys, 0);
    EXPECT_TRUE(program.quit(desktop, mainWindow));
}

// How many pixels of `image` have exactly this colour.
int pixelsOf(const QImage &image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff);
    return count;
}

// The length of the live bar in a slider's image: the longest row of its green, red or grey.
int barLength(const QImage &slider)
{
    const QSet<QRgb> colours = {qRgb(0, 180, 0), qRgb(255, 0, 0), qRgb(80, 80, 80)};
    int longest = 0;
    for (int y = 0; y < slider.height(); ++y) {
        int length = 0;
        for (int x = 0; x < slider.width(); ++x)
            length += colours.contains(slider.pixel(x, y) | 0xff000000u);
        longest = std::max(longest, length);
    }
    return longest;
}

TEST(LiveLevelsEndToEnd, TheWorkersLevelsMoveThePointingSlidersAndParkingLightsItsGroupBox)
{
    DesktopView desktop;
    ASSERT_TRUE(desktop.isOpen());
    QProcess compositor;
    startCompositorIfAsked(compositor);
    // The pointing tab's advanced options open, where the dwell-park levels are; no palette
    // over the settings window.
    ProgramRun program({{SHOW_POINTING_ADVOPTS_DETAILS, 1}, {SHOW_CLICK_OPTIONS, 0}});
    // Two seconds still (parked), two seconds swaying, over and over.
    ASSERT_TRUE(writeClip(program, [](double t) {
        const double phase = std::fmod(t, 4.0);
        return cv::Point2d(phase < 2.0 ? 0.0 : 50.0 * std::sin(phase * M_PI), 0.0);
    }));
    Models models;
    const QRect mainWindow = program.start(desktop);
    ASSERT_FALSE(mainWindow.isNull());
    models.main.resize(mainWindow.size());
    models.main.show();

    clickAt(models.centreOfButton(mainWindow, "settingsButton"));
    const QRect settingsWindow = desktop.waitForWindow("Settings");
    ASSERT_FALSE(settingsWindow.isNull());
    SettingsWindow &settingsModel = models.main.settingsWindow();
    settingsModel.resize(settingsWindow.size());
    settingsModel.show();
    auto *tabs = settingsModel.findChild<QTabWidget *>("tabWidget");
    tabs->setCurrentIndex(1);
    QCoreApplication::processEvents();
    QTabBar *bar = tabs->tabBar();
    clickAt(settingsWindow.topLeft() + bar->mapTo(&settingsModel, bar->tabRect(1).center()));
    // The pointer out of the way of what the test looks at.
    xdotool({"mousemove", "5", QString::number(desktop.screenSize().height() - 5)});

    const auto onScreen = [&](QWidget *widget) {
        return QRect(settingsWindow.topLeft() + widget->mapTo(&settingsModel, QPoint(0, 0)),
                     widget->size());
    };
    auto *slider = settingsModel.findChild<QSlider *>("dwellParkTimeSlider");
    auto *box = settingsModel.findChild<QGroupBox *>("groupBox_DwellParkTime");
    const QRect sliderArea = onScreen(slider);
    const QRect boxArea = onScreen(box);
    ASSERT_TRUE(QRect(QPoint(0, 0), desktop.screenSize()).contains(boxArea));
    screenshot("live-levels-pointing");

    const QRgb highlight = qRgb(0xE6, 0xF4, 0xEA);
    bool highlighted = false, plain = false;
    QSet<int> lengths;
    const bool seen = QTest::qWaitFor(
        [&] {
            const int lit = pixelsOf(desktop.grab(boxArea), highlight);
            if (lit > boxArea.width() * boxArea.height() / 4) {
                if (!highlighted)
                    screenshot("live-levels-parked");
                highlighted = true;
            } else if (lit == 0) {
                plain = true;
            }
            lengths.insert(barLength(desktop.grab(sliderArea)));
            return highlighted && plain && lengths.size() >= 3;
        },
        patientMs(60000));
    EXPECT_TRUE(seen) << "highlighted " << highlighted << " plain " << plain << " bar lengths "
                      << lengths.size();
    // Closed with its Close button, out of the main window's way.
    clickAt(settingsWindow.topLeft() +
            centreOf(settingsModel.findChild<QPushButton *>("closeButton"), &settingsModel));
    ASSERT_TRUE(desktop.waitUntilGone("Settings"));
    EXPECT_TRUE(program.quit(desktop, mainWindow));
}

} // namespace

int main(int argc, char **argv)
{
    return runTestsOnPrivateDesktop(argc, argv, false);
}
