// The smile, frame by frame on a fake clock and the recording back ends: when it starts, what
// its hold stages show, what a release clicks, and that nothing stays held or shown when a
// frame skips it. Then scroll mode: dead zone, speed steps, ticks, cursors and its exits.

#include "engine/SmileGesture.h"
#include "core/FacialDetectionApp.h"
#include "engine/ActionDispatch.h"
#include "engine/ClickEngine.h"
#include "engine/EngineResets.h"
#include "engine/EngineSignals.h"
#include "engine/EngineState.h"
#include "engine/ParkTimers.h"
#include "engine/ScrollMode.h"
#include "engine/TrackingParameters.h"
#include "feedback/CProgressMeter.h"
#include "platform/InputSynthesis.h"
#include "platform/Platform.h"
#include "platform/recording/CallLog.h"
#include "platform/recording/RecordingOverlayWindows.h"
#include "platform/recording/RecordingSystemCursors.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/support/Patience.h"
#include "vision/FrameRecords.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <functional>

// Readable failures.
void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
void PrintTo(SoundId id, std::ostream *out)
{
    *out << soundFileName(id);
}

namespace {

using Shape = platform::SystemCursors::Shape;

QStringList repeated(int n, const QString &text)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << text;
    return out;
}

class Smile : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        TrackingParameters &p = trackingParameters;
        p.ACTIVATE_SMILE_DETECTION = true;
        p.SMILE_THRESHOLD = 60;
        p.SMILE_MINDUR = 150;
        p.GESTURE_MINDUR_FLOOR = 75;
        p.GREEN_TIMER = 1000;
        p.YELLOW_TIMER = 1000;
        p.RED_TIMER = 3000;
        p.SMILE_POINT_END = 1150;
        p.SMILE_SCROLL_END = 2150;
        p.SMILE_CLK_INT = 1200;
        p.SLOW_SMILES = false;
        p.IGNORE_SMILE_WHEN_LOOKING_AWAY = false;
        p.SOUND_SCROLL = true;
        p.SOUND_CLICKGESTUREIGNORED = true;
        p.MAX_MOTION_AT_SMILE_START = 15;
        p.SECFACEDET = true;
        p.PARK_SPEED = 3;
        p.SCROLL_DEAD_ZONE = 60;
        p.FEMAP_INDEX_MOUTHOPEN = 0;
        scrollRecord = ScrollRecord{};
        parkTimers = ParkTimers{};
        platform::recordingSystemCursors().reset();
        platform::recordingOverlayWindows().reset();
        // Far from the last episode's end.
        clock->advance(1000);
        face(0.0);
        clearLogs();
    }
    void TearDown() override
    {
        interruptSmileGesture();
        GlobalProgressMeter.Stop();
        EngineTest::TearDown();
    }

    // One frame of the loop's smile and scroll steps with this smile level; the face is seen
    // and the level's followers move as the measurements move them.
    void face(double level, double vx = 0.0, double vy = 0.0, double lips = 0.0)
    {
        frame(vx, vy);
        frameRecords.motion.headShiftY20 = shiftY;
        FacialMetrics &m = frameRecords.metrics;
        const FacialMetrics &pm = frameRecords.previousMetrics;
        m.smileLevel = level;
        m.smileLevelSmoothed =
            smoothedLag >= 0.0 ? level - smoothedLag : pm.smileLevelSmoothed * 0.8 + level * 0.2;
        m.smileLevelBFollow = level;
        m.smileLevelBFollowSlow = pm.smileLevelBFollowSlow * 0.8 + level * 0.2;
        frameRecords.motion.lipMotionSmoothed = lips;
        frameRecords.motion.lipMotionSlow = lips;
        frameRecords.seen.hogSeenMs = frameRecords.seen.boxSeenMs = now();
        procSmile();
        procScroll();
    }
    // A smile that rises in two frames and is held for about `ms`, the head moving at `v`
    // from `moveFrom` ms on; then relaxed unless `release` is false.
    void smile(int ms, double v = 0.0, int moveFrom = 0, bool release = true)
    {
        face(40.0);
        const quint32 start = now() + 40;
        while (now() < start + quint32(ms))
            face(70.0, now() >= start + quint32(moveFrom) ? v : 0.0);
        if (release)
            face(0.0);
    }
    // The head's vertical shift of the following frames (up is negative).
    int shiftY = 0;
    // When set, the smoothed level trails the level by this much.
    double smoothedLag = -1.0;
    // The smile relaxed and the head at rest until the episode ends (a sustained one ends
    // when the head has rested for the park time).
    void relax()
    {
        for (int i = 0; i < 50 && smileModeState.smileActive; ++i)
            face(0.0);
    }
    quint32 elapsed() const { return now() - smileEpisode.startMs; }
    static QString cursor() { return platform::recordingSystemCursors().shownFile(Shape::Arrow); }
    static int clicks() { return int(buttonsAndKeys().count(QStringLiteral("button(left,down)"))); }
    static bool anythingHeld()
    {
        return platform::inputSynthesis().isHeld(platform::MouseButton::Left) ||
               platform::inputSynthesis().isHeld(platform::MouseButton::Right);
    }
    // Whether an open overlay window shows the text (the ring's label), waiting a little
    // for the overlay threads.
    static bool labelShown(const QString &text)
    {
        QElapsedTimer timer;
        timer.start();
        do {
            for (const auto &r : platform::recordingOverlayWindows().records())
                if (r.open && r.scene.text.text == text)
                    return true;
            QTest::qWait(5);
        } while (timer.elapsed() < patientMs(2000));
        return false;
    }
};

