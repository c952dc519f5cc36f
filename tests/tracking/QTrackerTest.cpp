// The tracker worker: camera choice, the frame loop's pause, settings and quitting.

#include "tracking/QTracker.h"
#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "core/SettingsKeys.h"
#include "engine/ActionDispatch.h"
#include "engine/EngineState.h"
#include "engine/TrackingParameters.h"
#include "platform/Platform.h"
#include "platform/recording/CallLog.h"
#include "platform/recording/RecordingCameraList.h"
#include "platform/recording/RecordingProcess.h"
#include "tests/support/Patience.h"
#include "tests/support/TestHome.h"
#include "tracking/CameraDialogs.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>

#include <cmath>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

using namespace SettingKeys;

namespace {

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

// Answers the camera questions as a scripted user would, and remembers what was asked.
class ScriptedCameraDialogs : public CameraDialogs
{
public:
    void showNoCameraFound() override { asked << "no camera"; }
    void chooseCamera(const QStringList &names) override
    {
        asked << "choose " + names.join(',');
        if (!choice.isEmpty())
            app()->setSetting(DEFAULT_CAMERA, choice);
    }
    void showCameraError(const QString &text) override { asked << "error " + text; }
    QString choice;
    QStringList asked;
};

template<typename Condition> bool waitFor(Condition condition, int timeoutMs = 15000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > patientMs(timeoutMs))
            return false;
        QTest::qWait(10);
    }
    return true;
}

QString makeClip(const QString &folder)
{
    const QString path = folder + "/clip.avi";
    cv::VideoWriter writer(path.toStdString(), cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 30,
                           cv::Size(640, 480));
    for (int i = 0; i < 20; ++i)
        writer.write(cv::Mat(480, 640, CV_8UC3, cv::Scalar(40 + i, 90, 140)));
    return path;
}

class Tracker : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::installRecording();
        QFile::remove(AppFilePaths::settingsFile);
        app()->loadAllSettings();
        qunsetenv("TOVRA_CAMERA_FILE");
    }
    void TearDown() override { qunsetenv("TOVRA_CAMERA_FILE"); }
    static platform::RecordingCameraList &cameras() { return platform::recordingCameraList(); }
    // The file camera open, the face tracker made and the settings applied: ready to start.
    static void readyOnTheClip(QTracker &tracker, ScriptedCameraDialogs &dialogs)
    {
        tracker.setCameraDialogs(&dialogs);
        ASSERT_TRUE(tracker.openCamera());
        ASSERT_TRUE(tracker.createFaceTracker()) << tracker.errorString().toStdString();
        tracker.applyChangedSettings(true);
    }
    TestHome home;
};

TEST_F(Tracker, WithoutCamerasTheUserIsToldAndNothingOpens)
{
    QTracker tracker;
    ScriptedCameraDialogs dialogs;
    tracker.setCameraDialogs(&dialogs);
    EXPECT_FALSE(tracker.openCamera());
    EXPECT_EQ(dialogs.asked, QStringList{"no camera"});
}

TEST_F(Tracker, ACameraThatWentAwayDuringTheChoiceCountsAsNoCamera)
{
    cameras().queueCameras({{"Cam A", "/nonexistent/video0"}});
    cameras().queueCameras({{"Cam A", "/nonexistent/video0"}});
    cameras().queueCameras({});
    QTracker tracker;
    ScriptedCameraDialogs dialogs;
    tracker.setCameraDialogs(&dialogs);
    EXPECT_FALSE(tracker.openCamera());
    EXPECT_EQ(dialogs.asked, (QStringList{"choose Cam A", "no camera"}));
}

TEST_F(Tracker, AnUnknownChoiceFallsBackToTheFirstCameraAndIsStored)
{
    cameras().setCameras({{"Cam A", "/nonexistent/video0"}, {"Cam B", "/nonexistent/video1"}});
    app()->setSetting(DEFAULT_CAMERA, QStringLiteral("Gone Camera"));
    QTracker tracker;
    ScriptedCameraDialogs dialogs;
    tracker.setCameraDialogs(&dialogs);
    // The nodes do not exist, so opening fails after the choice, with the camera error.
    EXPECT_FALSE(tracker.openCamera());
    EXPECT_EQ(app()->getSetting(DEFAULT_CAMERA).toString(), "Cam A");
    EXPECT_EQ(dialogs.asked,
              (QStringList{"choose Cam A,Cam B", "error Cannot open selected camera!\n"}));
}

TEST_F(Tracker, TheFileCameraOpensAsTheOnlyCamera)
{
    qputenv("TOVRA_CAMERA_FILE", makeClip(home.path()).toUtf8());
    EXPECT_EQ(QTracker::enumerateVideoDevices(), QStringList{"Video File"});
    QTracker tracker;
    ScriptedCameraDialogs dialogs;
    tracker.setCameraDialogs(&dialogs);
    EXPECT_TRUE(tracker.openCamera());
    EXPECT_TRUE(tracker.hasCaptureSource());
    EXPECT_EQ(app()->getSetting(DEFAULT_CAMERA).toString(), "Video File");
}

