// Holding the head steady recentres; a real mouse makes the engine yield for a while.

#include "core/FacialDetectionApp.h"
#include "engine/ClickEngine.h"
#include "engine/EngineSignals.h"
#include "engine/EngineState.h"
#include "engine/TrackingParameters.h"
#include "platform/Platform.h"
#include "platform/recording/RecordingPointerScreens.h"
#include "tests/engine/EngineTestSupport.h"
#include "vision/FrameRecords.h"

#include <QSignalSpy>

namespace {

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

class HoldHeadSteady : public EngineTest
{
protected:
    struct Event
    {
        QString what;
        quint32 stillMs;
    };

    void SetUp() override
    {
        EngineTest::SetUp();
        // The first still frame of the episode.
        frame(20.0);
        frame();
        episodeStart = now();
        connections << QObject::connect(app(), &FacialDetectionApp::showAutoCenter, [this] {
            events.push_back({"show", now() - episodeStart});
            shown = true;
        });
        connections << QObject::connect(app(), &FacialDetectionApp::hideAutoCenter, [this] {
            if (shown)
                events.push_back({"hide", now() - episodeStart});
            shown = false;
        });
        setPointer(100, 100);
    }
    void TearDown() override
    {
        for (const QMetaObject::Connection &c : connections)
            QObject::disconnect(c);
        EngineTest::TearDown();
    }
    void stillFor(int ms)
    {
        for (int t = 0; t < ms; t += 40) {
            frame();
            procHoldHeadSteady(holdHeadSteadyDetector);
            if (pointer() == QPoint(960, 540) && recentredAt == 0) {
                recentredAt = now() - episodeStart;
                setPointer(100, 100);
            } else if (pointer() == QPoint(960, 540)) {
                ++extraRecentres;
            }
        }
    }

    quint32 episodeStart = 0;
    bool shown = false;
    quint32 recentredAt = 0;
    int extraRecentres = 0;
    std::vector<Event> events;
    QList<QMetaObject::Connection> connections;
};

TEST_F(HoldHeadSteady, WarnsThreeSecondsAheadAndRecentresOncePerEpisode)
{
    stillFor(12000);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].what, "show");
    EXPECT_GE(events[0].stillMs, 4000u);
    EXPECT_LT(events[0].stillMs, 4000u + 80);
    EXPECT_EQ(events[1].what, "hide");
    EXPECT_GE(recentredAt, 7000u);
    EXPECT_LT(recentredAt, 7000u + 80);
    EXPECT_EQ(extraRecentres, 0);
}

TEST_F(HoldHeadSteady, ShortHoldTimesRecentreWithoutWarning)
{
    trackingParameters.HHS_TIME = 2000;
    stillFor(3000);
    EXPECT_TRUE(events.empty());
    EXPECT_GE(recentredAt, 2000u);
    EXPECT_LT(recentredAt, 2000u + 80);
}

TEST_F(HoldHeadSteady, AGestureInProgressRestartsTheCountdown)
{
    stillFor(5000);
    smileModeState.actionStarted = 1;
    stillFor(200);
    smileModeState.actionStarted = 0;
    stillFor(3000);
    EXPECT_EQ(recentredAt, 0u);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().what, "hide");
}

TEST_F(HoldHeadSteady, LiveValuesGoOutOnlyForRecentreOrNone)
{
    QSignalSpy values(engineSignals(), &EngineSignals::expressionIntensityChanged);
    QSignalSpy states(engineSignals(), &EngineSignals::expressionStateChanged);
    trackingParameters.FEMAP_INDEX_HHS = 3;
    stillFor(400);
    EXPECT_EQ(values.count(), 0);
    trackingParameters.FEMAP_INDEX_HHS = 0;
    stillFor(40);
    ASSERT_EQ(values.count(), 2);
    EXPECT_EQ(values.at(0).at(0).toString(), "HHS-TH");
    EXPECT_EQ(values.at(1).at(0).toString(), "HHS-MinDur");
    EXPECT_EQ(states.at(0).at(0).toString(), "HHS");
}

TEST_F(HoldHeadSteady, SwitchOnlyModeSendsValuesButNeverRecentres)
{
    trackingParameters.MODE_SWITCH_ONLY = true;
    QSignalSpy values(engineSignals(), &EngineSignals::expressionIntensityChanged);
    stillFor(8000);
    EXPECT_EQ(recentredAt, 0u);
    EXPECT_GT(values.count(), 0);
    QSignalSpy park(engineSignals(), &EngineSignals::expressionStateChanged);
    sendDwellParkValues(alwaysOnAbsoDetector, alwaysOnDetector);
    EXPECT_EQ(park.count(), 0);
}

