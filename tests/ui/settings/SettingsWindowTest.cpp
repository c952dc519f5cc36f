// The settings window on the real form: every control stores its setting at once, every
// change in the store reloads the form, and the questions, panels and geometry around them.

#include "ui/settings/SettingsWindow.h"
#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "core/SettingsDefaults.h"
#include "core/SettingsKeys.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/ui/settings/SettingsWindowFixture.h"
#include "tests/ui/settings/SettingsWindowTestSupport.h"
#include "ui/settings/SettingsBindings.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QRadioButton>
#include <QSet>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace SettingKeys;
using SettingsBindings::Kind;

namespace {

class SettingsWindowTest : public SettingsWindowFixture
{
protected:
    int stored(const char *key) { return app()->getSetting(key).toInt(); }
};

// A value both widgets of a pair can hold that differs from what they show.
int otherValue(const QSpinBox *spin, const QSlider *slider)
{
    const int low = std::max(spin->minimum(), slider->minimum());
    const int high = std::min(spin->maximum(), slider->maximum());
    return spin->value() == high ? low : high;
}

TEST_F(SettingsWindowTest, EveryBindingNamesAWidgetOfTheRightKindAndCoversTheResetTable)
{
    QSet<QString> bound;
    for (std::size_t i = 0; i < SettingsBindings::count(); ++i) {
        const SettingsBindings::Binding &b = SettingsBindings::all()[i];
        SCOPED_TRACE(b.key);
        EXPECT_FALSE(bound.contains(b.key));
        bound.insert(b.key);
        switch (b.kind) {
        case Kind::SliderPair:
            EXPECT_NE(widget<QSpinBox>(b.widget), nullptr);
            EXPECT_NE(widget<QSlider>(b.partner), nullptr);
            break;
        case Kind::KeySequence:
            EXPECT_NE(widget<QKeySequenceEdit>(b.widget), nullptr);
            break;
        default:
            EXPECT_NE(widget<QAbstractButton>(b.widget), nullptr);
            if (b.partner) {
                EXPECT_NE(widget(b.partner), nullptr);
            }
        }
    }
    for (std::size_t i = 0; i < SettingsBindings::ActionChoiceCount; ++i) {
        EXPECT_NE(widget<QComboBox>(SettingsBindings::actionChoices()[i].widget), nullptr);
        bound.insert(SettingsBindings::actionChoices()[i].key);
    }
    // What the reset writes and the form does not show belongs to other windows.
    const QSet<QString> elsewhere{CLICK_MODE,
                                  MOTION_MODE,
                                  FULL_SCREEN_MODE_ON,
                                  ENABLE_PAN_SCAN,
                                  CLICK_OPTION_LEFT_CLICK,
                                  CLICK_OPTION_RIGHT_CLICK,
                                  CLICK_OPTION_LEFT_CLICK_LOCKED,
                                  CLICK_OPTION_RIGHT_CLICK_LOCKED,
                                  CLICK_OPTION_TIMES2_MODE,
                                  CLICK_OPTION_DRAG_MODE,
                                  CLICK_OPTION_SCROLL_MODE,
                                  CLICK_OPTION_TIMES2_MODE_LOCKED,
                                  CLICK_OPTION_DRAG_MODE_LOCKED,
                                  CLICK_OPTION_SCROLL_MODE_LOCKED,
                                  CLICK_OPTION_CLICKING_ACTIVE,
                                  FIRST_RUN_ON_V3X,
                                  CO_SHOW_ALL_BUTTONS,
                                  GEN_SPACE_INSTEAD_OF_CLICK,
                                  GEN_ONE_INSTEAD_OF_CLICK,
                                  GEN_F12_INSTEAD_OF_CLICK,
                                  GEN_F13_INSTEAD_OF_CLICK,
                                  GEN_F14_INSTEAD_OF_CLICK,
                                  GEN_CLICK_INSTEAD_OF_CLICK,
                                  ORDER,
                                  USE_DESKTOP_WITH_SINGLE_CLICK,
                                  CCF_AUTOCLOSE,
                                  RTSF_AUTOCLOSE};
    for (const auto &batch : SettingsDefaults::batches())
        for (const auto &pair : batch)
            EXPECT_TRUE(bound.contains(pair.first) || elsewhere.contains(pair.first))
                << pair.first.toStdString();
}

TEST_F(SettingsWindowTest, OpensWithTheSevenUserTabsOnTheRightOne)
{
    for (int firstRun : {1, 0}) {
        app()->setSetting(FIRST_RUN_EVER, firstRun);
        SettingsWindow opened;
        auto *tabs = opened.findChild<QTabWidget *>("tabWidget");
        ASSERT_EQ(tabs->count(), 7);
        EXPECT_EQ(tabs->tabText(0), "1. Mode");
        EXPECT_EQ(tabs->tabText(6), "7. My Tovra Mouse");
        EXPECT_EQ(tabs->currentIndex(), firstRun ? 1 : 3);
        EXPECT_EQ(opened.findChild<QLabel *>("label_ReleaseNumValue")->text(), "v3.1.3.2");
        EXPECT_FALSE(opened.windowFlags() & Qt::WindowContextHelpButtonHint);
        EXPECT_TRUE(opened.windowFlags() & Qt::WindowMinimizeButtonHint);
    }
}

TEST_F(SettingsWindowTest, TheFirstLoadStoresNothingBack)
{
    app()->setSetting(GREEN_TIMER, 0);
    const QStringList before = settingsFileLines();
    QSignalSpy changed(app(), &FacialDetectionApp::SettingsChanged);
    window();
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(settingsFileLines(), before);
    EXPECT_EQ(stored(GREEN_TIMER), 0);
    EXPECT_EQ(widget<QSpinBox>("greenSpin")->value(), 100);
    // Nor does a reload that moves none of the form's widgets.
    app()->setSetting(CLICK_MODE, 0);
    EXPECT_EQ(stored(GREEN_TIMER), 0);
}

// Each control, changed as the user changes it, stores its own setting at once: one line of
// the settings file and one change signal; a store from elsewhere shows in it.
TEST_F(SettingsWindowTest, EveryControlStoresItsSettingAtOnceAndShowsItsReload)
{
    window();
    for (std::size_t i = 0; i < SettingsBindings::count(); ++i) {
        const SettingsBindings::Binding &b = SettingsBindings::all()[i];
        // These ask or explain first; their own tests answer them.
        if (b.kind == Kind::Radio || b.kind == Kind::PointingMode)
            continue;
        SCOPED_TRACE(b.key);
        const QStringList before = settingsFileLines();
        QSignalSpy changed(app(), &FacialDetectionApp::SettingsChanged);
        if (b.kind == Kind::SliderPair) {
            auto *spin = widget<QSpinBox>(b.widget);
            auto *slider = widget<QSlider>(b.partner);
            const int value = otherValue(spin, slider);
            slider->setValue(value);
            EXPECT_EQ(spin->value(), value);
            EXPECT_EQ(stored(b.key), value);
            EXPECT_EQ(changed.count(), 1);
            EXPECT_EQ(changedLines(before, settingsFileLines()).size(), 1);
            // The spin box drives the slider the same way.
            const int typed = otherValue(spin, slider);
            spin->setValue(typed);
            EXPECT_EQ(slider->value(), typed);
            EXPECT_EQ(stored(b.key), typed);
            app()->setSetting(b.key, value);
            EXPECT_EQ(slider->value(), value);
            continue;
        }
        if (b.kind == Kind::KeySequence) {
            // Stored with the next store of the window, as the hotkeys tab expects.
            widget<QKeySequenceEdit>(b.widget)->setKeySequence(QKeySequence("Ctrl+Alt+K"));
            EXPECT_EQ(changed.count(), 0);
            window().UpdatePersistentSettings();
            EXPECT_EQ(app()->getSetting(b.key).toString(), "Ctrl+Alt+K");
            EXPECT_EQ(changed.count(), 1);
            app()->setSetting(b.key, QStringLiteral("Shift+F2"));
            EXPECT_EQ(widget<QKeySequenceEdit>(b.widget)->keySequence(), QKeySequence("Shift+F2"));
            continue;
        }
        auto *control = widget<QAbstractButton>(b.widget);
        const bool checked = !control->isChecked();
        // A box the form starts disabled changes only by program; the binding is the same.
        if (control->isEnabled())
            control->click();
        else
            control->setChecked(checked);
        EXPECT_EQ(control->isChecked(), checked);
        EXPECT_EQ(app()->getSetting(b.key).toBool(), checked);
        EXPECT_EQ(changed.count(), 1);
        // A method lets go of the one chosen before in the same write.
        const int lines = b.kind == Kind::AbsoluteMethod ? 2 : 1;
        EXPECT_EQ(changedLines(before, settingsFileLines()).size(), lines)
            << changedLines(before, settingsFileLines()).join(' ').toStdString();
        if (b.kind == Kind::AbsoluteMethod)
            continue;
        app()->setSetting(b.key, !checked);
        EXPECT_EQ(control->isChecked(), !checked);
    }
}

// A load works from one reading of the store: values stored together all survive it, and
// none of the form's old values is written back on the way.
TEST_F(SettingsWindowTest, AReloadKeepsEveryValueStoredTogether)
{
    window();
    app()->setSettings({{MOUSE_SENSIVITY_X, 2},
                        {ABSO_COMBO6, 0},
                        {ABSO_COMBO2, 1},
                        {HK_KEYSEQ_RECENTER, QStringLiteral("Ctrl+F9")}});
    EXPECT_EQ(stored(MOUSE_SENSIVITY_X), 2);
    EXPECT_EQ(stored(ABSO_COMBO6), 0);
    EXPECT_EQ(stored(ABSO_COMBO2), 1);
    EXPECT_EQ(app()->getSetting(HK_KEYSEQ_RECENTER).toString(), "Ctrl+F9");
    EXPECT_EQ(widget<QSlider>("mouseSensitivityXSlider")->value(), 2);
    EXPECT_TRUE(widget<QRadioButton>("radio_AbsoCombo2")->isChecked());
    EXPECT_EQ(widget<QKeySequenceEdit>("keyseqHkRecenter")->keySequence(), QKeySequence("Ctrl+F9"));
}

// A stored value outside what a pair can show is shown clamped and the clamped value stored.
TEST_F(SettingsWindowTest, AValueAPairCannotShowIsStoredAsShown)
{
    struct Case
    {
        const char *key, *spin;
        int stored, shown;
    };
    const Case cases[] = {
        {HHS_THRESHOLD, "HHSThresholdSpin", 0, 1},
        {HHS_TIME, "HHSMinDurSpin", 100, 200},
        {SLOWBLINK_MAXDUR, "BlinkMaxDurSpin", 20000, 10000},
        {MOUSE_ACCELERATION, "mouseAccelerationSpin", 15, 10},
    };
    window();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key);
        app()->setSetting(c.key, c.stored);
        EXPECT_EQ(widget<QSpinBox>(c.spin)->value(), c.shown);
        EXPECT_EQ(stored(c.key), c.shown);
    }
    // The hold-head-steady threshold never shows 0, whichever side is moved there.
    widget<QSlider>("HHSThresholdSlider")->setValue(0);
    EXPECT_EQ(widget<QSlider>("HHSThresholdSlider")->value(), 1);
    EXPECT_EQ(stored(HHS_THRESHOLD), 1);
}

