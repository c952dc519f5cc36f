// The main window driven as the user drives it: the mode buttons with their questions,
// Play and Temp. Stop, Calibrate, the preview, the hotkey slots and the first-run placement.
// The worker is a FakeTracker: what the window asks of it arrives on its thread, in order.

#include "ui/MainWindow.h"
#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "core/SettingsKeys.h"
#include "core/WindowFit.h"
#include "engine/SystemCursorReplacement.h"
#include "engine/TrackingParameters.h"
#include "feedback/NotificationWidget.h"
#include "feedback/StateNotifier.h"
#include "platform/InputSynthesis.h"
#include "platform/Platform.h"
#include "platform/recording/CallLog.h"
#include "platform/recording/RecordingPointerScreens.h"
#include "platform/recording/RecordingProcess.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/Patience.h"
#include "tests/ui/FakeTracker.h"
#include "ui/QFixedAspectLabel.h"
#include "ui/QPreviewWindow.h"

#include <QFile>
#include <QFrame>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace SettingKeys;

namespace {

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

int setting(const char *key)
{
    return app()->getSetting(key).toInt();
}

const char StopQuestion[] =
    "Are you sure you want to temporarily stop all Tovra Mouse functions?\n\nOnce stopped, you "
    "will not be able to restart Tovra Mouse processing without using a physical mouse or "
    "touchpad.";
const char QuitQuestion[] = "Are you sure you want to quit?           ";
const char SmileQuestion[] = "Choosing this Motion Mode will activate Smile detection and map "
                             "your Smile to Left Click.\n\nAre you sure you would like to proceed?";

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(AppFilePaths::settingsFile);
        app()->loadAllSettings();
        app()->setSetting(FIRST_RUN_EVER, 0);
        platform::installRecording();
        clickOptionState = ClickOptionState{};
        tracker = std::make_unique<FakeTracker>();
        app()->tracker = tracker.get();
        tracker->Start();
    }

    void TearDown() override
    {
        app()->tracker = nullptr;
        tracker.reset();
    }

    std::unique_ptr<MainWindow> makeWindow()
    {
        auto window = std::make_unique<MainWindow>();
        QObject::connect(window.get(), &MainWindow::MainWindowClosing, tracker.get(),
                         &FakeTracker::onWindowClosing);
        return window;
    }

    template<typename T = QPushButton> static T *child(QWidget *parent, const char *name)
    {
        T *found = parent->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // Every request the window queued so far has reached the worker once this returns: the
    // marker queued behind them has. (A count of all requests stops early on a slow worker,
    // at a request of the window's still on its way.) The window never asks for a recentre.
    QStringList requestsSoFar()
    {
        const QString marker = QStringLiteral("recenterPointer");
        const int before = tracker->requests().count(marker);
        QMetaObject::invokeMethod(tracker.get(), "recenterPointer", Qt::QueuedConnection);
        EXPECT_TRUE(tracker->waitForRequests(marker, before + 1));
        QStringList seen = tracker->requests();
        seen.removeAt(seen.lastIndexOf(marker));
        return seen;
    }

    std::unique_ptr<FakeTracker> tracker;
};

TEST_F(MainWindowTest, StartsRunningWithTheStoredModes)
{
    app()->setSettings({{CLICK_MODE, 1}, {MOTION_MODE, 1}});
    tracker->setPaused(true);
    auto window = makeWindow();
    EXPECT_TRUE(child(window.get(), "dwellClickButton")->isChecked());
    EXPECT_TRUE(child(window.get(), "motionAlwaysButton")->isChecked());
    EXPECT_TRUE(child(window.get(), "playButton")->isChecked());
    EXPECT_FALSE(tracker->isPaused());
    EXPECT_TRUE(child<QFrame>(window.get(), "settingsFrame")->isVisibleTo(window.get()));
}

TEST_F(MainWindowTest, UnknownModesCheckNeitherButtonUntilTheNextChange)
{
    app()->setSettings({{CLICK_MODE, 2}, {MOTION_MODE, 2}});
    auto window = makeWindow();
    for (const char *name :
         {"faceClickButton", "dwellClickButton", "motionWithSmileButton", "motionAlwaysButton"})
        EXPECT_FALSE(child(window.get(), name)->isChecked()) << name;
    app()->setSetting(CALIBRATE_REQUESTED, 1);
    EXPECT_TRUE(child(window.get(), "dwellClickButton")->isChecked());
    EXPECT_TRUE(child(window.get(), "motionAlwaysButton")->isChecked());
}

