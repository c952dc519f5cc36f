// The settings window's global hotkeys and live gesture levels: every combination registered
// from the start, a key press from the desktop carrying out its command only while the store
// has it switched on, combinations that follow the store and the Update buttons without ever
// losing a working one, and the worker's levels on the sliders and group boxes.
//
// Key presses come as the desktop's key-grab service would deliver them, through the
// registry's event filter; the recording service keeps the grabs.

#include "core/FacialDetectionApp.h"
#include "core/SettingsKeys.h"
#include "feedback/MessageWidget.h"
#include "hotkeys/QHotkeyPrivate.h"
#include "platform/recording/RecordingKeyGrabs.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/ui/settings/SettingsWindowFixture.h"
#include "tests/ui/settings/SettingsWindowTestSupport.h"
#include "ui/settings/GlobalHotkeys.h"
#include "ui/settings/RealtimeAnimatedSlider.h"
#include "ui/settings/SettingsWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>
#include <thread>

using namespace SettingKeys;
using Command = GlobalHotkeys::Command;

namespace {

// The recording service's form of a combination: the Qt key and the Qt modifier bits.
struct Combination
{
    quint32 key, modifiers;
    explicit Combination(const QString &text)
    {
        const int chord = QKeySequence::fromString(text, QKeySequence::PortableText)[0];
        key = quint32(chord & ~Qt::KeyboardModifierMask);
        modifiers = quint32(chord & Qt::KeyboardModifierMask);
    }
};

bool grabbed(const QString &text)
{
    const Combination c(text);
    return platform::recordingKeyGrabs().isGrabbed(c.key, c.modifiers);
}

void takenElsewhere(const QString &text)
{
    const Combination c(text);
    platform::recordingKeyGrabs().setTakenElsewhere(c.key, c.modifiers);
}

// Pressed and let go on the desktop; the command runs in this thread's next pass.
void press(const QString &text)
{
    const Combination c(text);
    for (auto kind : {platform::KeyGrabs::KeyEvent::Press, platform::KeyGrabs::KeyEvent::Release}) {
        platform::RecordingKeyGrabs::Event event{kind, c.key, c.modifiers};
        QHotkeyPrivate::instance()->nativeEventFilter(platform::RecordingKeyGrabs::kEventType,
                                                      &event, nullptr);
    }
    QCoreApplication::sendPostedEvents();
}

QString stored(const char *key)
{
    return app()->getSetting(QString::fromLatin1(key)).toString();
}

template<typename T> QList<T *> visibleWindows()
{
    QList<T *> found;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<T *>(widget); window && window->isVisible())
            found << window;
    return found;
}

QStringList toastTexts()
{
    QStringList texts;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *toast = dynamic_cast<MessageWidget *>(widget); toast && toast->isVisible())
            texts << toast->label()->text();
    return texts;
}

void closeToasts()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (dynamic_cast<MessageWidget *>(widget))
            delete widget;
}

