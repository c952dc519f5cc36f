// The settings store of the application object, on a real settings file in a temporary home.

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "core/SettingsDefaults.h"
#include "core/SettingsKeys.h"
#include "platform/Platform.h"
#include "platform/recording/CallLog.h"
#include "platform/recording/RecordingAutostart.h"
#include "tests/support/TestHome.h"

#include <QFile>
#include <QKeySequence>
#include <QSettings>
#include <QSignalSpy>
#include <QWidget>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace SettingKeys;

namespace {

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

QString fileValue(const char *key)
{
    QSettings file(AppFilePaths::settingsFile, QSettings::IniFormat);
    return file.value(key).toString();
}

int changedCount(const QList<SettingEntry> &entries)
{
    int n = 0;
    for (const SettingEntry &e : entries)
        n += e.changed ? 1 : 0;
    return n;
}

// Every test starts from a settings file holding the load defaults, with all marks cleared.
class SettingsStore : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(AppFilePaths::settingsFile);
        app()->loadAllSettings();
        app()->takeChangedSettings();
    }
};

TEST_F(SettingsStore, LoadingAMissingFileWritesEveryKeyWithItsDefault)
{
    QSettings file(AppFilePaths::settingsFile, QSettings::IniFormat);
    EXPECT_EQ(file.allKeys().size(), 179);
    EXPECT_EQ(file.value(HK_KEYSEQ_PLAYPAUSE).toString(), "Shift+Alt+F2");
    EXPECT_EQ(file.value(DEFAULT_CAMERA).toString(), "None");
    EXPECT_EQ(file.value(HHS_TIME).toInt(), 7000);
    EXPECT_EQ(app()->getSetting(BRIGHTNESS_LEVEL).toInt(), 40);
    EXPECT_EQ(app()->getSetting(FIRST_RUN_ON_V3X).toInt(), 1);
}

TEST_F(SettingsStore, ALoadMarksEveryEntryChangedAndTakingClearsTheMarks)
{
    app()->loadAllSettings();
    const QList<SettingEntry> first = app()->takeChangedSettings();
    EXPECT_EQ(first.size(), 179);
    EXPECT_EQ(changedCount(first), 179);
    // Ascending key order, so marked values are applied in a fixed order.
    for (int i = 1; i < first.size(); ++i)
        EXPECT_LT(first[i - 1].name, first[i].name);
    const QList<SettingEntry> second = app()->takeChangedSettings();
    EXPECT_EQ(second.size(), 179);
    EXPECT_EQ(changedCount(second), 0);
}

TEST_F(SettingsStore, AWriteReachesTheFileBeforeTheCallReturns)
{
    QSignalSpy changed(app(), &FacialDetectionApp::SettingsChanged);
    app()->setSetting(MOUSE_SENSIVITY_X, 9);
    EXPECT_EQ(fileValue(MOUSE_SENSIVITY_X), "9");
    EXPECT_EQ(app()->getSetting(MOUSE_SENSIVITY_X).toInt(), 9);
    EXPECT_EQ(changed.count(), 1);
    const QList<SettingEntry> entries = app()->takeChangedSettings();
    ASSERT_EQ(changedCount(entries), 1);
    for (const SettingEntry &e : entries) {
        if (e.changed) {
            EXPECT_EQ(e.name, MOUSE_SENSIVITY_X);
        }
    }
}

TEST_F(SettingsStore, EqualValuesAreIgnoredWhateverTheirType)
{
    QSignalSpy changed(app(), &FacialDetectionApp::SettingsChanged);
    // The file's text "5", the integer 5 and the text "5" are one value.
    app()->setSetting(MOUSE_SENSIVITY_X, 5);
    app()->setSetting(MOUSE_SENSIVITY_X, QStringLiteral("5"));
    // A switch stored as 1 equals true.
    app()->setSetting(CLICK_MODE, true);
    app()->setSetting(HK_KEYSEQ_TOGGLE_CLICKING,
                      QVariant::fromValue(QKeySequence(QStringLiteral("Shift+Alt+F1"))));
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(changedCount(app()->takeChangedSettings()), 0);
}