TEST_F(Smile, AReleasedSmileClicksOnlyWhenItCounts)
{
    struct Row
    {
        const char *name;
        std::function<void()> act;
        int clicks;
    };
    const Row rows[] = {
        {"held 400 ms", [this] { smile(400); }, 1},
        {"shorter than the minimum", [this] { smile(80); }, 0},
        {"longer than the click interval", [this] { smile(1240); }, 0},
        {"the lips moving as it rises",
         [this] {
             face(40.0, 0, 0, 2.5);
             for (int i = 0; i < 10; ++i)
                 face(70.0, 0, 0, 2.5);
             face(0.0);
         },
         0},
        {"the head still fast at release",
         [this] {
             smile(300, 0.0, 0, false);
             face(0.0, 70.0);
         },
         0},
        {"the head fast as it starts",
         [this] {
             face(40.0, 20.0);
             face(70.0, 20.0);
             for (int i = 0; i < 8; ++i)
                 face(70.0);
             face(0.0);
         },
         0},
        {"a second smile 40 ms after the first",
         [this] {
             smile(300, 0.0, 0, false);
             face(58.0);
             clearLogs();
             smoothedLag = 30.0; // a rise accepted at once
             for (int i = 0; i < 8; ++i)
                 face(80.0);
             smoothedLag = -1.0;
             EXPECT_EQ(smileEpisode.tooSoon, 1);
             face(0.0);
         },
         0},
        {"the first frame jumped by more than 75",
         [this] {
             face(90.0);
             for (int i = 0; i < 8; ++i)
                 face(90.0);
             face(0.0);
         },
         0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        clock->advance(1000);
        face(0.0);
        clearLogs();
        row.act();
        EXPECT_EQ(clicks(), row.clicks);
        EXPECT_FALSE(anythingHeld());
        EXPECT_EQ(smileModeState.smileActive, 0);
        EXPECT_EQ(cursor(), QString());
    }
}

TEST_F(Smile, ASlowRiseIsAcceptedOnItsFifthFrameWithAnAdaptedThreshold)
{
    // Lips still, the face seen: each frame rises above the smoothed level by less than the
    // big step but more than a quarter of it.
    smoothedLag = 10.0;
    for (double level : {50.0, 62.0, 68.0, 74.0, 80.0}) {
        face(level);
        EXPECT_EQ(smileModeState.smileActive, 0) << level;
    }
    face(86.0);
    EXPECT_EQ(smileModeState.smileActive, 1);
    EXPECT_EQ(smileEpisode.threshold, 70);
}

TEST_F(Smile, EachStageShowsItsRingLabelAndCursorAtItsTime)
{
    smile(0, 0.0, 0, false);
    struct Row
    {
        quint32 at;
        quint32 colour;
        int duration;
        const char *label;
        const char *cursor;
    };
    const Row rows[] = {
        {160, 0x00FF00, 1000, "Move Head To POINT", "RoundedArrowTip-Small.cur"},
        {1160, 0x00FFFF, 1000, "Move Head to SCROLL", "ScrollMid2.cur"},
        {2160, 0x0000FF, 1800, "Move Head To DRAG", "DragArrowTip-Small.cur"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.label);
        while (elapsed() < row.at - 40)
            face(70.0);
        EXPECT_NE(cursor(), row.cursor);
        face(70.0);
        EXPECT_EQ(cursor(), row.cursor);
        EXPECT_TRUE(labelShown(row.label));
        EXPECT_EQ(GlobalProgressMeter.color(), row.colour);
        EXPECT_EQ(GlobalProgressMeter.duration(), row.duration);
        EXPECT_EQ(GlobalProgressMeter.diameter(), 100);
        EXPECT_EQ(GlobalProgressMeter.thickness(), 30);
    }
    // Held past the drag ring without moving: stuck, the ring and the cursors go.
    while (elapsed() <= 150 + 2150 + 3000)
        face(70.0);
    EXPECT_FALSE(GlobalProgressMeter.isRunning());
    EXPECT_EQ(cursor(), QString());
    face(0.0);
    EXPECT_EQ(buttonsAndKeys(), QStringList());
}

TEST_F(Smile, MovingTheHeadInAStageEntersItsModeAndTheReleaseEndsIt)
{
    struct Row
    {
        const char *name;
        int moveAt;
        qint32 SmileModeState::*mode;
        QStringList input;
        QStringList files;
        QList<SoundId> sounds;
    };
    const Row rows[] = {
        {"point", 300, &SmileModeState::pointingActive, {}, {}, {SoundId::Tick}},
        {"scroll",
         1200,
         &SmileModeState::scrollingActive,
         {},
         {"ScrollTick-Short-25ms.wav"},
         {SoundId::Tock}},
        {"drag",
         2200,
         &SmileModeState::draggingActive,
         {"button(left,down)", "button(left,up)"},
         {},
         {SoundId::LmbPress, SoundId::LmbRelease, SoundId::Tock}},
    };
    trackingParameters.SOUND_SCROLL = false; // the scroll ticks aside; the entry sound stays
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        clock->advance(1000);
        face(0.0);
        clearLogs();
        smile(row.moveAt + 200, 10.0, row.moveAt, false);
        EXPECT_EQ(smileModeState.*row.mode, 1);
        EXPECT_EQ(smileModeState.smileSustained, 1);
        relax();
        EXPECT_EQ(smileModeState.*row.mode, 0);
        EXPECT_EQ(buttonsAndKeys(), row.input);
        EXPECT_EQ(sounds(), row.sounds);
        EXPECT_EQ(cursor(), QString());
        EXPECT_FALSE(GlobalProgressMeter.isRunning());
    }
    // Only the stage's entry sound was played from its file.
    trackingParameters.SOUND_SCROLL = true;
}