// The texts of the reports about hotkeys now on screen; they are closed.
QStringList takeReports()
{
    QStringList texts;
    for (QMessageBox *box : visibleWindows<QMessageBox>()) {
        if (box->windowTitle() != QLatin1String("Hotkeys"))
            continue;
        texts << box->text();
        box->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return texts;
}

class SettingsWindowHotkeys : public SettingsWindowFixture
{
protected:
    void SetUp() override
    {
        SettingsWindowFixture::SetUp();
        platform::recordingKeyGrabs().reset();
    }
    void TearDown() override
    {
        settings.reset();
        takeReports();
        app()->tracker = nullptr;
        app()->setClickingActive(true);
        closeToasts(); // last: a hotkey still queued may show one while the others run events
    }
};

TEST(HotkeyToastTime, NothingForZeroSecondsUpToTenMillisecondsAbove)
{
    const struct
    {
        int stored, ms;
    } cases[] = {{-1, 0}, {0, 0}, {1, 1000}, {2, 2000}, {10, 10000}, {11, 11}, {500, 500}};
    for (const auto &c : cases)
        EXPECT_EQ(GlobalHotkeys::toastTimeMs(c.stored), c.ms) << c.stored;
}

TEST_F(SettingsWindowHotkeys,
       EveryCombinationIsGrabbedAndATakenOneOfACommandSwitchedOnIsReportedOnce)
{
    app()->setSetting(HK_ACTIVATE_PLAYPAUSE, 1);
    takenElsewhere("Shift+Alt+F2");
    takenElsewhere("Shift+Alt+F3");
    window();
    for (int f = 1; f <= 11; ++f)
        EXPECT_EQ(grabbed(QStringLiteral("Shift+Alt+F%1").arg(f)), f != 2 && f != 3) << f;
    QStringList reports = takeReports();
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains("Shift+Alt+F2 for \"Play <> Temporarily Stop Tovra Mouse\""))
        << reports[0].toStdString();
    EXPECT_FALSE(reports[0].contains("F3"));

    // Switched on later, the command tries again, and says so once.
    auto *clickOpts = widget<QCheckBox>("checkHkClickOpts");
    clickOpts->click();
    reports = takeReports();
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains("Shift+Alt+F3 for \"Show <> Hide Click Opts Window\""));
    clickOpts->click();
    clickOpts->click();
    EXPECT_EQ(stored(HK_ACTIVATE_CLICKOPTS), "1");
    EXPECT_TRUE(takeReports().isEmpty());
}

TEST_F(SettingsWindowHotkeys, CombinationsFromTheStoreAreGrabbedAndOneThatCannotBeKeepsTheOld)
{
    window();
    takenElsewhere("Ctrl+F10");
    // As a restore loads them.
    app()->setSettings({{HK_KEYSEQ_RECENTER, QStringLiteral("Ctrl+F9")},
                        {HK_KEYSEQ_CALIBRATE, QStringLiteral("Ctrl+F10")},
                        {HK_KEYSEQ_SMILEDWELL, QString()}});
    EXPECT_TRUE(grabbed("Ctrl+F9"));
    EXPECT_FALSE(grabbed("Shift+Alt+F9"));
    EXPECT_FALSE(grabbed("Shift+Alt+F11"));
    EXPECT_EQ(stored(HK_KEYSEQ_SMILEDWELL), "");

    EXPECT_TRUE(grabbed("Shift+Alt+F10"));
    EXPECT_EQ(stored(HK_KEYSEQ_CALIBRATE), "Shift+Alt+F10");
    EXPECT_EQ(widget<QKeySequenceEdit>("keyseqHkCalibrate")->keySequence(),
              QKeySequence("Shift+Alt+F10"));
    const QStringList reports = takeReports();
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains("\"Calibrate\" stays Shift+Alt+F10 (not Ctrl+F10)"))
        << reports[0].toStdString();
}

TEST_F(SettingsWindowHotkeys, UpdateRegistersAndStoresTheEditorsCombinationOrKeepsTheOldOne)
{
    auto *editor = widget<QKeySequenceEdit>("keyseqHkRecenter");
    auto *update = widget<QPushButton>("buttonHkRecenter");
    editor->setKeySequence(QKeySequence("Ctrl+F9"));
    update->click();
    EXPECT_TRUE(grabbed("Ctrl+F9"));
    EXPECT_FALSE(grabbed("Shift+Alt+F9"));
    EXPECT_EQ(stored(HK_KEYSEQ_RECENTER), "Ctrl+F9");

    takenElsewhere("Ctrl+F8");
    DialogAnswerer answerer;
    answerer.enqueue(DialogAnswerer::pressButton("OK"));
    editor->setKeySequence(QKeySequence("Ctrl+F8"));
    update->click();
    EXPECT_EQ(answerer.titles(), QStringList{"Change Hotkey 1"});
    EXPECT_EQ(
        answerer.texts(),
        QStringList{"*** Failed to change HotKey 1 from Ctrl+F9 to Ctrl+F8 *** (already in use?)"});
    EXPECT_TRUE(grabbed("Ctrl+F9"));
    EXPECT_EQ(stored(HK_KEYSEQ_RECENTER), "Ctrl+F9");
    EXPECT_EQ(editor->keySequence(), QKeySequence("Ctrl+F9"));
}

