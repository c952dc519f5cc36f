// Resting the pointer clicks once the countdown ring has closed.

#include "core/FacialDetectionApp.h"
#include "engine/ClickEngine.h"
#include "engine/EngineState.h"
#include "engine/TrackingParameters.h"
#include "tests/engine/EngineTestSupport.h"

#include <QSignalSpy>

#include <functional>
#include <utility>
#include <vector>

namespace {

const QStringList kLeftClick{"button(left,down)", "button(left,up)"};

class DwellClick : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        clickOptionState.CLICK_MODE = 1;
        // The first frame anchors "the last click" where the pointer is; leave that zone.
        dwellFrame();
        setPointer(300, 300);
        clearLogs();
    }
    void dwellFrame(int dtMs = 40)
    {
        frame(0.0, 0.0, dtMs);
        procDwellClick();
    }
    // Frames at rest for this long.
    void restFor(int ms)
    {
        for (int t = 0; t < ms; t += 40)
            dwellFrame();
    }
    FacialDetectionApp *app() { return FacialDetectionApp::instance(); }
};

TEST_F(DwellClick, RestingClicksOnceAfterTheRingCloses)
{
    QSignalSpy attributes(app(), &FacialDetectionApp::cdtSetAttributes);
    QSignalSpy started(app(), &FacialDetectionApp::cdtStartTimer);
    QSignalSpy stopped(app(), &FacialDetectionApp::cdtStopTimer);

    dwellFrame(); // starts the dwell
    restFor(1600);
    EXPECT_TRUE(buttonsAndKeys().isEmpty()) << "no click before the time is up";
    ASSERT_EQ(attributes.count(), 1);
    const QList<QVariant> ring = attributes.at(0);
    EXPECT_EQ(ring.at(0).toInt(), 1500 - 225);
    EXPECT_EQ(ring.at(1).toInt(), 300);
    EXPECT_EQ(ring.at(2).toInt(), 300);
    EXPECT_EQ(ring.at(3).toInt(), 40);
    EXPECT_EQ(ring.at(4).toInt(), 10);
    EXPECT_EQ(started.count(), 1);

    restFor(200);
    EXPECT_EQ(buttonsAndKeys(), kLeftClick);
    EXPECT_EQ(stopped.count(), 1);
    EXPECT_EQ(clickOptionState.clickPerformed, 1);
    EXPECT_EQ(sounds(), QList<SoundId>{SoundId::Click});

    // Resting on where it clicked never clicks again.
    restFor(5000);
    EXPECT_EQ(buttonsAndKeys(), kLeftClick);
    EXPECT_EQ(started.count(), 1);

    // Leaving the zone and coming back starts a new dwell.
    setPointer(400, 300);
    dwellFrame();
    setPointer(300, 300);
    dwellFrame();
    restFor(1800);
    EXPECT_EQ(buttonsAndKeys(), kLeftClick + kLeftClick);
}

TEST_F(DwellClick, LeavingTheZoneDuringTheCountdownCancels)
{
    QSignalSpy stopped(app(), &FacialDetectionApp::cdtStopTimer);
    dwellFrame();
    restFor(600);
    setPointer(300 + 21, 300);
    dwellFrame();
    EXPECT_EQ(stopped.count(), 1);
    EXPECT_EQ(currentDwell.startMs, 0u);
    // A wobble inside the zone does not.
    dwellFrame();
    restFor(400);
    setPointer(300 + 21 + 12, 300 + 16);
    restFor(1600);
    EXPECT_EQ(buttonsAndKeys(), kLeftClick);
}

TEST_F(DwellClick, AZeroZoneDrawsASmallRingAndAnyPixelCancels)
{
    trackingParameters.DWELL_ZONE_SIZE = 0;
    QSignalSpy attributes(app(), &FacialDetectionApp::cdtSetAttributes);
    setPointer(500, 500);
    dwellFrame();
    dwellFrame();
    restFor(400);
    ASSERT_EQ(attributes.count(), 1);
    EXPECT_EQ(attributes.at(0).at(3).toInt(), 2);
    setPointer(501, 500);
    dwellFrame();
    EXPECT_EQ(currentDwell.startMs, 0u);
    EXPECT_TRUE(buttonsAndKeys().isEmpty());
}