TEST_F(MainWindowTest, TheRefreshFollowsTheStoreUnderItsGuard)
{
    auto window = makeWindow();
    QList<bool> guardDuringRefresh;
    QObject::connect(child(window.get(), "faceClickButton"), &QPushButton::toggled,
                     [&](bool) { guardDuringRefresh << app()->mainWindowUpdating; });
    app()->setSetting(CLICK_MODE, 0);
    EXPECT_TRUE(child(window.get(), "faceClickButton")->isChecked());
    app()->setSetting(CLICK_MODE, 1);
    EXPECT_TRUE(child(window.get(), "dwellClickButton")->isChecked());
    EXPECT_EQ(guardDuringRefresh, (QList<bool>{true, true}));
    EXPECT_FALSE(app()->mainWindowUpdating);

    // A change stored on the worker thread reaches the buttons through the event queue.
    QMetaObject::invokeMethod(
        tracker.get(), [] { app()->setSetting(MOTION_MODE, 0); }, Qt::QueuedConnection);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return child(window.get(), "motionWithSmileButton")->isChecked(); }, 5000));
}

TEST_F(MainWindowTest, FullScreenModeFoldsThePanelAwayAndIsRemembered)
{
    app()->setSetting(FULL_SCREEN_MODE_ON, 1);
    auto window = makeWindow();
    window->show();
    auto *fold = child(window.get(), "showHideButton");
    auto *panel = child<QFrame>(window.get(), "settingsFrame");
    EXPECT_TRUE(fold->isChecked());
    EXPECT_FALSE(panel->isVisible());
    fold->click();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(setting(FULL_SCREEN_MODE_ON), 0);
    fold->click();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(setting(FULL_SCREEN_MODE_ON), 1);
}

TEST_F(MainWindowTest, PointerImagesStartInvisibleAndFollowTheTracker)
{
    auto window = makeWindow();
    struct Expected
    {
        StateNotifier *notifier;
        QPoint delta;
        QSize size;
        bool keepOnScreen;
    };
    const Expected expected[] = {{&MotionSN, {-100, -100}, {200, 200}, false},
                                 {&FaceSN, {33, 33}, {25, 25}, true},
                                 {&SmileSN, {63, 33}, {10, 25}, true},
                                 {&ScrollSN, {0, 0}, {25, 25}, true}};
    for (const Expected &e : expected) {
        NotificationWidget *widget = e.notifier->widget();
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->imagePath(), "invisible.png");
        EXPECT_EQ(widget->delta(), e.delta);
        EXPECT_EQ(widget->size(), e.size);
        EXPECT_EQ(widget->keepsOnScreen(), e.keepOnScreen);
    }
    // Sent from the worker thread, as the frame loop sends them.
    QMetaObject::invokeMethod(
        tracker.get(),
        [t = tracker.get()] {
            emit t->FaceSN_SetImagePath("faceGreen.png");
            emit t->SmileSN_SetImagePath("Smile2.png");
            emit t->ScrollSN_SetImagePath("ScrollUp200.png");
            emit t->MotionSN_SetImagePath("d20.png");
        },
        Qt::QueuedConnection);
    EXPECT_TRUE(QTest::qWaitFor(
        [] { return MotionSN.widget()->imagePath() == QLatin1String("d20.png"); }, 5000));
    EXPECT_EQ(FaceSN.widget()->imagePath(), "faceGreen.png");
    EXPECT_EQ(SmileSN.widget()->imagePath(), "Smile2.png");
    EXPECT_EQ(ScrollSN.widget()->imagePath(), "ScrollUp200.png");
}

TEST_F(MainWindowTest, ThePreviewShowsTheFramesTheWorkerSends)
{
    auto window = makeWindow();
    window->show();
    QFixedAspectLabel *label = window->findChild<QPreviewWindow *>("previewFrame")->renderFrame();
    QMetaObject::invokeMethod(
        tracker.get(),
        [t = tracker.get()] {
            emit t->ShowProcessedImage(cv::Mat(120, 160, CV_8UC3, cv::Scalar(0, 200, 0)));
        },
        Qt::QueuedConnection);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !label->imageTargetRect(QSize(160, 120)).isEmpty(); }, 5000));
    const QImage shown = label->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(shown.width() / 2, shown.height() / 2)), QColor(0, 200, 0));
}

TEST_F(MainWindowTest, ADoubleClickOnThePreviewTurnsFillAndCropOff)
{
    app()->setSetting(ENABLE_PAN_SCAN, 1);
    auto window = makeWindow();
    auto *preview = window->findChild<QPreviewWindow *>("previewFrame");
    EXPECT_TRUE(preview->renderFrame()->panScan());
    emit preview->onDoubleClick();
    EXPECT_EQ(setting(ENABLE_PAN_SCAN), 0);
    EXPECT_FALSE(preview->renderFrame()->panScan());
    // Turning it on again is the settings window's business.
    emit preview->onDoubleClick();
    EXPECT_EQ(setting(ENABLE_PAN_SCAN), 0);
}