// One row per command: what a press changes, and its toast.
struct CommandCase
{
    const char *name;
    Command command;
    std::function<void()> arrange;
    std::function<QString()> observe;
    QString expected;
    QString toast;
};

TEST_F(SettingsWindowHotkeys, EachHotkeyCarriesOutItsCommandOnlyWhileTheStoreHasItSwitchedOn)
{
    SessionRecorder tracker;
    app()->tracker = &tracker;
    SettingsWindow &w = window();
    QSignalSpy playToggles(app(), &FacialDetectionApp::togglePlayButton);
    QSignalSpy modeToggles(app(), &FacialDetectionApp::toggleSmileDwell);
    QSignalSpy visibilityToggles(&w, &SettingsWindow::toggleMainWindowVisibility);
    int requestsBefore = 0;
    const auto newRequests = [&] { return tracker.requests().mid(requestsBefore).join(','); };
    const auto countRequests = [&] { requestsBefore = tracker.requests().size(); };
    const auto sensitivity = [](const char *key, int value) {
        return [key, value] { app()->setSetting(QString::fromLatin1(key), value); };
    };
    const auto storedText = [](const char *key) { return [key] { return stored(key); }; };

    const CommandCase cases[] = {
        {"toggle clicking", TrackingParameters::ToggleClicking,
         [] { app()->setClickingActive(true); },
         [] {
             return stored(CLICK_OPTION_CLICKING_ACTIVE) + QString::number(app()->clickingActive);
         },
         "00", "Clicking deactivated..."},
        {"play/pause while running", TrackingParameters::PlayPause,
         [&] {
             tracker.setPaused(false);
             playToggles.clear();
         },
         [&] { return QString::number(playToggles.count()); }, "1",
         "Temporarily Stop Tovra Mouse...."},
        {"play/pause while stopped", TrackingParameters::PlayPause,
         [&] {
             tracker.setPaused(true);
             playToggles.clear();
         },
         [&] { return QString::number(playToggles.count()); }, "1",
         "Starting Tovra Mouse Processing!"},
        {"click options", TrackingParameters::ClickOpts, [&] { w.clickOptionsWindow.showNormal(); },
         [&] { return QString::number(w.clickOptionsWindow.isMinimized()); }, "1", QString()},
        {"main window", TrackingParameters::MainWindow, [&] { visibilityToggles.clear(); },
         [&] { return QString::number(visibilityToggles.count()); }, "1", QString()},
        {"x faster", TrackingParameters::MouseXIncrease, sensitivity(MOUSE_SENSIVITY_X, 5),
         storedText(MOUSE_SENSIVITY_X), "6", QString()},
        {"x slower", TrackingParameters::MouseXDecrease, sensitivity(MOUSE_SENSIVITY_X, 5),
         storedText(MOUSE_SENSIVITY_X), "4", QString()},
        {"y faster", TrackingParameters::MouseYIncrease, sensitivity(MOUSE_SENSIVITY_Y, 5),
         storedText(MOUSE_SENSIVITY_Y), "6", QString()},
        {"y slower", TrackingParameters::MouseYDecrease, sensitivity(MOUSE_SENSIVITY_Y, 5),
         storedText(MOUSE_SENSIVITY_Y), "4", QString()},
        {"x faster at the top", TrackingParameters::MouseXIncrease,
         sensitivity(MOUSE_SENSIVITY_X, 10), storedText(MOUSE_SENSIVITY_X), "10", QString()},
        {"recentre", TrackingParameters::Recenter, countRequests, newRequests, "recenterPointer()",
         QString()},
        {"calibrate", TrackingParameters::Calibrate, countRequests, newRequests,
         "startTrackingSession(false)", QString()},
        {"smile or dwell", TrackingParameters::SmileDwell, [&] { modeToggles.clear(); },
         [&] { return QString::number(modeToggles.count()); }, "1", QString()},
    };
    for (const CommandCase &c : cases) {
        SCOPED_TRACE(c.name);
        const QString enable = QString::fromLatin1(GlobalHotkeys::keysOf(c.command).enable);
        const QString combination = stored(GlobalHotkeys::keysOf(c.command).sequence);
        c.arrange();
        closeToasts();
        // Only the store switches a command on: no tracker applies the settings here.
        app()->setSetting(enable, 0);
        press(combination);
        app()->setSetting(enable, 1);
        press(combination);
        // A press while switched off would show twice here, or undo the one switched on.
        EXPECT_TRUE(QTest::qWaitFor([&] { return c.observe() == c.expected; }, 5000))
            << c.observe().toStdString();
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(toastTexts(), c.toast.isEmpty() ? QStringList() : QStringList{c.toast});
        app()->setSetting(enable, 0);
    }
}