TEST_F(Smile, LiveValuesFollowTheLevelAndTheEpisode)
{
    QSignalSpy levels(engineSignals(), &EngineSignals::expressionIntensityChanged);
    QSignalSpy states(engineSignals(), &EngineSignals::expressionStateChanged);
    smile(300, 0.0, 0, false);
    const QList<QVariant> th = levels.at(levels.count() - 2);
    const QList<QVariant> dur = levels.last();
    EXPECT_EQ(th.at(0).toString(), "Smile-TH");
    EXPECT_EQ(th.at(1).toInt(), 70);
    EXPECT_EQ(dur.at(0).toString(), "Smile-MinDur");
    EXPECT_EQ(dur.at(1).toInt(), int(elapsed()));
    EXPECT_FALSE(dur.at(3).toBool());
    EXPECT_EQ(states.last(), (QList<QVariant>{"Smile", true}));
    face(0.0);
    EXPECT_EQ(states.last(), (QList<QVariant>{"Smile", false}));

    // A rejected episode (the head moving as it starts) shows grey.
    clock->advance(1000);
    face(40.0, 20.0);
    face(70.0, 20.0);
    face(70.0);
    EXPECT_TRUE(levels.last().at(3).toBool());
    EXPECT_EQ(states.last(), (QList<QVariant>{"Smile", false}));
}

TEST_F(Smile, LookingAwayIgnoresTheSmileWhenAsked)
{
    trackingParameters.IGNORE_SMILE_WHEN_LOOKING_AWAY = true;
    FacialDetectionApp::instance()->setPointerOffScreen(true);
    smile(400);
    EXPECT_EQ(clicks(), 0);
    FacialDetectionApp::instance()->setPointerOffScreen(false);
    clock->advance(1000);
    smile(400);
    EXPECT_EQ(clicks(), 1);
}

