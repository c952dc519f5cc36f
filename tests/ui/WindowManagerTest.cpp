// The main window on a desktop with a window manager: the visibility hotkey minimising and
// restoring it. (The first-run placement with real frames is in ClickWindowsDesktopTest.)

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "core/SettingsKeys.h"
#include "tests/support/Patience.h"
#include "tests/ui/DesktopTestMain.h"
#include "ui/MainWindow.h"

#include <QFile>
#include <QWindow>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using namespace SettingKeys;

namespace {

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

class WindowManager : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(AppFilePaths::settingsFile);
        app()->loadAllSettings();
    }
};

TEST_F(WindowManager, TheVisibilityHotkeyMinimisesAndRestoresWithActivation)
{
    app()->setSetting(FIRST_RUN_EVER, 0);
    MainWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window, patientMs(5000)));

    window.onToggleVisibility();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.isMinimized(); }, patientMs(5000)));
    // Taken off the screen by the window manager, not just marked.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !window.windowHandle()->isExposed(); }, patientMs(5000)));

    window.onToggleVisibility();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isMinimized(); }, patientMs(5000)));
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window, patientMs(5000)));

    // The settings window's hotkey goes the same way.
    emit window.settingsWindow().toggleMainWindowVisibility();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isMinimized(); }, patientMs(5000)));
    emit window.settingsWindow().toggleMainWindowVisibility();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window, patientMs(5000)));
}

} // namespace

int main(int argc, char **argv)
{
    return runTestsOnPrivateDesktop(argc, argv, false);
}
