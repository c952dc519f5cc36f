#include "ui/settings/RealtimeAnimatedSlider.h"
#include "ui_SettingsWindow.h"

#include <QDialog>
#include <QKeySequenceEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class SettingsFormTest : public ::testing::Test
{
protected:
    SettingsFormTest() { ui.setupUi(&dialog); }

    template<typename T = QWidget> T *widget(const char *name)
    {
        return dialog.findChild<T *>(QString::fromLatin1(name));
    }

    QDialog dialog;
    Ui::SettingsWindow ui;
};

// Every object name the settings window reaches, by the class it expects behind it.
struct NamesOfClass
{
    const char *className;
    std::vector<const char *> names;
};

const NamesOfClass kWindowNames[] = {
    {"QTabWidget", {"tabWidget"}},
    {"QWidget",
     {"tab_Pointing", "tab_Clicking", "tab_Gestures", "tab_HotKeys",
      "scrollAreaWidgetContents_Mode", "scrollAreaWidgetContents_Pointing",
      "scrollAreaWidgetContents_Clicking", "scrollAreaWidgetContents_Gestures",
      "scrollAreaWidgetContents_Hotkeys", "scrollAreaWidgetContents_Preferences",
      "scrollAreaWidgetContents_MyTovra"}},
    {"QScrollArea",
     {"scrollArea_Mode", "scrollArea_Pointing", "scrollArea_Clicking", "scrollArea_Gestures",
      "scrollArea_Hotkeys", "scrollArea_Preferences", "scrollArea_MyTovra"}},
    {"QRadioButton",
     {"radio_AbsoTrueRaw", "radio_AbsoTrueSm", "radio_AbsoCombo1", "radio_AbsoCombo2",
      "radio_AbsoCombo3", "radio_AbsoCombo4", "radio_AbsoCombo5", "radio_AbsoCombo6",
      "radioCOShowAllButtons", "radioCOShowPauseButtonOnly", "fullFunctionRadio", "switchOnlyRadio",
      "absoluteModeRadio", "relativeModeRadio"}},
    {"QLabel", {"label_ReleaseNumValue"}},
    {"QGroupBox",
     {"logBox",
      "blurBox",
      "writeLogFile_GroupBox",
      "debugPlayback_Groupbox",
      "groupBox_AbsoMethods",
      "groupBox_FZS1",
      "groupBox_FZS2",
      "groupBox_MMIS",
      "groupbox_mouseAcceleration",
      "groupBox_SlowBlink_MaxDur",
      "groupBox_SpeedOfSmiles",
      "groupBox_MMS_AdditionalPrefs",
      "groupBox_AdaptiveSwitchMode",
      "groupBox_ClickOption",
      "groupBox_DwellClickTime",
      "groupBox_DwellZoneSize",
      "groupBox_AdvancedOptions",
      "groupBox_Smile",
      "groupBox_SlowBlink",
      "groupBox_EyebrowRaise",
      "groupBox_MouthOpen",
      "groupBox_HoldHeadSteady",
      "groupBox_DwellParkThreshold",
      "groupBox_DwellParkTime"}},
    {"QCheckBox",
     {"indivResultsCheck",
      "addLandmarksCheck",
      "lockFPSCheck",
      "cameraMMISCheck",
      "enhancePrecisionCheck",
      "disableStickinessOSKCheck",
      "animMouseMotionCheck",
      "animMouseStickinessCheck",
      "animDwellParkCheck",
      "showFaceDetStatusCheck",
      "showFaceNotDetStatusCheck",
      "showSmileStatusCheck",
      "showOnScreenMessagesCheck",
      "soundStartMouseMotionCheck",
      "soundEndMouseMotionCheck",
      "soundClickCheck",
      "soundClickAndDragCheck",
      "soundScrollCheck",
      "soundClickGestureIgnoredCheck",
      "soundRecenterCheck",
      "minimizeAfterCalibrationCheck",
      "startAutomaticallyCheck",
      "cameraFlipLeftToRightCheck",
      "cameraFlipTopToBottomCheck",
      "debugRecordInput",
      "debugRecordOutput",
      "createLogCheck",
      "showEyesCheck",
      "instantClickCheck",
      "slowSmilesCheck",
      "activateEyebrowRaiseDetectionCheck",
      "activateBlinkDetectionCheck",
      "activateMouthOpenDetectionCheck",
      "activateHHSDetectionCheck",
      "activateSmileDetectionCheck",
      "ignoreMOWhenLookingAwayCheck",
      "ignoreSmileWhenLookingAwayCheck",
      "ignoreHHSWhenLookingAwayCheck",
      "ignoreEBRWhenLookingAwayCheck",
      "ignoreBlinkWhenLookingAwayCheck",
      "checkMMMActivate",
      "checkMMMDisplayOSW",
      "checkMMMRecenter",
      "logCheck",
      "claheCheck",
      "coarseContrastCheck",
      "brightCheck",
      "backLightCheck",
      "defaultImageProcCheck",
      "secFaceDetectionCheck",
      "finalResultCheck",
      "showClickOptionsCheck",
      "blurCheck",
      "checkHkToggleClicking",
      "checkHkPlayPause",
      "checkHkClickOpts",
      "checkHkMainWindow",
      "checkHkMouseXIncrease",
      "checkHkMouseXDecrease",
      "checkHkMouseYIncrease",
      "checkHkMouseYDecrease",
      "checkHkRecenter",
      "checkHkCalibrate",
      "checkHkSmileDwell"}},
    {"QSlider",
     {"hotkeyMessageTimeSlider",
      "mouseSensitivityXSlider",
      "mouseSensitivityYSlider",
      "mouseAccelerationSlider",
      "focusZoneSlider",
      "focusZoneSlider_2",
      "dwellClickTimeSlider",
      "dwellZoneSizeSlider",
      "clickAssistLevelSlider",
      "pceSustainTimeDeltaSlider",
      "maxMotionAtSmileStartSlider",
      "greenSlider",
      "yellowSlider",
      "redSlider",
      "exposureSlider",
      "resolutionSlider",
      "frameRateSlider",
      "additionalEtsysSlider",
      "gammaSlider",
      "brightSlider",
      "contrastSlider",
      "brushSizeSlider",
      "numNeighborsSlider",
      "inflationFacSlider",
      "sliderMMMThreshold",
      "sliderMMMTimeLag",
      "blurSlider"}},
    {"RealtimeAnimatedSlider",
     {"HHSThresholdSlider", "HHSMinDurSlider", "dwellParkThresholdSlider", "tremorControlSlider",
      "escapeVelocitySlider", "dwellParkTimeSlider", "SmileThresholdSlider", "SmileMinDurSlider",
      "EbrMinDurSlider", "EbrThresholdSlider", "MoMinDurSlider", "MoThresholdSlider",
      "MoThrottleTimeSlider", "BlinkThresholdSlider", "BlinkMinDurSlider", "BlinkMaxDurSlider",
      "BlinkThrottleTimeSlider", "processPrioritySlider"}},
    {"QSpinBox",
     {"hotkeyMessageTimeSpin",
      "mouseSensitivityXSpin",
      "mouseSensitivityYSpin",
      "HHSThresholdSpin",
      "HHSMinDurSpin",
      "mouseAccelerationSpin",
      "focusZoneSpin",
      "focusZoneSpin_2",
      "dwellParkThresholdSpin",
      "dwellClickTimeSpin",
      "dwellZoneSizeSpin",
      "tremorControlSpin",
      "escapeVelocitySpin",
      "dwellParkTimeSpin",
      "clickAssistLevelSpin",
      "pceSustainTimeDeltaSpin",
      "maxMotionAtSmileStartSpin",
      "greenSpin",
      "yellowSpin",
      "redSpin",
      "exposureSpin",
      "resolutionSpin",
      "frameRateSpin",
      "additionalEtsysSpin",
      "gammaSpin",
      "brightSpin",
      "contrastSpin",
      "brushSizeSpin",
      "numNeighborsSpin",
      "inflationFacSpin",
      "SmileThresholdSpin",
      "SmileMinDurSpin",
      "EbrMinDurSpin",
      "EbrThresholdSpin",
      "MoMinDurSpin",
      "MoThresholdSpin",
      "MoThrottleTimeSpin",
      "BlinkThresholdSpin",
      "BlinkMinDurSpin",
      "BlinkMaxDurSpin",
      "BlinkThrottleTimeSpin",
      "processPrioritySpin",
      "spinMMMThreshold",
      "spinMMMTimeLag",
      "blurSpin"}},
    {"QComboBox",
     {"comboBoxEyebrowRaise", "comboBoxSmile", "comboBoxHHS", "comboBoxMouthOpen",
      "comboBoxSlowBlink"}},
    {"QPushButton",
     {"debugPlaybackVideo",
      "pushButtonResetSettings",
      "pushButtonSaveSettings",
      "pushButtonRestoreSettings",
      "pushButtonSmileDetails",
      "pushButtonMouthOpenDetails",
      "pushButtonHHSDetails",
      "pushButtonEBRDetails",
      "pushButtonBlinkDetails",
      "pushButtonPointingAdvOpts",
      "pushButtonClickingAdvOpts",
      "pushButtonGesturesAdvOpts",
      "pushButtonPreferencesAdvOpts",
      "pushButtonHotkeysAdvOpts",
      "pushButtonMMMDetails",
      "closeButton",
      "buttonHkToggleClicking",
      "buttonHkPlayPause",
      "buttonHkClickOpts",
      "buttonHkMainWindow",
      "buttonHkMouseXIncrease",
      "buttonHkMouseXDecrease",
      "buttonHkMouseYIncrease",
      "buttonHkMouseYDecrease",
      "buttonHkRecenter",
      "buttonHkCalibrate",
      "buttonHkSmileDwell"}},
    {"QFrame",
     {"frameSmileDetails", "frameMouthOpenDetails", "frameHHSDetails", "frameEBRDetails",
      "frameBlinkDetails", "frame_PointingAdvOpts", "frame_ClickingAdvOpts",
      "frame_GesturesAdvOpts", "frame_PreferencesAdvOpts", "frame_HotkeysAdvOpts"}},
    {"QKeySequenceEdit",
     {"keyseqHkToggleClicking", "keyseqHkPlayPause", "keyseqHkClickOpts", "keyseqHkMainWindow",
      "keyseqHkMouseXIncrease", "keyseqHkMouseXDecrease", "keyseqHkMouseYIncrease",
      "keyseqHkMouseYDecrease", "keyseqHkRecenter", "keyseqHkCalibrate", "keyseqHkSmileDwell"}},
};