TEST_F(Smile, AFrameThatSkipsTheSmileLeavesItIdleWithNothingHeldOrShown)
{
    QSignalSpy scrollImages(engineSignals(), &EngineSignals::ScrollSN_SetImagePath);
    QSignalSpy smileImages(engineSignals(), &EngineSignals::SmileSN_SetImagePath);
    struct Row
    {
        const char *name;
        int holdMs;
        int moveAt;
    };
    // Pressed in the drag stage; scrolling; a rise still watched.
    const Row rows[] = {{"dragging", 2300, 2200}, {"scrolling", 1300, 1200}, {"pending", -1, 0}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        clock->advance(1000);
        face(0.0);
        scrollImages.clear();
        if (row.holdMs < 0) {
            face(40.0);
            face(62.0);
            ASSERT_TRUE(isSmilePending());
        } else {
            smile(row.holdMs, 10.0, row.moveAt, false);
        }
        const bool wasScrolling = smileModeState.scrollingActive != 0;
        interruptGestures();
        EXPECT_FALSE(anythingHeld());
        EXPECT_EQ(cursor(), QString());
        EXPECT_FALSE(GlobalProgressMeter.isRunning());
        EXPECT_EQ(smileModeState.smileActive, 0);
        EXPECT_EQ(smileModeState.draggingActive + smileModeState.pointingActive +
                      smileModeState.scrollingActive,
                  0);
        EXPECT_FALSE(isSmilePending());
        EXPECT_EQ(smileImages.last().first().toString(), "invisible.png");
        if (wasScrolling) {
            EXPECT_EQ(scrollImages.last().first().toString(), "invisible.png");
        }
        // The smile still held does not pick up where it was.
        const double held = frameRecords.metrics.smileLevel;
        for (int i = 0; i < 10; ++i)
            face(held);
        EXPECT_EQ(smileModeState.smileActive, 0);
        EXPECT_FALSE(anythingHeld());
    }
}

TEST_F(Smile, SwitchedOffItEndsOnlyWhatIsItsOwn)
{
    // A scroll the click option began, with the smile off, goes on.
    clickOptionState.CLICK_OPTION_SCROLL_MODE = 1;
    startScrollMode();
    interruptSmileGesture();
    EXPECT_EQ(smileModeState.scrollingActive, 1);
    interruptGestures();
    EXPECT_EQ(smileModeState.scrollingActive, 0);
}

TEST_F(Smile, TheClickSpeedLimitWidensAtTheStartWithClickAssist)
{
    trackingParameters.ESCAPE_VELOCITY = 4;
    trackingParameters.TREMOR_CONTROL = 0;
    trackingParameters.CLICK_ASSIST_LEVEL = 15;
    trackingParameters.ESCAPE_SPEED = 4;
    trackingParameters.MODE_FULL_FUNCTION = true;
    struct Row
    {
        int motionMode;
        int t;
        double allowed;
    };
    const Row rows[] = {{1, 0, 19.0},   {1, 300, 19.0}, {1, 900, 11.5},
                        {1, 1500, 4.0}, {1, 3000, 4.0}, {0, 0, 4.0}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.t);
        clickOptionState.MOTION_MODE = row.motionMode;
        frameRecords.motion.smoothedPointerVelocity = cv::Point2d(row.allowed, 0.0);
        EXPECT_FALSE(exceedsClickSpeedLimit(row.t));
        frameRecords.motion.smoothedPointerVelocity = cv::Point2d(row.allowed + 0.01, 0.0);
        EXPECT_TRUE(exceedsClickSpeedLimit(row.t));
    }
}

TEST_F(Smile, TheStageFlagsReachTheMeasurements)
{
    EXPECT_FALSE(isSmileStageActive());
    smile(200, 0.0, 0, false);
    EXPECT_TRUE(isSmileStageActive());
    face(0.0);
    EXPECT_FALSE(isSmileStageActive());
    // A small rise is watched before it counts.
    face(40.0);
    face(62.0);
    EXPECT_TRUE(isSmilePending());
}

TEST_F(Smile, WithoutTheSmileModePointingStartsAFrameAfterThePointStage)
{
    clickOptionState.MOTION_MODE = 1;
    trackingParameters.MODE_FULL_FUNCTION = false;
    face(40.0);
    for (int i = 0; i < 50 && !smileModeState.peakTracked; ++i)
        face(70.0);
    ASSERT_EQ(smileModeState.peakTracked, 1);
    EXPECT_EQ(smileModeState.pointingActive, 0);
    // Released a frame later still clicks: the stage's first frame was its own.
    face(0.0);
    EXPECT_EQ(clicks(), 1);

    smile(600, 0.0, 0, false);
    EXPECT_EQ(smileModeState.pointingActive, 1);
    relax();
}