TEST_F(SettingsStore, UnknownKeysAreRefused)
{
    QSignalSpy changed(app(), &FacialDetectionApp::SettingsChanged);
    const QByteArray before = TestHome::readFile(AppFilePaths::settingsFile);
    app()->setSetting(QStringLiteral("NOT_A_SETTING"), 3);
    app()->setSettings({{QStringLiteral("ALSO_NOT_ONE"), 1}});
    EXPECT_FALSE(app()->getSetting(QStringLiteral("NOT_A_SETTING")).isValid());
    EXPECT_EQ(TestHome::readFile(AppFilePaths::settingsFile), before);
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(SettingsStore, SwitchesAreStoredAsNumbersWhateverTheCallerHandsOver)
{
    app()->setSetting(ACTIVATE_SMILE_DETECTION, true);
    EXPECT_EQ(fileValue(ACTIVATE_SMILE_DETECTION), "1");
    EXPECT_EQ(app()->getSetting(ACTIVATE_SMILE_DETECTION).toInt(), 1);
    app()->setSetting(ACTIVATE_SMILE_DETECTION, QStringLiteral("false"));
    EXPECT_EQ(fileValue(ACTIVATE_SMILE_DETECTION), "0");
}

TEST_F(SettingsStore, KeySequencesAreKeptInTheirTextForm)
{
    app()->setSetting(HK_KEYSEQ_RECENTER,
                      QVariant::fromValue(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_R)));
    EXPECT_EQ(app()->getSetting(HK_KEYSEQ_RECENTER).toString(), "Ctrl+Alt+R");
    EXPECT_EQ(fileValue(HK_KEYSEQ_RECENTER), "Ctrl+Alt+R");
}

TEST_F(SettingsStore, ABatchSignalsOnceEachWhenSomethingChanged)
{
    QSignalSpy changed(app(), &FacialDetectionApp::SettingsChanged);
    QSignalSpy clickOptions(app(), &FacialDetectionApp::ClickOptionsSettingsChanged);
    app()->setSettings({{CLICK_MODE, 1}, {MOTION_MODE, 0}, {HHS_TIME, 7000}});
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(clickOptions.count(), 1);
    EXPECT_EQ(fileValue(MOTION_MODE), "0");

    app()->setSettings({{CLICK_MODE, 1}, {MOTION_MODE, 0}});
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(clickOptions.count(), 1);
}

TEST_F(SettingsStore, OlderFilesWithTextSwitchesAndOddValuesLoad)
{
    TestHome::writeFile(AppFilePaths::settingsFile,
                        "[General]\nCLICK_MODE=true\nMOTION_MODE=false\nHHS_TIME=-250\n"
                        "DWELL_CLICK_TIME=99999999999999999999\nSMILE_THRESHOLD=\"70\"\n"
                        "UNKNOWN_KEY=4\n");
    app()->loadAllSettings();
    EXPECT_EQ(app()->getSetting(CLICK_MODE).toInt(), 1);
    EXPECT_EQ(app()->getSetting(MOTION_MODE).toInt(), 0);
    EXPECT_EQ(app()->getSetting(HHS_TIME).toInt(), -250);
    EXPECT_EQ(app()->getSetting(SMILE_THRESHOLD).toInt(), 70);
    // A number beyond any int is kept as the user wrote it, not silently rewritten.
    EXPECT_EQ(fileValue(DWELL_CLICK_TIME), "99999999999999999999");
    EXPECT_FALSE(app()->getSetting(QStringLiteral("UNKNOWN_KEY")).isValid());
    // Missing keys were added with their defaults.
    EXPECT_EQ(fileValue(HK_KEYSEQ_SMILEDWELL), "Shift+Alt+F11");
}

QStringList warningsSeen;
void keepWarning(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg)
        warningsSeen << message;
}

TEST_F(SettingsStore, FilesQtReadsWithAFormatErrorAreWrittenWithoutAFalseAlarm)
{
    for (const QByteArray &content :
         {QByteArray("\xef\xbb\xbf[General]\nCLICK_MODE=0\n"),
          QByteArray("[General\nCLICK_MODE=0\n[General]\nMOTION_MODE=1\n")}) {
        TestHome::writeFile(AppFilePaths::settingsFile, content);
        warningsSeen.clear();
        const QtMessageHandler previous = qInstallMessageHandler(keepWarning);
        app()->loadAllSettings();
        app()->setSetting(HHS_TIME, 4321);
        qInstallMessageHandler(previous);
        EXPECT_EQ(fileValue(HHS_TIME), "4321") << content.constData();
        EXPECT_TRUE(warningsSeen.filter(QStringLiteral("could not be written")).isEmpty())
            << warningsSeen.join('\n').toStdString();
    }
}