TEST_F(SettingsFormTest, EveryNameTheWindowUsesResolvesToOneObjectOfItsClass)
{
    for (const NamesOfClass &group : kWindowNames) {
        for (const char *name : group.names) {
            const QList<QObject *> found = dialog.findChildren<QObject *>(QLatin1String(name));
            ASSERT_EQ(found.size(), 1) << name;
            EXPECT_STREQ(found.first()->metaObject()->className(), group.className) << name;
        }
    }
    // The live-level sliders are exactly the ones the window feeds.
    EXPECT_EQ(dialog.findChildren<RealtimeAnimatedSlider *>().size(), 18);
}

TEST_F(SettingsFormTest, FrameNamesSizesAndPagesTheDialog)
{
    EXPECT_EQ(dialog.objectName(), "SettingsWindow");
    QDialog named;
    named.setObjectName("Kept");
    Ui::SettingsWindow other;
    other.setupUi(&named);
    EXPECT_EQ(named.objectName(), "Kept");

    EXPECT_EQ(dialog.minimumSize(), QSize(890, 600));
    EXPECT_EQ(dialog.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    EXPECT_GE(dialog.width(), 890);
    EXPECT_EQ(dialog.height(), 900);
    EXPECT_EQ(dialog.styleSheet().size(), 256);
    EXPECT_TRUE(dialog.styleSheet().startsWith("QGroupBox { \n     border: 1px solid gray;"));

    const char *const pages[] = {"tab_Mode",      "tab_Pointing",    "tab_Clicking", "tab_Gestures",
                                 "tab_HotKeys",   "tab_Preferences", "tab_MyTovra",  "tab_Debug",
                                 "tab_ImageProc", "tab_Camera"};
    ASSERT_EQ(ui.tabWidget->count(), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(ui.tabWidget->widget(i)->objectName(), pages[i]) << i;
    EXPECT_EQ(ui.tabWidget->currentIndex(), 3);
    EXPECT_EQ(ui.tabWidget->font().pointSize(), 10);
    EXPECT_EQ(ui.closeButton->text(), "Close");
}

// A slider and the spin box beside it: each keeps its own range and step.
struct Pair
{
    const char *slider, *spin;
    int sMin, sMax, sStep, sPage, sTick, sValue;
    int pMin, pMax, pStep, pValue;
};

const Pair kPairs[] = {
    // slider, spin: slider min..max, step, page, tick, value; spin min..max, step, value
    {"mouseSensitivityXSlider", "mouseSensitivityXSpin", 1, 10, 1, 1, 1, 5, 1, 10, 1, 5},
    {"mouseSensitivityYSlider", "mouseSensitivityYSpin", 1, 10, 1, 1, 1, 5, 1, 10, 1, 5},
    {"dwellParkThresholdSlider", "dwellParkThresholdSpin", 0, 100, 1, 10, 5, 30, 0, 100, 5, 30},
    {"dwellParkTimeSlider", "dwellParkTimeSpin", 0, 4000, 50, 200, 100, 400, 0, 4000, 50, 400},
    {"escapeVelocitySlider", "escapeVelocitySpin", 0, 100, 1, 5, 5, 20, 0, 100, 5, 20},
    {"tremorControlSlider", "tremorControlSpin", 0, 20, 1, 5, 1, 3, 0, 20, 1, 3},
    {"focusZoneSlider", "focusZoneSpin", 0, 100, 5, 10, 5, 30, 0, 100, 5, 30},
    {"focusZoneSlider_2", "focusZoneSpin_2", 0, 100, 5, 10, 5, 50, 0, 100, 5, 50},
    {"mouseAccelerationSlider", "mouseAccelerationSpin", 0, 10, 1, 1, 1, 3, 0, 20, 1, 3},
    {"dwellClickTimeSlider", "dwellClickTimeSpin", 50, 10000, 100, 500, 500, 1000, 50, 10000, 100,
     1000},
    {"dwellZoneSizeSlider", "dwellZoneSizeSpin", 0, 2000, 20, 100, 100, 20, 0, 2000, 20, 20},
    {"clickAssistLevelSlider", "clickAssistLevelSpin", 0, 50, 1, 5, 2, 10, 0, 50, 1, 10},
    {"pceSustainTimeDeltaSlider", "pceSustainTimeDeltaSpin", 100, 5000, 50, 200, 200, 1100, 100,
     5000, 50, 1100},
    {"SmileThresholdSlider", "SmileThresholdSpin", 10, 100, 5, 10, 10, 50, 10, 100, 5, 50},
    {"SmileMinDurSlider", "SmileMinDurSpin", 100, 2000, 50, 100, 100, 100, 100, 2000, 50, 100},
    {"HHSThresholdSlider", "HHSThresholdSpin", 0, 15, 1, 5, 1, 3, 1, 25, 1, 3},
    {"HHSMinDurSlider", "HHSMinDurSpin", 0, 10000, 100, 500, 500, 5000, 200, 10200, 100, 5000},
    {"MoThresholdSlider", "MoThresholdSpin", 1, 25, 1, 5, 1, 4, 1, 25, 5, 4},
    {"MoMinDurSlider", "MoMinDurSpin", 100, 4000, 100, 500, 200, 500, 100, 4000, 100, 500},
    {"MoThrottleTimeSlider", "MoThrottleTimeSpin", 0, 4000, 100, 100, 100, 500, 0, 4000, 100, 500},
    {"EbrThresholdSlider", "EbrThresholdSpin", 1, 9, 1, 1, 1, 3, 1, 9, 1, 3},
    {"EbrMinDurSlider", "EbrMinDurSpin", 75, 2000, 25, 25, 100, 125, 75, 2000, 25, 125},
    {"BlinkThresholdSlider", "BlinkThresholdSpin", 25, 100, 5, 5, 5, 85, 25, 100, 5, 85},
    {"BlinkMinDurSlider", "BlinkMinDurSpin", 75, 2000, 25, 25, 100, 200, 75, 2000, 25, 200},
    {"BlinkThrottleTimeSlider", "BlinkThrottleTimeSpin", 0, 4000, 100, 100, 100, 500, 0, 4000, 100,
     500},
    {"BlinkMaxDurSlider", "BlinkMaxDurSpin", 500, 30000, 100, 500, 500, 2000, 500, 10000, 100,
     2000},
    {"maxMotionAtSmileStartSlider", "maxMotionAtSmileStartSpin", 1, 151, 1, 5, 5, 11, 1, 151, 1,
     11},
    {"greenSlider", "greenSpin", 100, 4000, 100, 500, 500, 1200, 100, 4000, 100, 1200},
    {"yellowSlider", "yellowSpin", 0, 4000, 100, 500, 500, 1600, 0, 4000, 100, 1600},
    {"redSlider", "redSpin", 0, 4000, 100, 500, 500, 2000, 0, 4000, 100, 2000},
    {"hotkeyMessageTimeSlider", "hotkeyMessageTimeSpin", 0, 5000, 500, 1000, 500, 1000, 0, 5000,
     500, 1000},
    {"sliderMMMThreshold", "spinMMMThreshold", 10, 500, 10, 50, 50, 60, 10, 500, 10, 60},
    {"sliderMMMTimeLag", "spinMMMTimeLag", 100, 10000, 100, 1000, 500, 3100, 100, 10000, 100, 3100},
    {"resolutionSlider", "resolutionSpin", 0, 1000, 50, 50, 50, 0, 0, 1000, 50, 0},
    {"frameRateSlider", "frameRateSpin", 4, 120, 4, 20, 4, 28, 4, 120, 1, 28},
    {"additionalEtsysSlider", "additionalEtsysSpin", 0, 40, 1, 5, 4, 0, 0, 40, 1, 0},
    {"processPrioritySlider", "processPrioritySpin", 0, 2, 1, 1, 1, 1, 0, 2, 1, 1},
    {"gammaSlider", "gammaSpin", 0, 100, 5, 20, 10, 30, 0, 100, 5, 30},
    // The contrast and blur spin boxes keep the default range; both halves start equal.
    {"contrastSlider", "contrastSpin", 0, 10, 1, 1, 1, 3, 0, 99, 1, 3},
    {"brushSizeSlider", "brushSizeSpin", 1, 25, 1, 1, 2, 2, 1, 25, 1, 2},
    {"brightSlider", "brightSpin", 0, 200, 5, 20, 10, 0, 0, 200, 1, 0},
    {"blurSlider", "blurSpin", 0, 100, 5, 20, 10, 20, 0, 99, 1, 20},
    {"numNeighborsSlider", "numNeighborsSpin", 0, 10, 1, 2, 1, 1, 0, 10, 1, 1},
    {"inflationFacSlider", "inflationFacSpin", 0, 200, 10, 20, 10, 20, 0, 200, 5, 20},
    {"exposureSlider", "exposureSpin", -25, 25, 1, 5, 1, -6, -25, 25, 1, -6},
};

TEST_F(SettingsFormTest, RangedPairsHaveTheirRangesStepsAndMatchingStartValues)
{
    for (const Pair &p : kPairs) {
        auto *slider = widget<QSlider>(p.slider);
        auto *spin = widget<QSpinBox>(p.spin);
        ASSERT_NE(slider, nullptr) << p.slider;
        ASSERT_NE(spin, nullptr) << p.spin;
        EXPECT_EQ(slider->minimum(), p.sMin) << p.slider;
        EXPECT_EQ(slider->maximum(), p.sMax) << p.slider;
        EXPECT_EQ(slider->singleStep(), p.sStep) << p.slider;
        EXPECT_EQ(slider->pageStep(), p.sPage) << p.slider;
        EXPECT_EQ(slider->tickInterval(), p.sTick) << p.slider;
        EXPECT_EQ(slider->value(), p.sValue) << p.slider;
        EXPECT_EQ(slider->orientation(), Qt::Horizontal) << p.slider;
        EXPECT_EQ(slider->tickPosition(), QSlider::TicksBelow) << p.slider;
        EXPECT_FALSE(slider->invertedAppearance()) << p.slider;
        EXPECT_FALSE(slider->invertedControls()) << p.slider;
        EXPECT_EQ(spin->minimum(), p.pMin) << p.spin;
        EXPECT_EQ(spin->maximum(), p.pMax) << p.spin;
        EXPECT_EQ(spin->singleStep(), p.pStep) << p.spin;
        EXPECT_EQ(spin->value(), p.pValue) << p.spin;
        EXPECT_EQ(slider->value(), spin->value()) << "a first store must not write a stray value";
    }
    EXPECT_EQ(std::size(kPairs), 45u);
    EXPECT_EQ(dialog.findChildren<QSpinBox *>().size(), 45);
    EXPECT_EQ(dialog.findChildren<QSlider *>().size(), 45);
}

TEST_F(SettingsFormTest, ActionChoicesAreListedInActionTypeOrder)
{
    const QStringList actions = {"--None--",
                                 "Left Mouse Button",
                                 "Right Mouse Button",
                                 "Space Key",
                                 "Enter Key",
                                 "1 (One) Key",
                                 "F12",
                                 "F13",
                                 "F14",
                                 "Recenter Pointer",
                                 "Freeze Pointer"};
    QStringList steady = actions.mid(0, 10);
    for (int i = 1; i <= 8; ++i)
        steady[i] = "N/A - " + steady[i];

    const struct
    {
        const char *combo;
        QStringList items;
    } combos[] = {{"comboBoxSmile", actions},
                  {"comboBoxMouthOpen", actions},
                  {"comboBoxEyebrowRaise", actions},
                  {"comboBoxSlowBlink", actions},
                  {"comboBoxHHS", steady}};
    for (const auto &c : combos) {
        auto *combo = widget<QComboBox>(c.combo);
        ASSERT_NE(combo, nullptr) << c.combo;
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        EXPECT_EQ(items, c.items) << c.combo;
        EXPECT_EQ(combo->currentIndex(), 0) << c.combo;
        EXPECT_FALSE(combo->isEditable()) << c.combo;
        EXPECT_EQ(combo->maxVisibleItems(), 12) << c.combo;
    }
}

TEST_F(SettingsFormTest, StartsWithNothingChosenBeyondTheFormsDefaults)
{
    // Checked radio buttons: only the absolute pointing mode and its smoothed method.
    QStringList checked;
    for (QRadioButton *radio : dialog.findChildren<QRadioButton *>())
        if (radio->isChecked())
            checked << radio->objectName();
    checked.sort();
    EXPECT_EQ(checked, QStringList({"absoluteModeRadio", "radio_AbsoTrueSm"}));

    for (QCheckBox *box : dialog.findChildren<QCheckBox *>())
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    for (QKeySequenceEdit *edit : dialog.findChildren<QKeySequenceEdit *>())
        EXPECT_TRUE(edit->keySequence().isEmpty()) << edit->objectName().toStdString();

    // Eleven details buttons, all open, all reading the same.
    int details = 0;
    for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
        if (!button->isCheckable())
            continue;
        ++details;
        EXPECT_FALSE(button->isChecked()) << button->objectName().toStdString();
        EXPECT_EQ(button->text(), "Hide Details") << button->objectName().toStdString();
        EXPECT_GE(button->minimumWidth(), 100);
        EXPECT_GE(button->minimumHeight(), 32);
    }
    EXPECT_EQ(details, 11);

    // The form hides nothing and disables only the hold-steady off-screen switch. (Pages
    // other than the current one are hidden by the tab widget itself, not by the form.)
    QStringList disabled;
    for (QWidget *w : ui.tabWidget->findChildren<QWidget *>()) {
        const QString name = w->objectName();
        const bool formWidget = !name.isEmpty() && !name.startsWith("qt_") &&
                                !qobject_cast<QTabBar *>(w->parentWidget());
        if (!formWidget)
            continue;
        if (ui.tabWidget->indexOf(w) < 0) {
            EXPECT_FALSE(w->isHidden()) << name.toStdString();
        }
        if (!w->isEnabled())
            disabled << name;
    }
    EXPECT_EQ(disabled, QStringList({"ignoreHHSWhenLookingAwayCheck"}));

    for (const char *name :
         {"SmileThresholdSpin", "HHSThresholdSpin", "MoThresholdSpin", "MoThrottleTimeSpin",
          "EbrThresholdSpin", "BlinkThresholdSpin", "BlinkThrottleTimeSpin"})
        EXPECT_FALSE(widget<QSpinBox>(name)->isGroupSeparatorShown()) << name;
}

TEST_F(SettingsFormTest, RadioButtonsExcludeTheirSiblingsOnly)
{
    const struct
    {
        const char *first, *second;
    } siblings[] = {{"fullFunctionRadio", "switchOnlyRadio"},
                    {"relativeModeRadio", "absoluteModeRadio"},
                    {"radioCOShowAllButtons", "radioCOShowPauseButtonOnly"},
                    {"radio_AbsoCombo6", "radio_AbsoTrueSm"}};
    for (const auto &s : siblings) {
        auto *first = widget<QRadioButton>(s.first);
        auto *second = widget<QRadioButton>(s.second);
        second->setChecked(true);
        first->setChecked(true);
        EXPECT_FALSE(second->isChecked()) << s.first << " unchecks " << s.second;
    }
    // Groups of different parents stay independent.
    EXPECT_TRUE(widget<QRadioButton>("fullFunctionRadio")->isChecked());
    EXPECT_TRUE(widget<QRadioButton>("relativeModeRadio")->isChecked());
    EXPECT_TRUE(widget<QRadioButton>("radioCOShowAllButtons")->isChecked());
}

TEST_F(SettingsFormTest, EveryPageFitsTheOpeningWidth)
{
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    for (int i = 0; i < ui.tabWidget->count(); ++i) {
        ui.tabWidget->setCurrentIndex(i);
        QCoreApplication::processEvents();
        auto *area = ui.tabWidget->widget(i)->findChild<QScrollArea *>();
        ASSERT_NE(area, nullptr);
        EXPECT_EQ(area->horizontalScrollBar()->maximum(), 0)
            << ui.tabWidget->tabText(i).toStdString() << " is wider than the dialog";
    }
}

} // namespace