TEST_F(MainWindowTest, DwellIsRefusedWhileThePointerMovesOnlyWithASmile)
{
    app()->setSettings({{CLICK_MODE, 0}, {MOTION_MODE, 0}});
    auto window = makeWindow();
    DialogAnswerer answerer;
    child(window.get(), "dwellClickButton")->click();
    ASSERT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(answerer.texts().at(0).contains("Mouse Motion Mode of \"With Smile\""));
    EXPECT_EQ(answerer.titles().at(0), window->windowTitle());
    EXPECT_TRUE(child(window.get(), "faceClickButton")->isChecked());
    EXPECT_EQ(setting(CLICK_MODE), 0);
    EXPECT_TRUE(requestsSoFar().isEmpty());
}

TEST_F(MainWindowTest, DwellStoresTheModeUnmapsAButtonSmileAndResetsOnTheWorker)
{
    app()->setSettings({{CLICK_MODE, 0}, {MOTION_MODE, 1}, {FEMAP_INDEX_SMILE, 2}});
    auto window = makeWindow();
    DialogAnswerer answerer;
    child(window.get(), "dwellClickButton")->click();
    EXPECT_TRUE(answerer.titles().isEmpty());
    EXPECT_EQ(setting(CLICK_MODE), 1);
    EXPECT_EQ(setting(FEMAP_INDEX_SMILE), 0);
    // Cursors first, then the gesture state; no tracking session for dwell.
    EXPECT_EQ(requestsSoFar(), (QStringList{"restoreSystemCursors", "resetGestureState"}));

    // A smile mapped to a key keeps its mapping, whatever the tracker's stale copy says.
    app()->setSettings({{CLICK_MODE, 0}, {FEMAP_INDEX_SMILE, 3}});
    trackingParameters.FEMAP_INDEX_SMILE = 1;
    ASSERT_TRUE(child(window.get(), "faceClickButton")->isChecked());
    child(window.get(), "dwellClickButton")->click();
    EXPECT_EQ(setting(FEMAP_INDEX_SMILE), 3);
}

TEST_F(MainWindowTest, SmileStoresItsSettingsAndStartsOneSessionPerRun)
{
    // A worker slow to carry out requests (as under a sanitizer) still starts one session.
    tracker->setRequestTime(100);
    app()->setSettings(
        {{CLICK_MODE, 1}, {MOTION_MODE, 1}, {ACTIVATE_SMILE_DETECTION, 0}, {FEMAP_INDEX_SMILE, 0}});
    auto window = makeWindow();
    auto *smile = child(window.get(), "faceClickButton");
    smile->click();
    smile->click();
    EXPECT_EQ(setting(CLICK_MODE), 0);
    EXPECT_EQ(setting(ACTIVATE_SMILE_DETECTION), 1);
    EXPECT_EQ(setting(FEMAP_INDEX_SMILE), 1);
    EXPECT_TRUE(smile->isChecked());
    EXPECT_EQ(requestsSoFar(), QStringList{"startTrackingSession(true)"});
    EXPECT_EQ(clickOptionState.trackingSessionStarted, 1);

    // The hotkey goes to Dwell and back; Smile chosen again starts no second session.
    window->onToggleSmileDwell();
    EXPECT_EQ(setting(CLICK_MODE), 1);
    window->onToggleSmileDwell();
    EXPECT_EQ(setting(CLICK_MODE), 0);
    EXPECT_EQ(requestsSoFar().count("startTrackingSession(true)"), 1);
}

TEST_F(MainWindowTest, SmileAfterAFinishedCalibrationStartsNoSession)
{
    clickOptionState.trackingSessionStarted = 1;
    app()->setSettings({{CLICK_MODE, 1}, {MOTION_MODE, 1}});
    auto window = makeWindow();
    child(window.get(), "faceClickButton")->click();
    EXPECT_EQ(setting(CLICK_MODE), 0);
    EXPECT_TRUE(requestsSoFar().isEmpty());
}

TEST_F(MainWindowTest, WithSmileIsRefusedInDwellModeAndHidesTheMotionImage)
{
    app()->setSettings({{CLICK_MODE, 1}, {MOTION_MODE, 1}});
    auto window = makeWindow();
    MotionSN.OnSN_SetImagePath("d20.png");
    DialogAnswerer answerer;
    child(window.get(), "motionWithSmileButton")->click();
    ASSERT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(answerer.texts().at(0).contains("Please set the Click Mode to \"Smile\""));
    EXPECT_TRUE(child(window.get(), "motionAlwaysButton")->isChecked());
    EXPECT_EQ(setting(MOTION_MODE), 1);
    EXPECT_EQ(MotionSN.widget()->imagePath(), "invisible.png");
}

