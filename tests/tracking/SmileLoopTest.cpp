// The smile through the tracker's frame loop, on a clip made from a real face photo with its
// mouth corners drawn into a smile: the smile clicks, its stages reach the measurements of
// the next frame, and a pause in the middle of a press lets go of the button.

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "core/SettingsKeys.h"
#include "engine/ActionDispatch.h"
#include "engine/ClickEngine.h"
#include "engine/EngineState.h"
#include "engine/SmileGesture.h"
#include "feedback/CProgressMeter.h"
#include "platform/InputSynthesis.h"
#include "platform/Platform.h"
#include "platform/recording/CallLog.h"
#include "tests/support/Patience.h"
#include "tests/support/TestHome.h"
#include "tests/vision/SmileClip.h"
#include "tracking/CameraDialogs.h"
#include "tracking/QTracker.h"
#include "vision/FrameRecords.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>

using namespace SettingKeys;

namespace {

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

class NoCameraDialogs : public CameraDialogs
{
public:
    void showNoCameraFound() override {}
    void chooseCamera(const QStringList &) override {}
    void showCameraError(const QString &) override {}
};

// Every four seconds of the clip: still, then a short smile that grows over 0.25 s, is held
// for 0.15 s and fades over 0.25 s, well within the click interval even on a slow machine.
double smileAt(double t)
{
    const double phase = std::fmod(t, 4.0) - 2.6;
    if (phase < 0.0 || phase > 0.65)
        return 0.0;
    return std::min({1.0, phase / 0.25, (0.65 - phase) / 0.25});
}

// What each processed frame left, noted on the worker thread as the frame ends.
struct FrameNote
{
    bool stageBefore = false; // the engine reported a stage on the frame before
    double smileBase = 0.0;
    double levelB = 0.0;
    double candidate = 0.0;
    double level = 0.0;
    bool stage = false;
};

TEST(SmileThroughTheLoop, ASmileClicksItsStagesHoldTheLevelUpAndAPauseLetsItsPressGo)
{
    platform::installRecording();
    TestHome home;
    QFile::remove(AppFilePaths::settingsFile);
    app()->loadAllSettings();
    app()->setSetting(ACTIVATE_SMILE_DETECTION, 1);
    app()->setSetting(CLICK_MODE, 0);
    const QString clip = home.path() + "/smile.avi";
    ASSERT_TRUE(writeSmileClip(QDir(TOVRA_FACE_PHOTOS).filePath("Tom_Cruise_avp_2014_4.jpg"), clip,
                               240, smileAt));
    qputenv("TOVRA_CAMERA_FILE", clip.toUtf8());

    QTracker tracker;
    NoCameraDialogs dialogs;
    tracker.setCameraDialogs(&dialogs);
    ASSERT_TRUE(tracker.openCamera());
    ASSERT_TRUE(tracker.createFaceTracker()) << tracker.errorString().toStdString();
    tracker.applyChangedSettings(true);

    std::mutex notesMutex;
    QVector<FrameNote> notes;
    bool stageBefore = false;
    std::atomic<bool> pauseOnPress{false};
    QObject::connect(
        &tracker, &QTracker::ShowProcessedImage, &tracker,
        [&](const cv::Mat &) {
            const FacialMetrics &m = frameRecords.metrics;
            FrameNote note{stageBefore,      m.smileBase,  m.smileLevelBFollow,
                           m.smileCandidate, m.smileLevel, isSmileStageActive()};
            stageBefore = note.stage;
            if (pauseOnPress && engineHoldsButton(false)) {
                pauseOnPress = false;
                tracker.setPaused(true);
            }
            std::lock_guard<std::mutex> lock(notesMutex);
            notes << note;
        },
        Qt::DirectConnection);
    QSignalSpy completed(&tracker, &QTracker::TrackerProcessCompleted);
    tracker.Start();
    // Past the calibration (twenty seconds with a still head), until two smiles clicked.
    const auto leftClicks = [] {
        return platform::recordingLog().calls("input").count("button(left,down)");
    };
    const bool clicked = QTest::qWaitFor([&] { return leftClicks() >= 2; }, 40000);

    // Then the smile as the button itself: pressed in its point stage, where a pause comes.
    app()->setSetting(MOTION_MODE, 1);
    pauseOnPress = true;
    const bool pausedPressed = QTest::qWaitFor([&] { return tracker.isPaused(); }, 15000);
    QTest::qWait(200);
    EXPECT_TRUE(pausedPressed);
    EXPECT_FALSE(platform::inputSynthesis().isHeld(platform::MouseButton::Left));
    EXPECT_FALSE(isSmileInProgress());
    EXPECT_FALSE(GlobalProgressMeter.isRunning());
    tracker.setPaused(false);
    QMetaObject::invokeMethod(&tracker, "onMainWindowClosing", Qt::QueuedConnection);
    ASSERT_TRUE(QTest::qWaitFor([&] { return completed.count() == 1; }, patientMs(5000)));
    tracker.Stop();
    qunsetenv("TOVRA_CAMERA_FILE");

    std::lock_guard<std::mutex> lock(notesMutex);
    double top = 0.0;
    for (const FrameNote &n : notes)
        top = std::max(top, n.level);
    EXPECT_TRUE(clicked) << "highest smile level " << top << " in " << notes.size() << " frames";
    const QStringList input = platform::recordingLog().calls("input");
    EXPECT_EQ(input.count("button(left,down)"), input.count("button(left,up)"));
    int stageFrames = 0;
    for (const FrameNote &n : notes) {
        if (!n.stageBefore)
            continue;
        ++stageFrames;
        EXPECT_DOUBLE_EQ(n.smileBase, std::max(n.levelB, n.candidate));
    }
    EXPECT_GT(stageFrames, 0);
}

} // namespace