TEST_F(Smile, APressWithAReleasePendingLetsTheButtonGo)
{
    clickOptionState.CLICK_OPTION_DRAG_MODE = 1;
    // The first press picks up, the second arms the release (a second click would drop).
    primaryPress(true);
    primaryPress(true);
    ASSERT_EQ(clickOptionState.dragState, -1);
    primaryPress(true);
    EXPECT_EQ(clickOptionState.dragState, 0);
    EXPECT_FALSE(anythingHeld());
}

// The smile mapped to Space in the layout where it is the action itself: what it pressed goes
// up when it stands aside for a stuck eyebrow raise, and when its minimum is raised under it,
// whatever the head does meanwhile.
TEST_F(Smile, ASmileThatNoLongerHoldsLetsGoOfItsKey)
{
    clickOptionState.MOTION_MODE = 1;
    trackingParameters.MODE_FULL_FUNCTION = true;
    trackingParameters.FEMAP_INDEX_SMILE = 3;
    const auto spaceHeld = [] { return platform::inputSynthesis().isHeld(platform::Key::Space); };
    for (const bool raisedMinimum : {false, true}) {
        SCOPED_TRACE(raisedMinimum ? "the minimum raised" : "a stuck raise");
        smile(400, 0.0, 0, false);
        ASSERT_TRUE(spaceHeld());
        if (raisedMinimum) {
            trackingParameters.SMILE_MINDUR = 5000;
        } else {
            eyebrowRaiseState.raise.inProgress = 1;
            eyebrowRaiseState.raise.stuck = 1;
            face(70.0, 8.0);
            EXPECT_FALSE(spaceHeld()) << "the smile stands aside";
        }
        for (int i = 0; i < 10; ++i)
            face(0.0, 8.0);
        EXPECT_FALSE(spaceHeld());
        EXPECT_FALSE(gestureHoldsInput(InputOwner::Smile) || ownerHolds(InputOwner::Smile));
        eyebrowRaiseState = EyebrowRaiseState{};
        trackingParameters.SMILE_MINDUR = 150;
        relax();
        clock->advance(1000);
    }
}

// Where the smile is the left button itself: held still past its pointing stage, then the
// head moves. The smile is held on by the head without pointing; relaxed with the head at
// rest it lets go of the button.
TEST_F(Smile, ASmileHeldOnWithoutPointingLetsGoWhenTheHeadRests)
{
    clickOptionState.MOTION_MODE = 1;
    trackingParameters.MODE_FULL_FUNCTION = true;
    trackingParameters.FEMAP_INDEX_SMILE = 1;
    const auto leftHeld = [] {
        return platform::inputSynthesis().isHeld(platform::MouseButton::Left);
    };
    smile(1600, 20.0, 1400, false);
    ASSERT_TRUE(leftHeld());
    ASSERT_EQ(smileModeState.smileSustained, 1);
    ASSERT_EQ(smileModeState.pointingActive, 0);
    face(0.0, 20.0);
    EXPECT_TRUE(leftHeld()) << "held on while the head moves";
    for (int i = 0; i < 40 && leftHeld(); ++i)
        face(0.0);
    EXPECT_FALSE(leftHeld());
}

class Scroll : public Smile
{
protected:
    // One frame with the head moved by `dy` (of its 20-times shift; up is negative).
    void headStep(int dy, double speed = 5.0)
    {
        frame(speed);
        frameRecords.motion.headShiftY20 = dy;
        frameRecords.seen.hogSeenMs = frameRecords.seen.boxSeenMs = now();
        procScroll();
    }
    static QStringList wheel()
    {
        QStringList out;
        for (const QString &call : input())
            if (call.startsWith(QLatin1String("wheel")))
                out << call;
        return out;
    }
};

TEST_F(Scroll, TheHeadsTravelSetsTheSpeedStepAndCursor)
{
    struct Row
    {
        int travel; // up is positive
        int index;
        int step;
        const char *cursor;
    };
    const Row rows[] = {{59, 0, 0, "ScrollMid2.cur"},     {79, 1, 0, "ScrollUP2.cur"},
                        {80, 2, 1, "ScrollUP2.cur"},      {-80, 2, -1, "ScrollDOWN2.cur"},
                        {550, 49, 1440, "ScrollUP2.cur"}, {900, 49, 1440, "ScrollUP2.cur"}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.travel);
        startScrollMode();
        headStep(0);
        clearLogs();
        headStep(-row.travel);
        EXPECT_EQ(scrollSpeedIndex(), row.index);
        EXPECT_EQ(scrollOffset(), row.step);
        // 120 units a notch.
        EXPECT_EQ(wheel(), row.step == 1440 ? repeated(12, "wheel(up)") : QStringList());
        EXPECT_EQ(cursor(), row.cursor);
        smileModeState.scrollingActive = 0;
    }
}