TEST_F(SettingsWindowTest, AnActionTheListLacksIsKeptAndAChoiceIsStored)
{
    window();
    app()->setSetting(FEMAP_INDEX_SMILE, 42);
    auto *combo = widget<QComboBox>("comboBoxSmile");
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_EQ(stored(FEMAP_INDEX_SMILE), 42);
    combo->setCurrentIndex(2);
    EXPECT_EQ(stored(FEMAP_INDEX_SMILE), 2);
}

// The two stored choices decide which click window shows, whether they come from the store
// or from the window's own controls.
TEST_F(SettingsWindowTest, TheClickWindowsFollowTheirTwoChoices)
{
    struct Case
    {
        int show, allButtons;
        bool palette, pause;
    };
    const Case cases[] = {{1, 1, true, false},
                          {1, 0, false, true},
                          {0, 1, false, false},
                          {0, 0, false, false},
                          {1, 1, true, false}};
    window();
    for (const Case &c : cases) {
        app()->setSettings({{SHOW_CLICK_OPTIONS, c.show}, {CO_SHOW_ALL_BUTTONS, c.allButtons}});
        EXPECT_EQ(window().clickOptionsWindow.isVisible(), c.palette) << c.show << c.allButtons;
        EXPECT_EQ(window().clickPause.isVisible(), c.pause) << c.show << c.allButtons;
    }

    widget<QRadioButton>("radioCOShowPauseButtonOnly")->click();
    EXPECT_EQ(stored(CO_SHOW_ALL_BUTTONS), 0);
    EXPECT_FALSE(window().clickOptionsWindow.isVisible());
    EXPECT_TRUE(window().clickPause.isVisible());
    widget<QCheckBox>("showClickOptionsCheck")->click();
    EXPECT_EQ(stored(SHOW_CLICK_OPTIONS), 0);
    EXPECT_FALSE(window().clickPause.isVisible());
    // With the windows off, the choice is stored and shows neither.
    widget<QRadioButton>("radioCOShowAllButtons")->click();
    EXPECT_EQ(stored(CO_SHOW_ALL_BUTTONS), 1);
    EXPECT_FALSE(window().clickOptionsWindow.isVisible());
    EXPECT_FALSE(window().clickPause.isVisible());

    // Bringing the chosen window up leaves the other alone.
    widget<QRadioButton>("radioCOShowPauseButtonOnly")->click();
    window().onShowClickOptions();
    EXPECT_TRUE(window().clickPause.isVisible());
    EXPECT_FALSE(window().clickOptionsWindow.isVisible());
}

