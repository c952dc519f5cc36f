// The click windows driven as the user drives them: each button's batch of settings, the locks,
// the resets redrawing the palette, the pause switch from every place, closing, the pointer
// passing over, and the palette scaling as it is resized.

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "core/SettingsKeys.h"
#include "platform/Platform.h"
#include "platform/recording/CallLog.h"
#include "platform/recording/RecordingProcess.h"
#include "ui/clickwindows/ClickOptionsLayout.h"
#include "ui/clickwindows/ClickOptionsWindow.h"
#include "ui/clickwindows/ClickPause.h"

#include <QButtonGroup>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <thread>

using namespace SettingKeys;

namespace {

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

// The ten mode and lock settings in the order the palette writes them; each mode is followed by
// its lock.
const char *const OptionKeys[] = {CLICK_OPTION_LEFT_CLICK,  CLICK_OPTION_LEFT_CLICK_LOCKED,
                                  CLICK_OPTION_RIGHT_CLICK, CLICK_OPTION_RIGHT_CLICK_LOCKED,
                                  CLICK_OPTION_TIMES2_MODE, CLICK_OPTION_TIMES2_MODE_LOCKED,
                                  CLICK_OPTION_DRAG_MODE,   CLICK_OPTION_DRAG_MODE_LOCKED,
                                  CLICK_OPTION_SCROLL_MODE, CLICK_OPTION_SCROLL_MODE_LOCKED};
// The palette's buttons in the same order.
const char *const OptionButtons[] = {
    "leftClick", "leftClickLocker", "rightClick", "rightClickLocker", "times2", "times2Locker",
    "drag",      "dragLocker",      "scroll",     "scrollLocker"};
using Options = std::array<int, 10>;

Options stored()
{
    Options o{};
    for (size_t i = 0; i < o.size(); ++i)
        o[i] = app()->getSetting(OptionKeys[i]).toInt();
    return o;
}

void store(const Options &o)
{
    QList<QPair<QString, QVariant>> pairs;
    for (size_t i = 0; i < o.size(); ++i)
        pairs.append({OptionKeys[i], o[i]});
    app()->setSettings(pairs);
}

QPushButton *button(QWidget *window, const char *name)
{
    auto *found = window->findChild<QPushButton *>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// What the buttons show, in the order of the settings: checked, and for each lock whether it
// can be pressed (2 = checked and enabled, 1 = enabled, 0 = disabled).
Options shown(QWidget *palette)
{
    Options o{};
    for (size_t i = 0; i < o.size(); ++i) {
        QPushButton *b = button(palette, OptionButtons[i]);
        o[i] = i % 2 == 0 ? int(b->isChecked()) : (b->isEnabled() ? 1 + int(b->isChecked()) : 0);
    }
    return o;
}

std::string describe(const Options &o)
{
    std::string s;
    for (int v : o)
        s += char('0' + v);
    return s;
}

class ClickWindows : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(AppFilePaths::settingsFile);
        app()->loadAllSettings();
        platform::installRecording();
        app()->setClickingActive(true);
        app()->setPointerOverClickOptions(false);
        app()->setPointerOverClickPause(false);
    }
};

TEST_F(ClickWindows, TheFormsNameTheirButtonsAndNeverTakeTheFocus)
{
    ClickOptionsWindow palette;
    EXPECT_EQ(palette.objectName(), "ClickOptionsWindow");
    EXPECT_EQ(palette.windowTitle(), "Click Opts");
    EXPECT_EQ(palette.toolTip(), "Type of click to be generated upon click facial gesture.");
    EXPECT_EQ(palette.minimumSize(), QSize(74, 460));
    for (const char *name : OptionButtons) {
        QPushButton *b = button(&palette, name);
        EXPECT_TRUE(b->isCheckable()) << name;
        EXPECT_EQ(b->focusPolicy(), Qt::NoFocus) << name;
        EXPECT_TRUE(b->text().isEmpty()) << name;
        EXPECT_FALSE(b->icon().isNull()) << name;
    }
    EXPECT_EQ(button(&palette, "resetButton")->text(), "Reset");
    EXPECT_FALSE(button(&palette, "resetButton")->isCheckable());
    EXPECT_EQ(button(&palette, "scrollLocker")->toolTip(), "Lock Scroll mode");
    EXPECT_TRUE(button(&palette, "leftClick")->group()->exclusive());
    EXPECT_TRUE(button(&palette, "drag")->group()->exclusive());
    EXPECT_EQ(button(&palette, "drag")->group(), button(&palette, "scroll")->group());

    ClickPause pause;
    EXPECT_EQ(pause.objectName(), "ClickPause");
    EXPECT_EQ(pause.windowTitle(), "Clicking");
    EXPECT_EQ(pause.size(), QSize(91, 91));
    EXPECT_EQ(button(&pause, "pushStandAlonePause")->toolTip(), "Pause / Activate Clicking");

    for (QWidget *w : std::initializer_list<QWidget *>{&palette, &pause}) {
        EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_TRUE(w->windowFlags() & Qt::WindowDoesNotAcceptFocus);
        EXPECT_FALSE(w->windowFlags() & Qt::WindowContextHelpButtonHint);
        EXPECT_FALSE(w->isVisible());
    }
}

