// Tracking sessions and their calibration prompts, on a fake clock and recording back ends.

#include "tracking/TrackingSession.h"
#include "core/AppFilePaths.h"
#include "core/Clock.h"
#include "core/FacialDetectionApp.h"
#include "engine/TrackingParameters.h"
#include "feedback/COnScreenText.h"
#include "feedback/CProgressMeter.h"
#include "platform/Platform.h"
#include "platform/recording/RecordingOverlayWindows.h"
#include "platform/recording/RecordingPointerScreens.h"
#include "tests/support/Patience.h"
#include "tests/support/TestHome.h"
#include "vision/FacialMetricsState.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Whether some overlay window shows this text, waiting a little for the overlay threads.
bool overlayShows(const QString &text)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < patientMs(3000)) {
        for (const auto &record : platform::recordingOverlayWindows().records())
            if (record.open && record.scene.text.text == text)
                return true;
        QTest::qWait(10);
    }
    return false;
}

class Calibration : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::installRecording();
        clickOptionState = ClickOptionState();
        pointerSettings = PointerSettings();
        trackingParameters.TREMOR_CONTROL = 3;
        trackingParameters.ESCAPE_VELOCITY = 4;
        trackingParameters.ABSOLUTE_MODE = false;
        trackingParameters.MINIMIZE_AFTER_CALIBRATION = false;
        platform::recordingPointerScreens().setPointer(QPoint(10, 10));
    }
    void TearDown() override
    {
        GlobalProgressMeter.Stop();
        CalibrationText.Stop();
    }
    bool start(bool force = false)
    {
        TrackingSession::Hooks hooks;
        hooks.frameTimeMs = 4242;
        hooks.metricsState = &metrics;
        return session.startTrackingSession(force, hooks);
    }
    void at(qint64 msAfterStart, double headSpeed = 0.0)
    {
        clock.set(startTime + msAfterStart);
        session.calibrationTick(headSpeed);
    }

    const qint64 startTime = 7'000'000'000LL;
    FakeClock clock{startTime};
    TrackingSession session;
    FacialMetricsState metrics;
};

TEST_F(Calibration, EverySessionStartSearchesTheWholeImageOnceAtTheNextFrame)
{
    EXPECT_FALSE(session.takeWholeImageSearch());
    // Also a start that keeps the calibration begun a moment ago.
    for (int i = 0; i < 2; ++i) {
        start();
        EXPECT_TRUE(session.takeWholeImageSearch());
        EXPECT_FALSE(session.takeWholeImageSearch());
    }
}

TEST_F(Calibration, DwellClickingRelaxesThenRemindsFourteenSecondsInAll)
{
    clickOptionState.CLICK_MODE = 1;
    ASSERT_TRUE(start());
    EXPECT_TRUE(session.isActive());
    EXPECT_EQ(pointerSettings.engineEnabled, 0);
    EXPECT_EQ(platform::recordingPointerScreens().pointer(), QPoint(960, 540));
    EXPECT_EQ(FacialDetectionApp::instance()->clickCounterResetTime, 4242);
    EXPECT_TRUE(overlayShows("Centering Mouse Pointer..."));

    at(100);
    EXPECT_EQ(session.phase(), TrackingSession::Phase::Relax);
    EXPECT_EQ(GlobalProgressMeter.duration(), 8000);
    EXPECT_EQ(GlobalProgressMeter.diameter(), 100);
    EXPECT_EQ(GlobalProgressMeter.thickness(), 30);
    EXPECT_EQ(GlobalProgressMeter.color(), 0x00FF00u);
    EXPECT_TRUE(overlayShows("Relax and Hold Head Steady."));

    at(8001);
    EXPECT_EQ(session.phase(), TrackingSession::Phase::Final);
    EXPECT_EQ(GlobalProgressMeter.duration(), 6000);
    EXPECT_TRUE(overlayShows("Mouse Centering Complete"));
    EXPECT_TRUE(overlayShows("Remember:  Dwell to click, drag or scroll."));

    at(13000);
    EXPECT_TRUE(session.isActive());
    at(14001);
    EXPECT_FALSE(session.isActive());
    EXPECT_EQ(pointerSettings.engineEnabled, 1);
    EXPECT_EQ(clickOptionState.trackingSessionStarted, 0);
}