TEST_F(MainWindowTest, WithSmileAsksBeforeItMapsTheSmileToTheLeftButton)
{
    app()->setSettings({{CLICK_MODE, 0}, {MOTION_MODE, 1}, {ACTIVATE_SMILE_DETECTION, 0}});
    // The tracker's copies are stale while processing is stopped: the store decides.
    trackingParameters.ACTIVATE_SMILE_DETECTION = true;
    trackingParameters.FEMAP_INDEX_SMILE = 1;
    auto window = makeWindow();
    auto *withSmile = child(window.get(), "motionWithSmileButton");
    DialogAnswerer answerer;
    answerer.enqueue(DialogAnswerer::pressButton("No"));
    answerer.enqueue(DialogAnswerer::pressButton("Yes"));

    withSmile->click();
    ASSERT_EQ(answerer.texts(), QStringList{SmileQuestion});
    EXPECT_TRUE(child(window.get(), "motionAlwaysButton")->isChecked());
    EXPECT_EQ(setting(MOTION_MODE), 1);
    EXPECT_EQ(setting(ACTIVATE_SMILE_DETECTION), 0);

    withSmile->click();
    EXPECT_EQ(answerer.texts().size(), 2);
    EXPECT_TRUE(withSmile->isChecked());
    EXPECT_EQ(setting(MOTION_MODE), 0);
    EXPECT_EQ(setting(ACTIVATE_SMILE_DETECTION), 1);
    EXPECT_EQ(setting(FEMAP_INDEX_SMILE), 1);

    // Smile on the left button already: no question.
    child(window.get(), "motionAlwaysButton")->click();
    withSmile->click();
    EXPECT_EQ(answerer.texts().size(), 2);
    EXPECT_EQ(setting(MOTION_MODE), 0);
    trackingParameters.ACTIVATE_SMILE_DETECTION = false;
}

TEST_F(MainWindowTest, TheWithSmileNoteIsShownOnceWhileTheGreenTimerIsOff)
{
    app()->setSettings({{CLICK_MODE, 0},
                        {MOTION_MODE, 1},
                        {ACTIVATE_SMILE_DETECTION, 1},
                        {FEMAP_INDEX_SMILE, 1},
                        {GREEN_TIMER, 0}});
    auto window = makeWindow();
    DialogAnswerer answerer;
    answerer.enqueue(DialogAnswerer::pressButton("Ok"));
    child(window.get(), "motionWithSmileButton")->click();
    ASSERT_EQ(answerer.titles(), QStringList{"Note"});
    EXPECT_TRUE(answerer.texts().at(0).startsWith("In this Mouse Motion mode, the mouse will move "
                                                  "only if you smile"));
    EXPECT_TRUE(answerer.texts().at(0).endsWith("Gestures tab for more details."));
    EXPECT_EQ(setting(GREEN_TIMER), 1200);
    child(window.get(), "motionWithSmileButton")->click();
    EXPECT_EQ(answerer.titles().size(), 1);
}

TEST_F(MainWindowTest, AlwaysStoresItsTimersWithoutAsking)
{
    app()->setSettings({{MOTION_MODE, 0}, {GREEN_TIMER, 50}, {YELLOW_TIMER, 60}, {RED_TIMER, 70}});
    auto window = makeWindow();
    DialogAnswerer answerer;
    child(window.get(), "motionAlwaysButton")->click();
    EXPECT_TRUE(answerer.titles().isEmpty());
    EXPECT_EQ(setting(GREEN_TIMER), 1000);
    EXPECT_EQ(setting(YELLOW_TIMER), 1000);
    EXPECT_EQ(setting(RED_TIMER), 3000);
    EXPECT_EQ(setting(MOTION_MODE), 1);
}

TEST_F(MainWindowTest, StopAsksThenPausesAndClearsTheWarningsAndImages)
{
    auto window = makeWindow();
    app()->oswAutoCenterShown = true;
    QSignalSpy faceNotFound(app(), &FacialDetectionApp::hideFaceNotFound);
    QSignalSpy lips(app(), &FacialDetectionApp::hideLipsNotClearlyVisible);
    QSignalSpy autoCenter(app(), &FacialDetectionApp::hideAutoCenter);
    QSignalSpy external(app(), &FacialDetectionApp::hideExternalMouseMoveDetected);
    QSignalSpy scrollImage(tracker.get(), &QTracker::ScrollSN_SetImagePath);
    QSignalSpy faceImage(tracker.get(), &QTracker::FaceSN_SetImagePath);
    DialogAnswerer answerer;
    answerer.enqueue(DialogAnswerer::pressButton("Yes"));

    child(window.get(), "tempStopButton")->click();
    EXPECT_EQ(answerer.texts(), QStringList{StopQuestion});
    EXPECT_EQ(answerer.titles(), QStringList{window->windowTitle()});
    EXPECT_TRUE(tracker->isPaused());
    EXPECT_FALSE(child(window.get(), "playButton")->isChecked());
    EXPECT_EQ(faceNotFound.count(), 1);
    EXPECT_EQ(lips.count(), 1);
    EXPECT_EQ(autoCenter.count(), 1);
    EXPECT_EQ(external.count(), 0);
    // The motion, smile and scroll images go a moment later; the face image stays.
    ASSERT_TRUE(scrollImage.wait(5000));
    EXPECT_EQ(scrollImage.at(0).at(0).toString(), "invisible.png");
    EXPECT_EQ(MotionSN.widget()->imagePath(), "invisible.png");
    EXPECT_EQ(SmileSN.widget()->imagePath(), "invisible.png");
    EXPECT_EQ(faceImage.count(), 0);
    app()->oswAutoCenterShown = false;

    child(window.get(), "playButton")->click();
    EXPECT_FALSE(tracker->isPaused());
}