TEST_F(SettingsWindowTest, SwitchOnlyModeDisablesPointingAndClicking)
{
    window();
    app()->setSettings({{MODE_FULL_FUNCTION, 0}, {MODE_SWITCH_ONLY, 1}});
    EXPECT_FALSE(widget("tab_Pointing")->isEnabled());
    EXPECT_FALSE(widget("tab_Clicking")->isEnabled());
    EXPECT_FALSE(widget("groupBox_AdaptiveSwitchMode")->isHidden());
    EXPECT_TRUE(widget<QRadioButton>("switchOnlyRadio")->isChecked());
    app()->setSettings({{MODE_FULL_FUNCTION, 1}, {MODE_SWITCH_ONLY, 0}});
    EXPECT_TRUE(widget("tab_Pointing")->isEnabled());
    EXPECT_TRUE(widget("tab_Clicking")->isEnabled());
    EXPECT_TRUE(widget("groupBox_AdaptiveSwitchMode")->isHidden());
}

TEST_F(SettingsWindowTest, AbsolutePointingDisablesEnhancedPrecision)
{
    window();
    app()->setSetting(ABSOLUTE_MODE, 1);
    EXPECT_TRUE(widget<QRadioButton>("absoluteModeRadio")->isChecked());
    EXPECT_FALSE(widget("enhancePrecisionCheck")->isEnabled());
    app()->setSetting(ABSOLUTE_MODE, 0);
    EXPECT_TRUE(widget<QRadioButton>("relativeModeRadio")->isChecked());
    EXPECT_TRUE(widget("enhancePrecisionCheck")->isEnabled());
}