TEST_F(Calibration, SmileClickingAddsSmileAndMouthAndEndsEarlyWhenTheHeadMoves)
{
    clickOptionState.CLICK_MODE = 0;
    ASSERT_TRUE(start());
    EXPECT_TRUE(overlayShows("Calibrating..."));
    at(100);
    EXPECT_EQ(session.phase(), TrackingSession::Phase::Relax);
    at(8100);
    EXPECT_EQ(session.phase(), TrackingSession::Phase::Smile);
    EXPECT_EQ(GlobalProgressMeter.duration(), 3000);
    EXPECT_TRUE(overlayShows("Smile Moderately and Hold."));
    at(11100);
    EXPECT_EQ(session.phase(), TrackingSession::Phase::Mouth);
    EXPECT_TRUE(overlayShows("Stop Smiling. Open Your Mouth."));
    at(14100);
    EXPECT_EQ(session.phase(), TrackingSession::Phase::Final);
    EXPECT_TRUE(overlayShows("Remember:  Smile to click, drag or scroll."));
    // A slow head keeps the reminder; one at the escape speed ends it.
    at(15000, 3.9);
    EXPECT_TRUE(session.isActive());
    at(15100, 4.0);
    EXPECT_FALSE(session.isActive());
    EXPECT_EQ(clickOptionState.trackingSessionStarted, 1);
    EXPECT_EQ(pointerSettings.engineEnabled, 1);
}

TEST_F(Calibration, ForcingAsksForTheFullCalibrationInDwellClicking)
{
    clickOptionState.CLICK_MODE = 1;
    ASSERT_TRUE(start(true));
    EXPECT_TRUE(overlayShows("Calibrating..."));
}

TEST_F(Calibration, ARestartWithinTwelveSecondsIsRefusedAndLaterKeepsTheSavedEngineState)
{
    clickOptionState.CLICK_MODE = 1;
    pointerSettings.engineEnabled = 1;
    ASSERT_TRUE(start());
    at(100);
    clock.set(startTime + 12000);
    EXPECT_FALSE(start());
    EXPECT_EQ(session.phase(), TrackingSession::Phase::Relax);
    clock.set(startTime + 12001);
    EXPECT_TRUE(start());
    EXPECT_EQ(pointerSettings.engineEnabled, 0);
    // The restarted sequence runs from its own start.
    const qint64 restart = 12001;
    at(restart + 100);
    EXPECT_EQ(session.phase(), TrackingSession::Phase::Relax);
    at(restart + 14001);
    EXPECT_FALSE(session.isActive());
    EXPECT_EQ(pointerSettings.engineEnabled, 1);
}

TEST_F(Calibration, AStartedCalibrationTeachesTheHistogramsAfresh)
{
    for (int i = 0; i < 150; ++i)
        metrics.mouthEyeRatio.add(50);
    ASSERT_TRUE(metrics.mouthEyeRatio.ready());
    ASSERT_TRUE(start());
    EXPECT_FALSE(metrics.mouthEyeRatio.ready());
}

TEST_F(Calibration, MinimisingAfterCalibrationIsRequestedOnce)
{
    trackingParameters.MINIMIZE_AFTER_CALIBRATION = true;
    clickOptionState.CLICK_MODE = 1;
    ASSERT_TRUE(start());
    at(100);
    at(8001);
    at(14001);
    EXPECT_TRUE(session.takeMinimiseRequest());
    EXPECT_FALSE(session.takeMinimiseRequest());
}

} // namespace