TEST_F(MainWindowTest, DecliningTheStopKeepsProcessing)
{
    auto window = makeWindow();
    DialogAnswerer answerer;
    answerer.enqueue(DialogAnswerer::pressButton("No"));
    child(window.get(), "tempStopButton")->click();
    EXPECT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(child(window.get(), "playButton")->isChecked());
    EXPECT_FALSE(child(window.get(), "tempStopButton")->isChecked());
    EXPECT_FALSE(tracker->isPaused());
}

TEST_F(MainWindowTest, ThePlayHotkeyStopsWithoutAskingAndHidesOnlyTheMotionImage)
{
    auto window = makeWindow();
    MotionSN.OnSN_SetImagePath("d20.png");
    SmileSN.OnSN_SetImagePath("Smile3.png");
    QSignalSpy faceNotFound(app(), &FacialDetectionApp::hideFaceNotFound);
    DialogAnswerer answerer;

    window->onTogglePlayButton();
    EXPECT_TRUE(answerer.titles().isEmpty());
    EXPECT_TRUE(tracker->isPaused());
    EXPECT_TRUE(child(window.get(), "tempStopButton")->isChecked());
    EXPECT_EQ(MotionSN.widget()->imagePath(), "invisible.png");
    EXPECT_EQ(SmileSN.widget()->imagePath(), "Smile3.png");
    EXPECT_EQ(faceNotFound.count(), 0);

    window->onTogglePlayButton();
    EXPECT_FALSE(tracker->isPaused());
    EXPECT_TRUE(child(window.get(), "playButton")->isChecked());

    // The next stop by hand asks again.
    child(window.get(), "tempStopButton")->click();
    EXPECT_EQ(answerer.titles().size(), 1);
}

TEST_F(MainWindowTest, PlayPressedWhileTheStopQuestionIsOpenWins)
{
    auto window = makeWindow();
    DialogAnswerer answerer;
    answerer.enqueue([&](QWidget *question) {
        window->onTogglePlayButton();
        DialogAnswerer::pressButton("Yes")(question);
    });
    child(window.get(), "tempStopButton")->click();
    EXPECT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(child(window.get(), "playButton")->isChecked());
    EXPECT_FALSE(tracker->isPaused());
}

TEST_F(MainWindowTest, CalibrateFlipsTheRequestEachTime)
{
    auto window = makeWindow();
    child(window.get(), "calibrateButton")->click();
    EXPECT_EQ(setting(CALIBRATE_REQUESTED), 1);
    child(window.get(), "calibrateButton")->click();
    EXPECT_EQ(setting(CALIBRATE_REQUESTED), 0);
}

TEST_F(MainWindowTest, WindowStatesFollowTheHotkeyTheSettingsButtonAndCalibration)
{
    auto window = makeWindow();
    window->onToggleVisibility();
    EXPECT_TRUE(window->isVisible());
    window->onToggleVisibility();
    EXPECT_TRUE(window->isMinimized());
    window->onToggleVisibility();
    EXPECT_FALSE(window->isMinimized());
    EXPECT_TRUE(window->isVisible());

    emit tracker->HideUponCalibrationCompleted();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->isMinimized(); }, 5000));

    window->settingsWindow().showMinimized();
    child(window.get(), "settingsButton")->click();
    EXPECT_TRUE(window->settingsWindow().isVisible());
    EXPECT_FALSE(window->settingsWindow().isMinimized());

    // The settings window's hotkey reaches the main window too.
    emit window->settingsWindow().toggleMainWindowVisibility();
    EXPECT_FALSE(window->isMinimized());
}