// --- Questions and notices -------------------------------------------------------------

TEST_F(SettingsWindowTest, SwitchOnlyModeIsStoredOnlyAfterAYes)
{
    window();
    DialogAnswerer answerer;
    answerer.enqueue(DialogAnswerer::pressButton("No"));
    widget<QRadioButton>("switchOnlyRadio")->click();
    EXPECT_TRUE(widget<QRadioButton>("fullFunctionRadio")->isChecked());
    EXPECT_EQ(stored(MODE_SWITCH_ONLY), 0);
    ASSERT_EQ(answerer.titles(), QStringList{"Settings"});
    EXPECT_TRUE(answerer.texts().value(0).startsWith("WARNING:  Are you sure you want to use the "
                                                     "Adaptive Switch mode?\n\n"));

    answerer.enqueue(DialogAnswerer::pressButton("Yes"));
    widget<QRadioButton>("switchOnlyRadio")->click();
    EXPECT_EQ(stored(MODE_SWITCH_ONLY), 1);
    EXPECT_EQ(stored(MODE_FULL_FUNCTION), 0);
}

TEST_F(SettingsWindowTest, AbsolutePointingIsExplainedStoredAndRestartsTheSession)
{
    SessionRecorder tracker;
    app()->tracker = &tracker;
    window();
    DialogAnswerer answerer;
    widget<QRadioButton>("absoluteModeRadio")->click();
    EXPECT_EQ(stored(ABSOLUTE_MODE), 1);
    // Every click explains and restarts, also on the mode already chosen.
    widget<QRadioButton>("absoluteModeRadio")->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return tracker.requests().size() == 2; }, 5000));
    EXPECT_EQ(tracker.requests().value(0), "startTrackingSession(false)");

    widget<QRadioButton>("relativeModeRadio")->click();
    EXPECT_EQ(stored(ABSOLUTE_MODE), 0);
    EXPECT_EQ(answerer.titles(),
              (QStringList{"Absolute Mode of Pointing", "Absolute Mode of Pointing",
                           "Relative Mode of Pointing"}));
    EXPECT_TRUE(answerer.texts().value(0).startsWith(
        "In this mode, the mouse pointer will follow head direction.\n\n"));
    QTest::qWait(50);
    EXPECT_EQ(tracker.requests().size(), 2);
    app()->tracker = nullptr;
}