TEST_F(SettingsStore, AReceiverThatWritesBackDoesNotDeadlock)
{
    const auto connection = QObject::connect(app(), &FacialDetectionApp::SettingsChanged, [] {
        if (app()->getSetting(MOUSE_SENSIVITY_Y).toInt() != 7)
            app()->setSetting(MOUSE_SENSIVITY_Y, 7);
    });
    app()->setSetting(MOUSE_SENSIVITY_X, 8);
    QObject::disconnect(connection);
    EXPECT_EQ(app()->getSetting(MOUSE_SENSIVITY_Y).toInt(), 7);
}

TEST_F(SettingsStore, TwoThreadsHammeringTheStoreFinishConsistent)
{
    std::atomic<bool> go{false};
    std::thread worker([&] {
        while (!go)
            std::this_thread::yield();
        for (int i = 0; i < 200; ++i) {
            app()->takeChangedSettings();
            app()->getSetting(MOUSE_SENSIVITY_X);
            app()->setSetting(MOUSE_SENSIVITY_Y, i % 20);
        }
    });
    go = true;
    for (int i = 0; i < 200; ++i) {
        app()->setSetting(MOUSE_SENSIVITY_X, i % 20);
        app()->getSetting(MOUSE_SENSIVITY_Y);
    }
    worker.join();
    EXPECT_EQ(app()->getSetting(MOUSE_SENSIVITY_X).toInt(), 199 % 20);
    EXPECT_EQ(fileValue(MOUSE_SENSIVITY_X), QString::number(199 % 20));
    EXPECT_EQ(fileValue(MOUSE_SENSIVITY_Y), QString::number(199 % 20));
}

TEST_F(SettingsStore, GeometrySurvivesAndAnUnsavedWidgetKeepsItsOwn)
{
    QWidget saved;
    saved.setObjectName(QStringLiteral("SavedWindow"));
    saved.setGeometry(120, 130, 300, 200);
    app()->saveWidgetGeometry(&saved);

    QWidget restored;
    restored.setObjectName(QStringLiteral("SavedWindow"));
    app()->restoreWidgetGeometry(&restored);
    EXPECT_EQ(restored.size(), QSize(300, 200));

    QWidget never;
    never.setObjectName(QStringLiteral("NeverSaved"));
    never.resize(321, 123);
    app()->restoreWidgetGeometry(&never);
    EXPECT_EQ(never.size(), QSize(321, 123));
}

// --- Click-option resets -------------------------------------------------------------------

TEST_F(SettingsStore, SoftResetSwitchesAnUnlockedRightClickBackToLeft)
{
    app()->setSettings({{CLICK_OPTION_LEFT_CLICK, 0}, {CLICK_OPTION_RIGHT_CLICK, 1}});
    app()->ResetClickOptions_Softly();
    EXPECT_EQ(app()->getSetting(CLICK_OPTION_LEFT_CLICK).toInt(), 1);
    EXPECT_EQ(app()->getSetting(CLICK_OPTION_RIGHT_CLICK).toInt(), 0);
}

TEST_F(SettingsStore, SoftResetKeepsALockedDragAndResetsTheRest)
{
    app()->setSettings({{CLICK_OPTION_DRAG_MODE, 1},
                        {CLICK_OPTION_DRAG_MODE_LOCKED, 1},
                        {CLICK_OPTION_SCROLL_MODE, 1},
                        {CLICK_OPTION_LEFT_CLICK, 0},
                        {CLICK_OPTION_RIGHT_CLICK, 1}});
    app()->ResetClickOptions_Softly();
    EXPECT_EQ(app()->getSetting(CLICK_OPTION_DRAG_MODE).toInt(), 1);
    EXPECT_EQ(app()->getSetting(CLICK_OPTION_DRAG_MODE_LOCKED).toInt(), 1);
    EXPECT_EQ(app()->getSetting(CLICK_OPTION_SCROLL_MODE).toInt(), 0);
    EXPECT_EQ(app()->getSetting(CLICK_OPTION_LEFT_CLICK).toInt(), 1);
}