TEST_F(DwellClick, TheCountdownIsNeverShorterThanItsFloor)
{
    trackingParameters.DWELL_CLICK_TIME = 100;
    QSignalSpy attributes(app(), &FacialDetectionApp::cdtSetAttributes);
    dwellFrame();
    restFor(400);
    ASSERT_EQ(attributes.count(), 1);
    EXPECT_EQ(attributes.at(0).at(0).toInt(), 25);
    EXPECT_EQ(buttonsAndKeys(), kLeftClick);
}

TEST_F(DwellClick, TwoDwellsMakeADrag)
{
    clickOptionState.CLICK_OPTION_DRAG_MODE = 1;
    dwellFrame();
    restFor(1800);
    EXPECT_EQ(buttonsAndKeys(), QStringList{"button(left,down)"});
    EXPECT_EQ(clickOptionState.dragState, -1);
    // Drag somewhere else and dwell again.
    setPointer(700, 500);
    dwellFrame();
    dwellFrame();
    restFor(1800);
    EXPECT_EQ(buttonsAndKeys(), kLeftClick);
    EXPECT_EQ(clickOptionState.dragState, 0);
    EXPECT_EQ(clickOptionState.clickPerformed, 1);
}

TEST_F(DwellClick, PausedClickingShowsNoRingAndClicksNothing)
{
    app()->clickingActive = false;
    QSignalSpy started(app(), &FacialDetectionApp::cdtStartTimer);
    dwellFrame();
    restFor(2000);
    EXPECT_EQ(started.count(), 0);
    EXPECT_TRUE(buttonsAndKeys().isEmpty());
}

TEST_F(DwellClick, BusyEngineCancelsTheDwellAndItsRing)
{
    QSignalSpy stopped(app(), &FacialDetectionApp::cdtStopTimer);
    dwellFrame();
    restFor(600);
    smileModeState.pointingActive = 1;
    dwellFrame();
    EXPECT_EQ(stopped.count(), 1);
    smileModeState.pointingActive = 0;
    pointerEngineState.pointerFrozen = 1;
    restFor(2500);
    EXPECT_TRUE(buttonsAndKeys().isEmpty());
}

TEST_F(DwellClick, AnInterruptedDwellStopsItsRingAndStartsAfreshWithTheWholeCountdown)
{
    // Each way a frame can go by without the dwell step: smile clicking for a frame, or the
    // frame loop skipping the step (paused, calibrating, a real mouse moved).
    const std::vector<std::pair<const char *, std::function<void()>>> interruptions = {
        {"smile clicking",
         [this] {
             clickOptionState.CLICK_MODE = 0;
             dwellFrame();
             clickOptionState.CLICK_MODE = 1;
         }},
        {"step skipped",
         [this] {
             frame();
             interruptDwell();
         }},
    };
    for (const auto &[name, interrupt] : interruptions) {
        SCOPED_TRACE(name);
        setPointer(300, 300);
        resetDwellRecords();
        dwellFrame();
        setPointer(500, 500);
        QSignalSpy started(app(), &FacialDetectionApp::cdtStartTimer);
        QSignalSpy stopped(app(), &FacialDetectionApp::cdtStopTimer);
        dwellFrame();
        restFor(600);
        ASSERT_EQ(started.count(), 1);
        interrupt();
        EXPECT_EQ(stopped.count(), 1) << "the ring goes with the dwell";
        // Long past the dwell time, the first frames back at rest do not click.
        for (int i = 0; i < 60; ++i)
            frame();
        restFor(1200);
        EXPECT_TRUE(buttonsAndKeys().isEmpty());
        EXPECT_EQ(started.count(), 2) << "a new countdown is shown";
        restFor(600);
        EXPECT_EQ(buttonsAndKeys(), kLeftClick);
        clearLogs();
    }
}

TEST_F(DwellClick, SmileClickingDoesNotDwell)
{
    clickOptionState.CLICK_MODE = 0;
    restFor(3000);
    EXPECT_TRUE(buttonsAndKeys().isEmpty());
}

} // namespace