TEST_F(HoldHeadSteady, DwellParkValuesReportTheParkedHead)
{
    QSignalSpy states(engineSignals(), &EngineSignals::expressionStateChanged);
    QSignalSpy values(engineSignals(), &EngineSignals::expressionIntensityChanged);
    for (int i = 0; i < 15; ++i)
        frame();
    sendDwellParkValues(alwaysOnAbsoDetector, alwaysOnDetector);
    ASSERT_EQ(states.count(), 2);
    EXPECT_EQ(states.at(0).at(0).toString(), "DwellParkThreshold");
    EXPECT_TRUE(states.at(0).at(1).toBool());
    ASSERT_EQ(values.count(), 4);
    EXPECT_EQ(values.at(1).at(0).toString(), "DwellParkTime");
    EXPECT_GE(values.at(1).at(1).toInt(), 500);
}

class ExternalMotion : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        trackingParameters.MMM_TIME_LAG = 400;
        setPointer(500, 500);
        frame();
        detectExternalMouseMotion();
    }
    bool step(int dtMs = 40)
    {
        frame(0.0, 0.0, dtMs);
        return detectExternalMouseMotion();
    }
};

TEST_F(ExternalMotion, TwoJumpsInARowYieldThenRecentreAfterTheLag)
{
    QSignalSpy shown(app(), &FacialDetectionApp::showExternalMouseMoveDetected);
    QSignalSpy hidden(app(), &FacialDetectionApp::hideExternalMouseMoveDetected);
    setPointer(800, 500);
    EXPECT_FALSE(step()); // one jump only moves the engine's idea of the pointer
    EXPECT_EQ(pointerEngineState.externalMotionCount, 1);
    EXPECT_EQ(currentPointerRecord().pointerPos, cv::Point(800, 500));
    setPointer(1100, 500);
    EXPECT_TRUE(step());
    EXPECT_EQ(shown.count(), 1);
    const quint32 detectedAt = now();
    EXPECT_EQ(quint32(app()->externalMotionTime()), detectedAt);

    while (now() + 40 - detectedAt <= 400)
        EXPECT_TRUE(step()) << "still within the lag";
    EXPECT_EQ(hidden.count(), 0);
    EXPECT_FALSE(step());
    EXPECT_EQ(hidden.count(), 1);
    EXPECT_EQ(pointer(), QPoint(960, 540));
    EXPECT_FALSE(step());
    EXPECT_EQ(hidden.count(), 1);
}

TEST_F(ExternalMotion, ASkippedFrameDoesNotLoseTheEndOfTheLag)
{
    QSignalSpy hidden(app(), &FacialDetectionApp::hideExternalMouseMoveDetected);
    setPointer(800, 500);
    step();
    setPointer(1100, 500);
    step();
    EXPECT_TRUE(step(200));
    // The frame where the lag ran out never ran the check.
    EXPECT_FALSE(step(600));
    EXPECT_EQ(hidden.count(), 1);
    EXPECT_EQ(pointer(), QPoint(960, 540));
}

TEST_F(ExternalMotion, SmallMovesAndMovesBeyondTheEdgeDoNotCount)
{
    setPointer(500 + 110, 500);
    EXPECT_FALSE(step());
    EXPECT_EQ(pointerEngineState.externalMotionCount, 0);
    // The engine put the pointer at the right edge; beyond it compares as the edge.
    currentPointerRecord().pointerPos = cv::Point(1920, 500);
    setPointer(1920, 500);
    platform::recordingPointerScreens().setScreens(QRect(0, 0, 1920, 1080),
                                                   QRect(0, 0, 3840, 1080));
    frame();
    setPointer(3000, 500);
    EXPECT_FALSE(detectExternalMouseMotion());
    EXPECT_EQ(pointerEngineState.externalMotionCount, 0);
}

TEST_F(ExternalMotion, NoPrimaryScreenMeansNoDetection)
{
    platform::recordingPointerScreens().setScreens(QRect());
    setPointer(0, 0);
    EXPECT_FALSE(step());
    EXPECT_FALSE(step());
}

TEST_F(ExternalMotion, ZeroLagYieldsOnlyInTheDetectingFrame)
{
    trackingParameters.MMM_TIME_LAG = 0;
    QSignalSpy hidden(app(), &FacialDetectionApp::hideExternalMouseMoveDetected);
    setPointer(800, 500);
    step();
    setPointer(1100, 500);
    EXPECT_TRUE(step());
    EXPECT_FALSE(step());
    EXPECT_EQ(hidden.count(), 1);
}

} // namespace