TEST_F(Tracker, ABadPlaybackFileLeavesTheCameraInPlace)
{
    qputenv("TOVRA_CAMERA_FILE", makeClip(home.path()).toUtf8());
    QTracker tracker;
    ScriptedCameraDialogs dialogs;
    tracker.setCameraDialogs(&dialogs);
    ASSERT_TRUE(tracker.openCamera());
    AppFilePaths::playbackVideoFile = home.path() + "/missing.avi";
    EXPECT_FALSE(tracker.OpenPlaybackFile());
    EXPECT_TRUE(tracker.hasCaptureSource());
    AppFilePaths::playbackVideoFile = home.path() + "/clip.avi";
    EXPECT_TRUE(tracker.OpenPlaybackFile());
}

TEST_F(Tracker, TheLoopPausesAppliesSettingsAtTheNextFrameAndQuitsWithinAPass)
{
    qputenv("TOVRA_CAMERA_FILE", makeClip(home.path()).toUtf8());
    QTracker tracker;
    ScriptedCameraDialogs dialogs;
    ASSERT_NO_FATAL_FAILURE(readyOnTheClip(tracker, dialogs));
    // The worker's signals as this thread gets them, queued: a QSignalSpy would record them on
    // the worker, beside this thread's reads.
    QVector<cv::Mat> previews;
    int completed = 0;
    QStringList faceImages;
    QObject here;
    QObject::connect(&tracker, &QTracker::ShowProcessedImage, &here,
                     [&](const cv::Mat &image) { previews << image; });
    QObject::connect(&tracker, &QTracker::TrackerProcessCompleted, &here, [&] { ++completed; });
    QObject::connect(&tracker, &QTracker::FaceSN_SetImagePath, &here,
                     [&](const QString &path) { faceImages << path; });
    tracker.Start();
    ASSERT_TRUE(waitFor([&] { return previews.count() >= 3; }));
    const cv::Mat first = previews.first();
    EXPECT_EQ(first.cols, 541);
    EXPECT_EQ(first.rows, 406);
    // No face in a plain clip. The image goes to the GUI when it changes, not every frame.
    EXPECT_EQ(faceImages.last(), "faceNotFound.png");
    EXPECT_LT(faceImages.count(), previews.count());

    tracker.setPaused(true);
    QTest::qWait(100);
    const int whilePaused = previews.count();
    const int imagesWhilePaused = faceImages.count();
    app()->setSetting(CAMERA_FRAMERATE, 20);
    QTest::qWait(200);
    EXPECT_LE(previews.count(), whilePaused + 1);
    EXPECT_EQ(trackingParameters.CAMERA_FRAMERATE, 32);

    tracker.setPaused(false);
    ASSERT_TRUE(waitFor([&] { return previews.count() > whilePaused + 2; }));
    EXPECT_EQ(trackingParameters.CAMERA_FRAMERATE, 20);
    // Sent again after the pause, during which the GUI may have blanked it.
    EXPECT_GT(faceImages.count(), imagesWhilePaused);

    QMetaObject::invokeMethod(&tracker, "onMainWindowClosing", Qt::QueuedConnection);
    ASSERT_TRUE(waitFor([&] { return completed == 1; }, 2000));
    tracker.Stop();
}

TEST_F(Tracker, APassThatThrowsLetsGoOfWhatIsHeldAndTheLoopGoesOn)
{
    qputenv("TOVRA_CAMERA_FILE", makeClip(home.path()).toUtf8());
    QTracker tracker;
    ScriptedCameraDialogs dialogs;
    ASSERT_NO_FATAL_FAILURE(readyOnTheClip(tracker, dialogs));
    std::atomic<int> previews{0};
    QObject here;
    QObject::connect(&tracker, &QTracker::ShowProcessedImage, &here, [&] { ++previews; });
    tracker.Start();
    ASSERT_TRUE(waitFor([&] { return previews >= 1; }));
    // A key held by a gesture, then a resolution no frame can be resized to (past what the
    // settings allow).
    tracker.Lock();
    int started = 0, ended = 0;
    gestureStart(7, started, ended, false, InputOwner::SlowBlink);
    const int resolution = trackingParameters.ADDITIONAL_RESOLUTION;
    trackingParameters.ADDITIONAL_RESOLUTION = 2000000000;
    tracker.Unlock();
    EXPECT_TRUE(waitFor([] { return !platform::inputSynthesis().isHeld(platform::Key::F13); }));
    tracker.Lock();
    trackingParameters.ADDITIONAL_RESOLUTION = resolution;
    const int before = previews;
    tracker.Unlock();
    EXPECT_TRUE(waitFor([&] { return previews > before + 2; }));
    tracker.Stop();
}