TEST_F(ClickWindows, EachButtonWritesTheTenOptionsAsItShowsThem)
{
    struct Case
    {
        const char *press;
        Options before, after;
    };
    const Case cases[] = {
        // The other button of the pair takes its lock along.
        {"rightClick", {1, 1, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0}},
        {"leftClick", {0, 0, 1, 1, 0, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"leftClickLocker", {1, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {1, 1, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"leftClickLocker", {1, 1, 0, 0, 0, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"rightClickLocker", {0, 0, 1, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 1, 1, 0, 0, 0, 0, 0, 0}},
        {"times2", {1, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 1, 0, 0, 0, 0, 0}},
        // Pressing the chosen one keeps it chosen.
        {"times2", {1, 0, 0, 0, 1, 1, 0, 0, 0, 0}, {1, 0, 0, 0, 1, 1, 0, 0, 0, 0}},
        {"times2Locker", {1, 0, 0, 0, 1, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 1, 1, 0, 0, 0, 0}},
        {"drag", {1, 0, 0, 0, 1, 1, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0, 1, 0, 0, 0}},
        {"dragLocker", {0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, {0, 0, 1, 0, 0, 0, 1, 1, 0, 0}},
        {"scroll", {1, 0, 0, 0, 0, 0, 1, 1, 0, 0}, {1, 0, 0, 0, 0, 0, 0, 0, 1, 0}},
        {"scrollLocker", {1, 0, 0, 0, 0, 0, 0, 0, 1, 0}, {1, 0, 0, 0, 0, 0, 0, 0, 1, 1}},
    };
    ClickOptionsWindow palette;
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.press) + " from " + describe(c.before));
        store(c.before);
        ASSERT_EQ(describe(stored()), describe(c.before));
        button(&palette, c.press)->click();
        EXPECT_EQ(describe(stored()), describe(c.after));
    }
}

TEST_F(ClickWindows, ALockCanOnlyHoldAChosenModeAndALoneLockIsWrittenOff)
{
    ClickOptionsWindow palette;
    // Locks stored without their modes (a hand-edited or older settings file).
    store({1, 0, 0, 1, 0, 1, 1, 1, 0, 0});
    EXPECT_EQ(describe(shown(&palette)), describe({1, 1, 0, 0, 0, 0, 1, 2, 0, 0}));
    EXPECT_EQ(describe(stored()), describe({1, 0, 0, 0, 0, 0, 1, 1, 0, 0}));

    // None of double, drag and scroll: all three show off though they are one exclusive group.
    store({0, 0, 1, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(describe(shown(&palette)), describe({0, 0, 1, 1, 0, 0, 0, 0, 0, 0}));
}

TEST_F(ClickWindows, TheResetsAfterAClickAndByTheButtonRedrawThePalette)
{
    ClickOptionsWindow palette;
    // Right click unlocked, double click locked: the engine's reset after a click keeps only
    // the double click. It runs on the worker thread.
    store({0, 0, 1, 0, 1, 1, 0, 0, 0, 0});
    std::thread worker([] { app()->ResetClickOptions_Softly(); });
    worker.join();
    EXPECT_TRUE(QTest::qWaitFor([&] { return button(&palette, "leftClick")->isChecked(); }, 2000));
    EXPECT_EQ(describe(shown(&palette)), describe({1, 1, 0, 0, 1, 2, 0, 0, 0, 0}));

    // The reset button clears everything but the left click, locks included.
    button(&palette, "resetButton")->click();
    EXPECT_EQ(describe(stored()), describe({1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(describe(shown(&palette)), describe({1, 1, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(ClickWindows, ThePauseSwitchAgreesWhereverItIsPressed)
{
    ClickOptionsWindow palette;
    ClickPause pause;
    QPushButton *palettePause = button(&palette, "pauseButton");
    QPushButton *pauseButton = button(&pause, "pushStandAlonePause");
    auto expectShown = [&](bool active) {
        const QString text = active ? "Pause\nClicking" : "Activate\nClicking";
        EXPECT_EQ(app()->clickingActive, active);
        EXPECT_EQ(palettePause->text(), text);
        EXPECT_EQ(palettePause->isChecked(), !active);
        EXPECT_EQ(pauseButton->text(), text);
        EXPECT_EQ(pauseButton->isChecked(), !active);
    };
    expectShown(true);

    palettePause->click();
    expectShown(false);
    EXPECT_EQ(app()->getSetting(CLICK_OPTION_CLICKING_ACTIVE).toInt(), 0);

    // The pause window changes the live switch only; the stored choice stays.
    pauseButton->click();
    expectShown(true);
    EXPECT_EQ(app()->getSetting(CLICK_OPTION_CLICKING_ACTIVE).toInt(), 0);

    // The toggle-clicking hotkey goes through the palette and follows the live switch.
    palette.ToggleActiveInactive();
    expectShown(false);
    pauseButton->click();
    palette.ToggleActiveInactive();
    expectShown(false);
    EXPECT_EQ(app()->getSetting(CLICK_OPTION_CLICKING_ACTIVE).toInt(), 0);

    // A window made while clicking is paused says so from the start.
    ClickPause later;
    EXPECT_EQ(button(&later, "pushStandAlonePause")->text(), "Activate\nClicking");
}

TEST_F(ClickWindows, ThePaletteClosesOnlyToMinimisedAndThePauseWindowTurnsClickWindowsOff)
{
    ClickOptionsWindow palette;
    palette.show();
    EXPECT_FALSE(palette.close());
    EXPECT_TRUE(palette.isMinimized());

    ClickPause pause;
    pause.show();
    EXPECT_TRUE(pause.close());
    EXPECT_FALSE(pause.isVisible());
    EXPECT_EQ(app()->getSetting(SHOW_CLICK_OPTIONS).toInt(), 0);
    QSignalSpy changed(app(), &FacialDetectionApp::SettingsChanged);
    pause.show();
    pause.close();
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(ClickWindows, ThePointerOverEitherWindowMakesPlainClicksAndTheFocusComesBack)
{
    const std::function<std::unique_ptr<QWidget>()> makers[] = {
        [] { return std::make_unique<ClickOptionsWindow>(); },
        [] { return std::make_unique<ClickPause>(); },
    };
    platform::RecordingProcess &process = platform::recordingProcess();
    auto giveBacks = [] { return platform::recordingLog().calls("process"); };
    for (const auto &make : makers) {
        platform::installRecording();
        std::unique_ptr<QWidget> window = make();
        SCOPED_TRACE(window->objectName().toStdString());
        window->show();
        QEvent enter(QEvent::Enter), leave(QEvent::Leave);

        // Leaving before the pointer ever came in gives nothing back.
        QCoreApplication::sendEvent(window.get(), &leave);
        EXPECT_TRUE(giveBacks().filter("setForegroundWindow").isEmpty());

        process.setFocusedWindow(42);
        QCoreApplication::sendEvent(window.get(), &enter);
        EXPECT_TRUE(app()->isPointerOverOwnWindow());
        // Something took the focus meanwhile (a click the window manager let through).
        process.setFocusedWindow(7);
        QCoreApplication::sendEvent(window.get(), &leave);
        EXPECT_FALSE(app()->isPointerOverOwnWindow());
        EXPECT_EQ(giveBacks().filter("setForegroundWindow"),
                  QStringList{"setForegroundWindow(42)"});
        EXPECT_EQ(process.foregroundWindow(), 42u);
        // The focus is where it belongs: leaving again asks nothing.
        QCoreApplication::sendEvent(window.get(), &leave);
        EXPECT_EQ(giveBacks().filter("setForegroundWindow").size(), 1);

        // Taken away under the pointer: the engine does not go on clicking plainly.
        QCoreApplication::sendEvent(window.get(), &enter);
        window->hide();
        EXPECT_FALSE(app()->isPointerOverOwnWindow());
    }
}

TEST_F(ClickWindows, ThePaletteScalesWithItsHeightAndAsksToKeepItsProportion)
{
    ClickOptionsWindow palette;
    palette.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&palette));
    const QSize reference = palette.size();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return platform::recordingProcess().aspectRatio(palette.winId()) == reference; },
        2000));
    EXPECT_EQ(palette.heightForWidth(reference.width()), reference.height());

    const QSize larger(reference.width() + 22, reference.height() * 5 / 4);
    palette.resize(larger);
    QCoreApplication::processEvents();
    ASSERT_EQ(palette.size(), larger);
    const double s = double(larger.height()) / reference.height();
    QPushButton *right = button(&palette, "rightClick");
    EXPECT_EQ(right->size(), QSize(75 + 22, int(60 * s)));
    EXPECT_EQ(right->iconSize(), QSize(int(35 * s), int(35 * s)));
    QPushButton *lock = button(&palette, "rightClickLocker");
    EXPECT_EQ(lock->geometry(), QRect(82 + 22 - int(20 * s), right->y(), int(20 * s), int(20 * s)));
    EXPECT_EQ(button(&palette, "resetButton")->font().pointSize(), int(9 * s));
    EXPECT_EQ(button(&palette, "pauseButton")->font().pointSize(), int(9 * s));
    // Back to the first size: the designed layout again.
    palette.resize(reference);
    QCoreApplication::processEvents();
    EXPECT_EQ(right->geometry(), QRect(8, 83, 75, 60));
}

} // namespace