TEST_F(MainWindowTest, TheFirstRunPlacesTheWindowsOnThePrimaryScreen)
{
    app()->setSetting(FIRST_RUN_EVER, 1);
    platform::recordingPointerScreens().setScreens(QRect(100, 50, 1280, 1024));
    // A panel takes the bottom 30 pixels.
    platform::recordingProcess().setWorkArea(QRect(100, 50, 1280, 994));
    auto window = makeWindow();
    SettingsWindow &settings = window->settingsWindow();
    // The palette's frame ends at the right edge, centred vertically.
    ClickOptionsWindow &options = settings.clickOptionsWindow;
    EXPECT_TRUE(options.isVisible());
    EXPECT_EQ(options.frameGeometry().right(), 100 + 1280 - 1);
    EXPECT_EQ(options.y(), 50 + 512 - options.height() / 2);
    // The main window is 920 x 620 (unless the panel needs more width), directly left of it.
    EXPECT_EQ(window->height(), 620);
    EXPECT_EQ(window->width(), std::max(920, window->minimumSizeHint().width()));
    EXPECT_EQ(window->frameGeometry().right() + 1, options.frameGeometry().left());
    EXPECT_EQ(window->y(), 50 + 512 - 310);
    EXPECT_TRUE(window->isVisible());
    // The settings window's frame starts at the left edge, centred vertically.
    EXPECT_TRUE(settings.isMinimized());
    EXPECT_EQ(settings.pos(), QPoint(100, 50 + 512 - settings.height() / 2));
    // The click-pause window waits hidden in the bottom right corner with its frame on the
    // panel, a square as wide as the palette's frame.
    ClickPause &pause = settings.clickPause;
    const int side = options.frameGeometry().width();
    EXPECT_FALSE(pause.isVisible());
    EXPECT_EQ(pause.size(), QSize(side, side));
    EXPECT_EQ(pause.frameGeometry().right(), 100 + 1280 - 1);
    EXPECT_EQ(pause.frameGeometry().bottom(), 50 + 994 - 1);
    EXPECT_EQ(setting(FIRST_RUN_EVER), 0);

    // Later runs only restore what was saved.
    window->setGeometry(QRect(110, 60, 1000, 500));
    app()->saveWidgetGeometry(window.get());
    window.reset();
    auto later = makeWindow();
    EXPECT_EQ(later->geometry(), QRect(110, 60, 1000, 500));

    // A place that does not fit the screen as it is now is fitted, not restored as it was.
    later->setGeometry(QRect(10, 900, 1000, 500));
    app()->saveWidgetGeometry(later.get());
    later.reset();
    auto fitted = makeWindow();
    EXPECT_TRUE(QRect(100, 50, 1280, 994).contains(fitted->frameGeometry()))
        << fitted->frameGeometry().x() << "," << fitted->frameGeometry().y();
    EXPECT_EQ(fitted->size(), QSize(1000, 500));
}

TEST_F(MainWindowTest, AMainWindowGrownPastTheWorkAreaComesBackInsideOnceTheResizingStops)
{
    platform::recordingPointerScreens().setScreens(QRect(0, 0, 1280, 1024));
    platform::recordingProcess().setWorkArea(QRect(0, 0, 1280, 994));
    auto window = makeWindow();
    window->move(300, 200);
    window->show();
    placedOnPurpose(window.get());
    // Grown past the right and the bottom edges, as by its content or a window manager that
    // lets it.
    const QSize grown(1100, 780);
    window->resize(grown);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return QRect(0, 0, 1280, 994).contains(window->frameGeometry()); }, patientMs(5000)))
        << window->frameGeometry().x() << "," << window->frameGeometry().y();
    EXPECT_EQ(window->size(), grown);
}

TEST_F(MainWindowTest, AWindowPlacedOnPurposeIsNotFittedFromWhereTheToolkitLastHeardItWas)
{
    platform::recordingPointerScreens().setScreens(QRect(0, 0, 1920, 1080));
    platform::recordingProcess().setWorkArea(QRect(0, 0, 1920, 1080));
    // Both parked off the screen, each waiting for a frame (none comes: they wait out the
    // time); one is then placed on purpose. On a busy desktop the toolkit may still believe
    // the parked place when the wait ends: here neither window has moved since.
    QWidget placed(nullptr, Qt::FramelessWindowHint), left(nullptr, Qt::FramelessWindowHint);
    for (QWidget *w : {&placed, &left}) {
        w->resize(100, 100);
        w->move(-1000, -1000);
        w->show();
        fitToWorkAreaOnceFramed(w);
    }
    placedOnPurpose(&placed);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return left.pos() != QPoint(-1000, -1000); }, patientMs(5000)));
    EXPECT_EQ(left.pos(), QPoint(0, 0));
    QCoreApplication::processEvents();
    EXPECT_EQ(placed.pos(), QPoint(-1000, -1000));
}

