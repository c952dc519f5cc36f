// The reset of all settings that a first run and the reset button rely on.

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "core/SettingsDefaults.h"
#include "core/SettingsKeys.h"
#include "platform/Platform.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/TestHome.h"
#include "tests/ui/settings/SettingsWindowTestSupport.h"
#include "ui/settings/SettingsWindow.h"

#include <QAbstractButton>
#include <QFile>
#include <QSet>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using namespace SettingKeys;

namespace {

TEST(SettingsDefaultsTable, CoversEveryStoredKeyButTheSevenKeptOnes)
{
    QSet<QString> reset;
    for (const auto &batch : SettingsDefaults::batches())
        for (const auto &pair : batch)
            EXPECT_FALSE(reset.contains(pair.first)) << pair.first.toStdString() << " twice";
    for (const auto &batch : SettingsDefaults::batches())
        for (const auto &pair : batch)
            reset.insert(pair.first);
    EXPECT_EQ(SettingsDefaults::pairCount(), 172);
    EXPECT_EQ(SettingsDefaults::batches().size(), 6);

    QSet<QString> kept;
    for (std::size_t i = 0; i < SettingsSchema::count(); ++i) {
        const QString key = SettingsSchema::definitions()[i].key;
        if (!reset.contains(key))
            kept.insert(key);
    }
    EXPECT_EQ(kept,
              (QSet<QString>{CALIBRATE_REQUESTED, DEFAULT_CAMERA, FIRST_RUN_EVER, MIGRATED_TO_2_1,
                             HIDDEN_SETTING_1, HIDDEN_SETTING_2, HIDDEN_SETTING_3}));
}

TEST(SettingsDefaultsTable, EqualsTheLoadDefaultsButForThreeKeys)
{
    QSet<QString> differing;
    for (const auto &batch : SettingsDefaults::batches()) {
        for (const auto &pair : batch) {
            const SettingDefinition *def = SettingsSchema::find(pair.first);
            ASSERT_NE(def, nullptr) << pair.first.toStdString();
            EXPECT_EQ(def->isString, pair.second.userType() == QMetaType::QString);
            if (SettingsSchema::loadDefault(*def) != pair.second)
                differing.insert(pair.first);
        }
    }
    EXPECT_EQ(differing, (QSet<QString>{FIRST_RUN_ON_V3X, ADDITIONAL_ETSYS, BRIGHTNESS_LEVEL}));
}

TEST(ResetAllSettings, WritesTheResetDefaultsInSixBatchesAndKeepsTheCamera)
{
    freshSettings();
    // One value off its default in each batch.
    app()->setSettings({{DEFAULT_CAMERA, QStringLiteral("USB Camera: Front-1")},
                        {MOUSE_SENSIVITY_X, 9},
                        {CO_SHOW_ALL_BUTTONS, 0},
                        {SLOW_SMILES, 1},
                        {HK_ACTIVATE_CALIBRATE, 1},
                        {HK_KEYSEQ_CALIBRATE, QStringLiteral("Ctrl+F10")},
                        {MINIMIZE_AFTER_CALIBRATION, 1},
                        {SMILE_THRESHOLD, 80}});
    app()->takeChangedSettings();

    SettingsWindow window;
    QSignalSpy batches(app(), &FacialDetectionApp::ClickOptionsSettingsChanged);
    window.ResetAllSettings();
    EXPECT_EQ(batches.count(), 6);
    EXPECT_TRUE(app()->resettingSettings);
    EXPECT_TRUE(QTest::qWaitFor([] { return !app()->resettingSettings; }, 5000));

    QSettings file(AppFilePaths::settingsFile, QSettings::IniFormat);
    for (const auto &batch : SettingsDefaults::batches())
        for (const auto &pair : batch)
            EXPECT_EQ(file.value(pair.first).toString(), pair.second.toString())
                << pair.first.toStdString();
    EXPECT_EQ(app()->getSetting(HK_KEYSEQ_CALIBRATE).toString(), "Shift+Alt+F10");
    EXPECT_EQ(app()->getSetting(DEFAULT_CAMERA).toString(), "USB Camera: Front-1");
    EXPECT_EQ(window.findChild<QSlider *>("mouseSensitivityXSlider")->value(), 5);
    EXPECT_EQ(window.findChild<QSpinBox *>("SmileThresholdSpin")->value(), 60);
}

// The reset's closing second does not hold up the window: events run meanwhile.
TEST(ResetAllSettings, TheWindowKeepsRunningWhileTheResetEnds)
{
    SettingsWindow window;
    bool ranDuringReset = false;
    QTimer::singleShot(0, [&] { ranDuringReset = app()->resettingSettings; });
    window.ResetAllSettings();
    EXPECT_TRUE(QTest::qWaitFor([] { return !app()->resettingSettings; }, 5000));
    EXPECT_TRUE(ranDuringReset);
}

TEST(ResetAllSettings, OnDefaultsStillSignalsOnceAndIsWiredToTheStartupRequest)
{
    SettingsWindow window;
    window.ResetAllSettings();
    QSignalSpy changed(app(), &FacialDetectionApp::SettingsChanged);
    QSignalSpy clickOptions(app(), &FacialDetectionApp::ClickOptionsSettingsChanged);
    emit app()->NeedAllSettingsReset();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(clickOptions.count(), 0);
    EXPECT_TRUE(QTest::qWaitFor([] { return !app()->resettingSettings; }, 5000));
}

// The button tells the user once the reset is over, and calibrates once the notice is read.
TEST(ResetAllSettings, TheButtonNotifiesAfterTheResetThenCalibrates)
{
    SessionRecorder tracker;
    app()->tracker = &tracker;
    SettingsWindow window;
    DialogAnswerer answerer;
    bool resetOverAtNotice = false;
    int requestsAtNotice = -1;
    answerer.enqueue([&](QWidget *modal) {
        resetOverAtNotice = !app()->resettingSettings;
        requestsAtNotice = tracker.requests().size();
        DialogAnswerer::pressButton("OK")(modal);
    });
    window.findChild<QAbstractButton *>("pushButtonResetSettings")->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !tracker.requests().isEmpty(); }, 5000));
    ASSERT_EQ(answerer.titles(), QStringList{"Reset Settings"});
    EXPECT_EQ(answerer.texts().value(0),
              "All settings have been restored to default settings.\nTriggering a calibration.");
    EXPECT_TRUE(resetOverAtNotice);
    EXPECT_EQ(requestsAtNotice, 0);
    EXPECT_EQ(tracker.requests(), QStringList{"startTrackingSession(false)"});
    app()->tracker = nullptr;
}

} // namespace