TEST_F(SettingsStore, SoftResetWithEverythingLockedWritesNothing)
{
    app()->setSettings({{CLICK_OPTION_LEFT_CLICK_LOCKED, 1},
                        {CLICK_OPTION_TIMES2_MODE, 1},
                        {CLICK_OPTION_TIMES2_MODE_LOCKED, 1},
                        {CLICK_OPTION_SCROLL_MODE, 1},
                        {CLICK_OPTION_SCROLL_MODE_LOCKED, 1}});
    QSignalSpy changed(app(), &FacialDetectionApp::SettingsChanged);
    QSignalSpy clickOptions(app(), &FacialDetectionApp::ClickOptionsSettingsChanged);
    const QByteArray before = TestHome::readFile(AppFilePaths::settingsFile);
    app()->ResetClickOptions_Softly();
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(clickOptions.count(), 0);
    EXPECT_EQ(TestHome::readFile(AppFilePaths::settingsFile), before);
}

TEST_F(SettingsStore, SoftResetOnDefaultsSignalsTheClickOptionsWindowOnce)
{
    QSignalSpy changed(app(), &FacialDetectionApp::SettingsChanged);
    QSignalSpy clickOptions(app(), &FacialDetectionApp::ClickOptionsSettingsChanged);
    app()->ResetClickOptions_Softly();
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(clickOptions.count(), 1);
}

TEST_F(SettingsStore, HardResetUnlocksEverythingInOneBatch)
{
    app()->setSettings({{CLICK_OPTION_LEFT_CLICK, 0},
                        {CLICK_OPTION_RIGHT_CLICK, 1},
                        {CLICK_OPTION_RIGHT_CLICK_LOCKED, 1},
                        {CLICK_OPTION_DRAG_MODE, 1},
                        {CLICK_OPTION_DRAG_MODE_LOCKED, 1},
                        {CLICK_OPTION_CLICKING_ACTIVE, 0}});
    QSignalSpy changed(app(), &FacialDetectionApp::SettingsChanged);
    QSignalSpy clickOptions(app(), &FacialDetectionApp::ClickOptionsSettingsChanged);
    app()->ResetClickOptions_Hard();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(clickOptions.count(), 1);
    EXPECT_EQ(fileValue(CLICK_OPTION_LEFT_CLICK), "1");
    EXPECT_EQ(fileValue(CLICK_OPTION_RIGHT_CLICK_LOCKED), "0");
    EXPECT_EQ(fileValue(CLICK_OPTION_DRAG_MODE_LOCKED), "0");
    // Pausing is not a click option.
    EXPECT_EQ(fileValue(CLICK_OPTION_CLICKING_ACTIVE), "0");
}

// --- Application-wide flags and services ------------------------------------------------------

TEST(ApplicationObject, ExternalMotionKeepsItsTimeWhenCleared)
{
    app()->setExternalMotion(true, 1234);
    EXPECT_EQ(app()->externalMotionTime(), 1234);
    app()->setExternalMotion(false, 9999);
    EXPECT_EQ(app()->externalMotionTime(), 1234);
}

TEST(ApplicationObject, PointerOverEitherClickWindowCountsAsOwnWindow)
{
    EXPECT_FALSE(app()->isPointerOverOwnWindow());
    app()->setPointerOverClickPause(true);
    EXPECT_TRUE(app()->isPointerOverOwnWindow());
    app()->setPointerOverClickPause(false);
    app()->setPointerOverClickOptions(true);
    EXPECT_TRUE(app()->isPointerOverOwnWindow());
    app()->setPointerOverClickOptions(false);
}

TEST(ApplicationObject, StartAutomaticallyCreatesTheEntryOnceAndRemovesIt)
{
    platform::RecordingAutostart &autostart = platform::recordingAutostart();
    autostart.reset();
    app()->onStartAutomaticallyChanged(true);
    EXPECT_TRUE(autostart.enabled());
    EXPECT_EQ(autostart.programPath(), QCoreApplication::applicationFilePath());
    const int enables = platform::recordingLog().count("autostart", "enable");
    app()->onStartAutomaticallyChanged(true);
    EXPECT_EQ(platform::recordingLog().count("autostart", "enable"), enables);
    app()->onStartAutomaticallyChanged(false);
    EXPECT_FALSE(autostart.enabled());
}

TEST(ApplicationObject, ClickOptionsWarningsReportWhetherTheyAreShown)
{
    emit app()->showAutoCenter();
    EXPECT_TRUE(app()->oswAutoCenterShown);
    emit app()->hideAutoCenter();
    EXPECT_FALSE(app()->oswAutoCenterShown);
    emit app()->showExternalMouseMoveDetected();
    EXPECT_TRUE(app()->oswExternalMouseMoveShown);
    emit app()->hideExternalMouseMoveDetected();
    EXPECT_FALSE(app()->oswExternalMouseMoveShown);
}

} // namespace