TEST_F(MainWindowTest, TheFirstRunShowsEverySettingsPageWithoutAHorizontalScrollBarWhereThereIsRoom)
{
    app()->setSetting(FIRST_RUN_EVER, 1);
    platform::recordingPointerScreens().setScreens(QRect(0, 0, 1920, 1080));
    platform::recordingProcess().setWorkArea(QRect(0, 0, 1920, 1080));
    auto window = makeWindow();
    SettingsWindow &settings = window->settingsWindow();
    settings.showNormal();
    auto *tabs = settings.findChild<QTabWidget *>("tabWidget");
    ASSERT_NE(tabs, nullptr);
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QCoreApplication::processEvents();
        const auto *area = tabs->widget(i)->findChild<QScrollArea *>();
        ASSERT_NE(area, nullptr) << i;
        EXPECT_FALSE(area->horizontalScrollBar()->isVisible())
            << tabs->tabText(i).toStdString() << " at " << settings.width();
    }
    // Left of the palette, which stays on top of it.
    EXPECT_LE(settings.frameGeometry().right(), settings.clickOptionsWindow.frameGeometry().left());
}

TEST_F(MainWindowTest, OnAScreenScaledByTwoTheFirstRunKeepsEveryWindowInTheWorkArea)
{
    // 1920 x 1080 desktop pixels at a ratio of 2, less a panel.
    app()->setSetting(FIRST_RUN_EVER, 1);
    platform::recordingPointerScreens().setScreens(QRect(0, 0, 960, 540));
    platform::recordingProcess().setWorkArea(QRect(0, 0, 960, 520));
    const QRect area(0, 0, 960, 520);
    auto window = makeWindow();
    SettingsWindow &settings = window->settingsWindow();
    settings.showNormal();
    QCoreApplication::processEvents();
    for (QWidget *w : {static_cast<QWidget *>(window.get()), static_cast<QWidget *>(&settings),
                       static_cast<QWidget *>(&settings.clickOptionsWindow)}) {
        const QRect g = w->geometry();
        EXPECT_TRUE(area.contains(g)) << w->objectName().toStdString() << " " << g.x() << ","
                                      << g.y() << " " << g.width() << "x" << g.height();
        EXPECT_LE(w->minimumHeight(), area.height()) << w->objectName().toStdString();
    }
    EXPECT_LE(window->geometry().right(), settings.clickOptionsWindow.geometry().left());
}

TEST_F(MainWindowTest, APlaceSavedAtAnotherScaleIsKeptWhereItWasOnTheScreen)
{
    platform::recordingPointerScreens().setScreens(QRect(0, 0, 1920, 1080));
    platform::recordingProcess().setWorkArea(QRect(0, 0, 1920, 1080));
    // Saved at a ratio of 2: (150, 100) then was (300, 200) on the screen.
    platform::pointerScreens().setDevicePixelRatio(2);
    {
        auto window = makeWindow();
        window->setGeometry(QRect(150, 100, 500, 300));
        app()->saveWidgetGeometry(window.get());
    }
    platform::pointerScreens().setDevicePixelRatio(1);
    auto later = makeWindow();
    EXPECT_EQ(later->pos(), QPoint(300, 200));
    EXPECT_EQ(later->size(), QSize(500, 300));
}

// Runs the program's event loop until the quit that the window queued; -1 when none comes.
int runUntilQuit()
{
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
    limit.start(20000);
    return QCoreApplication::exec();
}

TEST_F(MainWindowTest, DecliningTheQuitLeavesEverythingRunning)
{
    auto window = makeWindow();
    window->show();
    QSignalSpy closing(window.get(), &MainWindow::MainWindowClosing);
    DialogAnswerer answerer;
    answerer.enqueue(DialogAnswerer::pressButton("No"));
    answerer.enqueue(DialogAnswerer::pressButton("No"));
    // The Exit button and the window's close button ask the same question.
    child(window.get(), "exitButton")->click();
    EXPECT_FALSE(window->close());
    EXPECT_EQ(answerer.texts(), (QStringList{QuitQuestion, QuitQuestion}));
    EXPECT_EQ(answerer.titles().at(0), window->windowTitle());
    EXPECT_EQ(closing.count(), 0);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(tracker->loopEnded());
    EXPECT_TRUE(requestsSoFar().isEmpty());
}

