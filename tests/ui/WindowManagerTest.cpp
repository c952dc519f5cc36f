// The main window on a desktop with a window manager: the first-run placement with real
// window frames, and the visibility hotkey minimising and restoring it.

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "core/SettingsKeys.h"
#include "platform/Platform.h"
#include "tests/support/TestHome.h"
#include "tests/ui/PrivateDesktop.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QWindow>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

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

TEST_F(WindowManager, TheFirstRunPutsTheMainWindowAtTheRightEdgeAndTheSettingsAside)
{
    app()->setSetting(FIRST_RUN_EVER, 1);
    MainWindow window;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // Wait until the frame the window manager put around the window is known.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window.geometry().topLeft() != window.frameGeometry().topLeft(); }, 5000));

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(window.size(), QSize(920, 620));
    // Vertically centred by its client height; at the right edge give or take its border,
    // which is not known before the window is first shown.
    EXPECT_EQ(window.frameGeometry().top(), screen.height() / 2 - 620 / 2);
    const int border = (window.frameGeometry().width() - window.width()) / 2;
    EXPECT_GT(border, 0);
    EXPECT_LE(std::abs(window.geometry().right() - screen.right()), border);
    EXPECT_GE(window.frameGeometry().left(), 0);

    SettingsWindow &settings = window.settingsWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return settings.isMinimized(); }, 5000));
    EXPECT_EQ(app()->getSetting(FIRST_RUN_EVER).toInt(), 0);
}

TEST_F(WindowManager, TheVisibilityHotkeyMinimisesAndRestoresWithActivation)
{
    app()->setSetting(FIRST_RUN_EVER, 0);
    MainWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    window.onToggleVisibility();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.isMinimized(); }, 5000));
    // Taken off the screen by the window manager, not just marked.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.windowHandle()->isExposed(); }, 5000));

    window.onToggleVisibility();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isMinimized(); }, 5000));
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));

    // The settings window's hotkey goes the same way.
    emit window.settingsWindow().toggleMainWindowVisibility();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isMinimized(); }, 5000));
    emit window.settingsWindow().toggleMainWindowVisibility();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
}

} // namespace

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no desktop.
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    TestHome home;
    PrivateDesktop desktop;
    if (!desktop.problem().isEmpty()) {
        std::fprintf(stderr, "No desktop for the test: %s\n", desktop.problem().constData());
        return 1;
    }
    qunsetenv("QT_QPA_PLATFORM");
    platform::installRecording();
    initDataFolder();
    initFileLocations();
    FacialDetectionApp application(argc, argv);
    application.versionText = QStringLiteral("v3.1.3.2");
    return RUN_ALL_TESTS();
}