// Switching smile detection off is questioned only when the smile is what clicks, and only
// when the user does it.
TEST_F(SettingsWindowTest, SwitchingSmileDetectionOffAsksOnlyWhenTheSmileClicks)
{
    struct Case
    {
        int clickMode, smileAction;
        bool asks;
    };
    const Case cases[] = {{0, 1, true}, {1, 1, false}, {0, 2, false}};
    window();
    auto *check = widget<QCheckBox>("activateSmileDetectionCheck");
    for (const Case &c : cases) {
        app()->setSettings({{CLICK_MODE, c.clickMode},
                            {FEMAP_INDEX_SMILE, c.smileAction},
                            {ACTIVATE_SMILE_DETECTION, 1}});
        DialogAnswerer answerer;
        answerer.enqueue(DialogAnswerer::pressButton("No"));
        check->click();
        EXPECT_EQ(answerer.titles().size(), c.asks ? 1 : 0) << c.clickMode << c.smileAction;
        // No keeps it on; nothing asked stores it off.
        EXPECT_EQ(check->isChecked(), c.asks);
        EXPECT_EQ(stored(ACTIVATE_SMILE_DETECTION), c.asks ? 1 : 0);
    }

    app()->setSettings({{CLICK_MODE, 0}, {FEMAP_INDEX_SMILE, 1}, {ACTIVATE_SMILE_DETECTION, 1}});
    DialogAnswerer answerer;
    answerer.enqueue(DialogAnswerer::pressButton("Yes"));
    check->click();
    EXPECT_EQ(answerer.texts().value(0),
              "Are you sure you want to deactivate smile detection? \n\nYou are in Click Mode of "
              "Smile and this deactivation will not allow you to click with smile anymore!");
    EXPECT_EQ(stored(ACTIVATE_SMILE_DETECTION), 0);

    // The same change arriving from the store is a load: nothing to ask.
    app()->setSetting(ACTIVATE_SMILE_DETECTION, 1);
    app()->setSetting(ACTIVATE_SMILE_DETECTION, 0);
    QTest::qWait(100);
    EXPECT_EQ(answerer.titles().size(), 1);
    EXPECT_FALSE(check->isChecked());
}

// --- Details panels, size and geometry -------------------------------------------------

TEST_F(SettingsWindowTest, ADetailsButtonOpensItsPanelGrowingTheWindowNeverShrinkingIt)
{
    window().resize(900, 610);
    auto *details = widget<QAbstractButton>("pushButtonHHSDetails");
    QWidget *panel = widget("frameHHSDetails");
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(details->text(), "Show Details");

    details->click();
    EXPECT_EQ(stored(SHOW_HHS_SETTINGS_DETAILS), 1);
    EXPECT_EQ(details->text(), "Hide Details");
    EXPECT_FALSE(panel->isHidden());
    const QSize opened = window().size();
    EXPECT_GE(opened.width(), 900);
    EXPECT_GE(opened.height(), 610);
    EXPECT_EQ(window().minimumSize(), QSize(890, 600));

    details->click();
    EXPECT_EQ(stored(SHOW_HHS_SETTINGS_DETAILS), 0);
    EXPECT_EQ(details->text(), "Show Details");
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(window().size(), opened);

    // A reload leaves the size the user gave the window alone.
    window().resize(895, 605);
    app()->setSetting(MOUSE_SENSIVITY_Y, 9);
    EXPECT_EQ(window().size(), QSize(895, 605));
}

TEST_F(SettingsWindowTest, TheWindowComesBackWhereItWasLastHiddenAlsoInTheNextRun)
{
    window().show();
    window().setGeometry(120, 140, 930, 640);
    window().hide();
    EXPECT_TRUE(QSettings(AppFilePaths::settingsFile, QSettings::IniFormat)
                    .contains("SettingsWindow/geometry"));
    settings.reset();

    SettingsWindow nextRun;
    nextRun.show();
    EXPECT_EQ(nextRun.geometry(), QRect(120, 140, 930, 640));
}

TEST_F(SettingsWindowTest, TheTitleBarCloseMinimisesAndTheCloseButtonHides)
{
    window().show();
    window().close();
    EXPECT_TRUE(window().isMinimized());
    EXPECT_TRUE(window().isVisible());
    app()->setSetting(MOUSE_SENSIVITY_X, 3);
    EXPECT_EQ(widget<QSlider>("mouseSensitivityXSlider")->value(), 3);

    window().showNormal();
    widget<QAbstractButton>("closeButton")->click();
    EXPECT_FALSE(window().isVisible());
}

} // namespace