TEST_F(SettingsWindowHotkeys, LiveLevelsFromTheWorkerReachTheirSlidersAndGroupBoxes)
{
    SessionRecorder tracker;
    app()->tracker = &tracker;
    const QPair<QString, const char *> sliders[] = {
        {"Smile-TH", "SmileThresholdSlider"},
        {"Smile-MinDur", "SmileMinDurSlider"},
        {"Blink-TH", "BlinkThresholdSlider"},
        {"Blink-MinDur", "BlinkMinDurSlider"},
        {"Blink-Throttle", "BlinkThrottleTimeSlider"},
        {"Blink-MaxDur", "BlinkMaxDurSlider"},
        {"Ebr-TH", "EbrThresholdSlider"},
        {"Ebr-MinDur", "EbrMinDurSlider"},
        {"Mo-TH", "MoThresholdSlider"},
        {"Mo-MinDur", "MoMinDurSlider"},
        {"Mo-Throttle", "MoThrottleTimeSlider"},
        {"HHS-TH", "HHSThresholdSlider"},
        {"HHS-MinDur", "HHSMinDurSlider"},
        {"DwellParkTH", "dwellParkThresholdSlider"},
        {"DwellParkTime", "dwellParkTimeSlider"},
        {"EscapeVelocity", "escapeVelocitySlider"},
        {"TremorControl", "tremorControlSlider"},
    };
    const QPair<QString, const char *> boxes[] = {
        {"Smile", "groupBox_Smile"},
        {"Blink", "groupBox_SlowBlink"},
        {"Ebr", "groupBox_EyebrowRaise"},
        {"Mo", "groupBox_MouthOpen"},
        {"HHS", "groupBox_HoldHeadSteady"},
        {"DwellParkThreshold", "groupBox_DwellParkThreshold"},
        {"DwellParkTime", "groupBox_DwellParkTime"},
    };
    QList<QPair<QString, int>> levels;
    for (const auto &row : sliders) {
        auto *slider = widget<RealtimeAnimatedSlider>(row.second);
        ASSERT_NE(slider, nullptr) << row.second;
        levels.append({row.first, slider->maximum()});
    }
    std::thread worker([&] {
        // Names sent to the wrong signal, or to none, change nothing.
        emit tracker.expressionStateChanged(QStringLiteral("Smile-TH"), true);
        emit tracker.expressionIntensityChanged(QStringLiteral("Smile"), 1, false, false, false);
        for (const auto &level : levels)
            emit tracker.expressionIntensityChanged(level.first, level.second, false, true, false);
        for (const auto &row : boxes)
            emit tracker.expressionStateChanged(row.first, true);
        emit tracker.expressionStateChanged(QStringLiteral("DwellParkTime"), false);
    });
    worker.join();
    QCoreApplication::sendPostedEvents();

    for (const auto &row : sliders) {
        auto *slider = widget<RealtimeAnimatedSlider>(row.second);
        EXPECT_EQ(slider->realtimeValue(), slider->maximum()) << row.second;
        EXPECT_TRUE(slider->colorGray()) << row.second;
    }
    for (const auto &row : boxes) {
        const QString sheet = widget<QGroupBox>(row.second)->styleSheet();
        if (row.first == QLatin1String("DwellParkTime")) {
            EXPECT_EQ(sheet, QString()) << row.second;
        } else {
            EXPECT_EQ(sheet.size(), 241) << row.second;
            EXPECT_TRUE(sheet.contains("background-color: #E6F4EA;")) << row.second;
        }
    }
}

} // namespace
