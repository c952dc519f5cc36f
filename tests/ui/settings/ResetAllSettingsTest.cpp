// The reset of all settings that a first run and the reset button rely on.

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "core/SettingsDefaults.h"
#include "core/SettingsKeys.h"
#include "platform/Platform.h"
#include "tests/support/TestHome.h"
#include "ui/settings/SettingsWindow.h"

#include <QFile>
#include <QSet>
#include <QSettings>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace SettingKeys;

namespace {

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

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

TEST(ResetAllSettings, WritesTheResetDefaultsAndKeepsTheCamera)
{
    QFile::remove(AppFilePaths::settingsFile);
    app()->loadAllSettings();
    app()->setSettings({{DEFAULT_CAMERA, QStringLiteral("USB Camera: Front-1")},
                        {HK_ACTIVATE_CALIBRATE, 1},
                        {HK_KEYSEQ_CALIBRATE, QStringLiteral("Ctrl+F10")},
                        {MOUSE_SENSIVITY_X, 11}});
    app()->takeChangedSettings();

    SettingsWindow window;
    QSignalSpy changed(app(), &FacialDetectionApp::SettingsChanged);
    window.ResetAllSettings();
    EXPECT_FALSE(app()->resettingSettings);
    EXPECT_GE(changed.count(), 2);

    QSettings file(AppFilePaths::settingsFile, QSettings::IniFormat);
    for (const auto &batch : SettingsDefaults::batches())
        for (const auto &pair : batch)
            EXPECT_EQ(file.value(pair.first).toString(), pair.second.toString())
                << pair.first.toStdString();
    EXPECT_EQ(app()->getSetting(FIRST_RUN_ON_V3X).toInt(), 0);
    EXPECT_EQ(app()->getSetting(ADDITIONAL_ETSYS).toInt(), 10);
    EXPECT_EQ(app()->getSetting(BRIGHTNESS_LEVEL).toInt(), 0);
    EXPECT_EQ(app()->getSetting(HK_KEYSEQ_CALIBRATE).toString(), "Shift+Alt+F10");
    EXPECT_EQ(app()->getSetting(HK_ACTIVATE_CALIBRATE).toInt(), 0);
    EXPECT_EQ(app()->getSetting(DEFAULT_CAMERA).toString(), "USB Camera: Front-1");
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
}

} // namespace
