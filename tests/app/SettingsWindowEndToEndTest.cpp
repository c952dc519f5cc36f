// The program itself (build/bin/TovraMouse) on a desktop of the test's own, used as a person
// at the keyboard and mouse would: the start-up dialogs answered with Enter, processing
// stopped, Settings opened from the main window, the horizontal sensitivity dragged to its
// lowest, processing started again, and the program quit with Alt+F4 and Enter. The settings
// file and the pointer's motion show that the drag reached the store and the tracker.
//
// Where a button or slider lies in the program's windows is read off the same windows built
// in this process on the same settings, laid out at the same sizes.

#include "core/SettingsKeys.h"
#include "tests/app/DesktopView.h"
#include "tests/app/FaceClip.h"
#include "tests/app/ProgramRun.h"
#include "tests/support/Patience.h"
#include "tests/ui/DesktopTestMain.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

using namespace SettingKeys;

namespace {

// How far the pointer travels across and along while the tracker moves it.
struct Travel
{
    double across = 0, along = 0;
    double ratio() const { return along > 0 ? across / along : 0; }
};

Travel measureTravel(DesktopView &desktop, int samples)
{
    Travel travel;
    QPoint last = desktop.pointer();
    for (int i = 0; i < samples; ++i) {
        QTest::qWait(20);
        const QPoint now = desktop.pointer();
        travel.across += std::abs(now.x() - last.x());
        travel.along += std::abs(now.y() - last.y());
        last = now;
    }
    return travel;
}

// Whether the image shows more than one colour: a page drawn, not a bare window.
bool drawn(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != image.pixel(0, 0))
                return true;
    return false;
}

TEST(SettingsWindowEndToEnd, ADraggedSliderReachesTheSettingsFileAndThePointer)
{
    DesktopView desktop;
    ASSERT_TRUE(desktop.isOpen());
    QProcess compositor;
    startCompositorIfAsked(compositor);
    ProgramRun program;
    // A face moving along the diagonal, as far sideways as up and down: with equal
    // sensitivities the pointer travels about as far across as along.
    ASSERT_TRUE(writeFaceClip(QDir(TOVRA_FACE_PHOTOS).filePath("Tom_Cruise_avp_2014_4.jpg"),
                              program.clipPath(), [](double t) {
                                  const double shift = 40.0 * std::sin(t * 2.0);
                                  return cv::Point2d(shift, shift);
                              }));

    // The same windows in this process, on the same settings: where things are.
    MainWindow model;
    model.setAttribute(Qt::WA_DontShowOnScreen);
    SettingsWindow &settingsModel = model.settingsWindow();
    settingsModel.setAttribute(Qt::WA_DontShowOnScreen);
    // The model's pointer-following images belong to this process, not to the desktop.
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible())
            window->hide();

    const QRect mainWindow = program.start(desktop);
    ASSERT_FALSE(mainWindow.isNull());
    model.resize(mainWindow.size());
    model.show();

    ASSERT_TRUE(pointerMovesWithin(desktop, 60000));
    const Travel before = measureTravel(desktop, 200);
    std::printf("before: across %.0f along %.0f\n", before.across, before.along);

    screenshot("1-running");
    // Processing stopped first, so that the tracker does not take the pointer from the drag.
    ASSERT_TRUE(clickWhileTheHeadMoves(
        mainWindow.topLeft() + centreOf(model.findChild<QPushButton *>("tempStopButton"), &model),
        [&] { return program.question(desktop) != 0; }));
    ASSERT_TRUE(program.answerQuestion(desktop));

    clickAt(mainWindow.topLeft() +
            centreOf(model.findChild<QPushButton *>("settingsButton"), &model));
    const QRect settingsWindow = desktop.waitForWindow("Settings");
    ASSERT_FALSE(settingsWindow.isNull());
    screenshot("2-settings");
    auto *tabs = settingsModel.findChild<QTabWidget *>("tabWidget");
    settingsModel.resize(settingsWindow.size());
    settingsModel.show();
    tabs->setCurrentIndex(1);
    QCoreApplication::processEvents();
    QTabBar *bar = tabs->tabBar();
    // The pages' area: the first page (nothing on it moves by itself) until the click has
    // turned it.
    QWidget *pointingPage = tabs->currentWidget();
    const QRect pages(settingsWindow.topLeft() + pointingPage->mapTo(&settingsModel, QPoint(0, 0)),
                      pointingPage->size());
    QImage firstPage;
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return drawn(firstPage = desktop.grab(pages)); }, patientMs(10000)));
    clickAt(settingsWindow.topLeft() + bar->mapTo(&settingsModel, bar->tabRect(1).center()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return desktop.grab(pages) != firstPage; }, patientMs(10000)))
        << "the pointing page did not come";

    screenshot("3-pointing");
    auto *slider = settingsModel.findChild<QSlider *>("mouseSensitivityXSlider");
    const QPoint handle =
        settingsWindow.topLeft() + slider->mapTo(&settingsModel, handleOf(slider).center());
    const QPoint leftEnd = settingsWindow.topLeft() + slider->mapTo(&settingsModel, QPoint(0, 0)) +
                           QPoint(-20, handleOf(slider).center().y());
    xdotool(
        {"mousemove", QString::number(handle.x()), QString::number(handle.y()), "mousedown", "1"});
    for (int step = 1; step <= 10; ++step) {
        const int x = handle.x() + (leftEnd.x() - handle.x()) * step / 10;
        xdotool({"mousemove", QString::number(x), QString::number(handle.y())});
    }
    xdotool({"mouseup", "1"});
    screenshot("4-dragged");

    EXPECT_TRUE(QTest::qWaitFor([&] { return program.setting(MOUSE_SENSIVITY_X).toInt() == 1; },
                                patientMs(10000)));

    // To look at: every page as the program shows it.
    if (!qEnvironmentVariableIsEmpty("TOVRA_SCREENSHOTS")) {
        for (int tab = 0; tab < tabs->count(); ++tab) {
            clickAt(settingsWindow.topLeft() +
                    bar->mapTo(&settingsModel, bar->tabRect(tab).center()));
            QTest::qWait(500);
            screenshot(qPrintable(QStringLiteral("tab-%1").arg(tab + 1)));
        }
    }

    // Closed with its Close button, out of the main window's way.
    clickAt(settingsWindow.topLeft() +
            centreOf(settingsModel.findChild<QPushButton *>("closeButton"), &settingsModel));
    ASSERT_TRUE(desktop.waitUntilGone("Settings"));
    clickAt(mainWindow.topLeft() + centreOf(model.findChild<QPushButton *>("playButton"), &model));
    screenshot("5-play");
    ASSERT_TRUE(pointerMovesWithin(desktop, 60000));
    const Travel after = measureTravel(desktop, 200);
    std::printf("after: across %.0f along %.0f\n", after.across, after.along);
    // A fifth of the gain across, the same along.
    EXPECT_LT(after.ratio(), before.ratio() / 2);

    screenshot("6-resumed");

    EXPECT_TRUE(program.quit(desktop, mainWindow));
    EXPECT_EQ(program.setting(MOUSE_SENSIVITY_X).toInt(), 1);
}

} // namespace

int main(int argc, char **argv)
{
    return runTestsOnPrivateDesktop(argc, argv, false);
}