TEST_F(MainWindowTest, QuittingStopsTheWorkerInOrderAndEndsTheProgram)
{
    app()->setSettings({{CLICK_OPTION_DRAG_MODE, 1},
                        {CLICK_OPTION_DRAG_MODE_LOCKED, 1},
                        {CLICK_OPTION_CLICKING_ACTIVE, 0}});
    auto window = makeWindow();
    window->setGeometry(QRect(30, 40, 1000, 500));
    window->show();
    window->settingsWindow().clickOptionsWindow.setGeometry(QRect(600, 40, 100, 540));
    window->settingsWindow().clickPause.setGeometry(QRect(600, 480, 93, 93));
    // As if the engine held the button down, its own cursors shown, when the user quit.
    platform::inputSynthesis().buttonDown(platform::MouseButton::Left);
    setPointingCursors();
    QSignalSpy clickOptions(app(), &FacialDetectionApp::ClickOptionsSettingsChanged);
    DialogAnswerer answerer;
    answerer.enqueue(DialogAnswerer::pressButton("Yes"));

    window->onExitClicked();
    EXPECT_EQ(answerer.texts(), QStringList{QuitQuestion});
    // The worker took the cursor restore before it left its loop; then it was stopped and
    // the camera released.
    EXPECT_EQ(tracker->requests(), QStringList{"restoreSystemCursors"});
    EXPECT_TRUE(tracker->loopEnded());
    EXPECT_EQ(tracker->closeCameraCalls(), 1);
    EXPECT_TRUE(window->settingsWindow().isMinimized());
    EXPECT_EQ(setting(CLICK_OPTION_DRAG_MODE), 0);
    EXPECT_EQ(setting(CLICK_OPTION_DRAG_MODE_LOCKED), 0);
    EXPECT_EQ(setting(CLICK_OPTION_CLICKING_ACTIVE), 1);
    EXPECT_EQ(clickOptions.count(), 1);
    EXPECT_FALSE(platform::inputSynthesis().isHeld(platform::MouseButton::Left));
    // Each of the four shapes put back once, however often the sequence asks.
    EXPECT_EQ(platform::recordingLog().count("cursors", "restore"), 4);
    EXPECT_EQ(runUntilQuit(), 0);

    // The saved geometries come back with the next main window.
    window.reset();
    auto next = makeWindow();
    EXPECT_EQ(next->geometry(), QRect(30, 40, 1000, 500));
    EXPECT_EQ(next->settingsWindow().clickOptionsWindow.geometry(), QRect(600, 40, 100, 540));
    EXPECT_EQ(next->settingsWindow().clickPause.geometry(), QRect(600, 480, 93, 93));
}

TEST_F(MainWindowTest, TheSessionEndingWhileTheQuitQuestionIsOpenQuitsAfterAll)
{
    auto window = makeWindow();
    window->show();
    QSignalSpy closing(window.get(), &MainWindow::MainWindowClosing);
    DialogAnswerer answerer;
    // A logout's SIGTERM arrives while the user looks at the question.
    answerer.enqueue([&window](QWidget *) { window->quitWithoutAsking(); });
    window->onExitClicked();
    EXPECT_EQ(answerer.texts(), QStringList{QuitQuestion});
    EXPECT_EQ(closing.count(), 1);
    EXPECT_TRUE(tracker->loopEnded());
    EXPECT_EQ(runUntilQuit(), 0);
}

TEST_F(MainWindowTest, RequestsToQuitWhileQuittingAreIgnored)
{
    auto window = makeWindow();
    window->show();
    QSignalSpy closing(window.get(), &MainWindow::MainWindowClosing);
    DialogAnswerer answerer;
    bool closedMeanwhile = true;
    answerer.enqueue([&](QWidget *question) {
        closedMeanwhile = window->close();
        window->onExitClicked();
        DialogAnswerer::pressButton("Yes")(question);
    });
    window->onExitClicked();
    EXPECT_FALSE(closedMeanwhile);
    EXPECT_EQ(answerer.texts().size(), 1);
    EXPECT_EQ(closing.count(), 1);
    EXPECT_EQ(tracker->closeCameraCalls(), 1);
    // After the sequence, until the program ends, too.
    EXPECT_FALSE(window->close());
    EXPECT_EQ(closing.count(), 1);
    EXPECT_EQ(runUntilQuit(), 0);
}

TEST_F(MainWindowTest, AWorkerThatNeverEndsItsLoopStillLetsTheProgramQuit)
{
    app()->tracker = nullptr;
    tracker = std::make_unique<FakeTracker>(FakeTracker::Ending::Stuck);
    app()->tracker = tracker.get();
    tracker->Start();
    auto window = makeWindow();
    platform::inputSynthesis().keyDown(platform::Key::F13);
    DialogAnswerer answerer;
    answerer.enqueue(DialogAnswerer::pressButton("Yes"));

    // Waits the whole time for a report that never comes, then stops the worker itself.
    window->onExitClicked();
    EXPECT_TRUE(tracker->loopEnded());
    EXPECT_EQ(tracker->closeCameraCalls(), 1);
    EXPECT_FALSE(platform::inputSynthesis().isHeld(platform::Key::F13));
    EXPECT_EQ(setting(CLICK_OPTION_CLICKING_ACTIVE), 1);
    EXPECT_EQ(runUntilQuit(), 0);
}

} // namespace