TEST_F(Tracker, APassWithoutTheDwellStepEndsTheDwellAndItsRing)
{
    // Paused, or calibrating (the loop starts with a calibration that suspends the engine).
    for (const bool paused : {true, false}) {
        SCOPED_TRACE(paused ? "paused" : "calibrating");
        qputenv("TOVRA_CAMERA_FILE", makeClip(home.path()).toUtf8());
        QTracker tracker;
        ScriptedCameraDialogs dialogs;
        tracker.setCameraDialogs(&dialogs);
        ASSERT_TRUE(tracker.openCamera());
        ASSERT_TRUE(tracker.createFaceTracker()) << tracker.errorString().toStdString();
        tracker.applyChangedSettings(true);
        // Counted on this thread, queued from the worker (see above).
        int previews = 0;
        int stopped = 0;
        QObject here;
        QObject::connect(&tracker, &QTracker::ShowProcessedImage, &here, [&] { ++previews; });
        QObject::connect(app(), &FacialDetectionApp::cdtStopTimer, &here, [&] { ++stopped; });
        tracker.Start();
        ASSERT_TRUE(waitFor([&] { return previews >= 1; }));
        tracker.setPaused(paused);
        QTest::qWait(100);
        // A dwell in its countdown, its ring on screen.
        tracker.Lock();
        currentDwell.startMs = 1;
        currentDwell.anchored = 1;
        currentDwell.countdownShown = 1;
        tracker.Unlock();
        EXPECT_TRUE(waitFor([&] { return stopped == 1; }, 5000));
        tracker.Lock();
        EXPECT_EQ(currentDwell.startMs, 0u);
        tracker.Unlock();
        tracker.Stop();
    }
}

TEST_F(Tracker, ThePriorityLevelIsAppliedAtTheStartOnlyAndZeroNeverRaises)
{
    const std::pair<int, const char *> levels[] = {
        {0, "lowerPriority()"}, {1, "raisePriority()"}, {2, "raisePriority()"}};
    for (const auto &[level, call] : levels) {
        SCOPED_TRACE(level);
        app()->setSetting(PROCESS_PRIORITY, level);
        app()->loadAllSettings();
        platform::recordingLog().clear();
        QTracker tracker;
        tracker.applyChangedSettings(true);
        EXPECT_EQ(platform::recordingLog().calls("process"), QStringList{call});
        // A change while running waits for the next start.
        app()->setSetting(PROCESS_PRIORITY, 2 - level);
        platform::recordingLog().clear();
        tracker.applyChangedSettings(false);
        EXPECT_TRUE(platform::recordingLog().calls("process").isEmpty());
    }
}

TEST_F(Tracker, TheWindowUnderThePointerTurnsStickinessOffOverKeyboardsAndUntitledWindows)
{
    using platform::PointedWindow;
    const auto window = [](QString title, bool owned, QString ownerTitle, bool dock = false,
                           QString instance = {}) {
        PointedWindow w;
        w.found = true;
        w.title = title;
        w.owned = owned;
        w.ownerTitle = ownerTitle;
        w.dock = dock;
        w.instanceName = instance;
        w.className = instance;
        return w;
    };
    const struct
    {
        const char *what;
        PointedWindow window;
        bool switchOn, off;
    } cases[] = {
        {"a titled window", window("Editor", false, {}), true, false},
        {"an untitled window", window({}, false, {}), true, true},
        {"an untitled dialog of an untitled window", window({}, true, {}), true, true},
        {"an untitled dialog of a titled window", window({}, true, "Editor"), true, false},
        {"a dock", window("Panel", false, {}, true), true, true},
        {"a keyboard by its class", window("Florence", false, {}, false, "florence"), true, true},
        {"another class", window("Editor", false, {}, false, "gedit"), true, false},
        {"the bare desktop", PointedWindow(), true, false},
        {"the switch off", window({}, false, {}), false, false},
    };
    QTracker tracker;
    tracker.applyChangedSettings(true);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        platform::recordingProcess().setWindowUnderPointer(c.window);
        app()->setSetting(DISABLE_STICKINESS_OSK, c.switchOn);
        // Every pass that applies settings looks, changed or not: the pointer moves.
        tracker.applyChangedSettings(false);
        EXPECT_EQ(trackingParameters.STICKINESS_OFF_UNDER_POINTER, c.off);
        tracker.applyChangedSettings(false);
        EXPECT_EQ(trackingParameters.STICKINESS_OFF_UNDER_POINTER, c.off);
    }
}

TEST_F(Tracker, AMissingCascadeStillEndsTheLoopInOrder)
{
    const QString programFolder = QDir::currentPath();
    QTracker tracker;
    // "hfd.xml" is opened by relative name: from an empty folder it cannot be found.
    QDir::setCurrent(home.path());
    int completed = 0;
    QObject here;
    QObject::connect(&tracker, &QTracker::TrackerProcessCompleted, &here, [&] { ++completed; });
    tracker.Start();
    const bool ended = waitFor([&] { return completed == 1; }, 5000);
    QDir::setCurrent(programFolder);
    EXPECT_TRUE(ended);
}

} // namespace