TEST_F(Scroll, TicksComeFasterFartherOutAndTheMiddleCursorIsSetOnEntry)
{
    trackingParameters.SOUND_SCROLL = true;
    startScrollMode();
    for (int i = 0; i < 25; ++i) // 1 s in the dead zone
        headStep(0);
    EXPECT_EQ(soundFiles().count(), 2);
    const QStringList cursorCalls = platform::recordingLog().calls(QStringLiteral("cursors"));
    EXPECT_EQ(cursorCalls.filter("ScrollMid2.cur").count(), 4); // four cursors, set once
    clearLogs();
    headStep(-80);
    for (int i = 0; i < 24; ++i)
        headStep(0);
    // From a travel of 75 on, every 250 ms.
    EXPECT_EQ(soundFiles(), repeated(4, "ScrollTick-Short-25ms-Soft.wav"));
    clearLogs();
    headStep(80); // back into the dead zone
    headStep(0);
    EXPECT_EQ(platform::recordingLog().calls("cursors").filter("ScrollMid2.cur").count(), 4);
}

TEST_F(Scroll, TheClickOptionsScrollEndsByParkingOrLostFaceAndReturnsThePointer)
{
    clickOptionState.CLICK_OPTION_SCROLL_MODE = 1;
    trackingParameters.DWELL_PARK_TIME = 500;
    struct Row
    {
        const char *name;
        bool scrolled;
        std::function<void()> rest;
        bool ends;
    };
    const Row rows[] = {
        {"resting after it scrolled", true,
         [this] {
             for (int i = 0; i < 15; ++i)
                 headStep(0, 0.0);
         },
         true},
        {"resting before it scrolled", false,
         [this] {
             for (int i = 0; i < 15; ++i)
                 headStep(0, 0.0);
         },
         false},
        {"the face untracked for 2 s", false,
         [this] {
             const quint32 seen = now();
             while (now() - seen <= 2000) {
                 frame(5.0);
                 procScroll();
             }
         },
         true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        setPointer(500, 400);
        headStep(0);
        startScrollMode();
        if (row.scrolled) {
            headStep(-200);
            headStep(200);
        }
        setPointer(700, 900);
        clearLogs();
        row.rest();
        EXPECT_EQ(smileModeState.scrollingActive, row.ends ? 0 : 1);
        EXPECT_EQ(pointer(), row.ends ? QPoint(500, 400) : QPoint(700, 900));
        EXPECT_EQ(clickOptionState.clickPerformed, row.ends ? 1 : 0);
        smileModeState.scrollingActive = 0;
        clickOptionState.clickPerformed = 0;
    }
}

TEST_F(Scroll, ASmileScrollEndsAtTheReleaseWithItsImageHidden)
{
    QSignalSpy scrollImages(engineSignals(), &EngineSignals::ScrollSN_SetImagePath);
    smile(1300, 10.0, 1200, false);
    ASSERT_EQ(smileModeState.scrollingActive, 1);
    shiftY = -300;
    face(70.0);
    EXPECT_FALSE(wheel().isEmpty());
    shiftY = 300; // back into the dead zone to rest there
    face(0.0);
    shiftY = 0;
    relax();
    EXPECT_EQ(smileModeState.scrollingActive, 0);
    EXPECT_EQ(scrollImages.last().first().toString(), "invisible.png");
}

// Paused clicking turns no wheel: the head moving in the scroll stage begins no scroll, so
// neither the scroll's tick nor its image comes, frame after frame.
TEST_F(Scroll, WhileClickingIsPausedTheScrollStageBeginsNoScroll)
{
    FacialDetectionApp::instance()->clickingActive = false;
    QSignalSpy scrollImages(engineSignals(), &EngineSignals::ScrollSN_SetImagePath);
    smile(1600, 10.0, 1200, false);
    EXPECT_EQ(smileModeState.scrollingActive, 0);
    EXPECT_EQ(soundFiles().join(", ").toStdString(), "") << "ticks of a scroll begun";
    EXPECT_EQ(scrollImages.count(), 0) << "images of a scroll ended";
    EXPECT_TRUE(wheel().isEmpty());
    relax();
}

} // namespace
