// The slow blink, mouth-open and eyebrow-raise gestures driven by synthetic frames: when
// they issue their action, when they let go, and what stops them.

#include "engine/FacialGestures.h"
#include "core/FacialDetectionApp.h"
#include "engine/ClickEngine.h"
#include "engine/EngineSignals.h"
#include "engine/EngineState.h"
#include "engine/ParkTimers.h"
#include "engine/TrackingParameters.h"
#include "platform/InputSynthesis.h"
#include "platform/Platform.h"
#include "tests/engine/EngineTestSupport.h"
#include "vision/FrameRecords.h"

#include <QSignalSpy>

#include <functional>
#include <random>

namespace {

const QString Down = QStringLiteral("key(F13,down)");
const QString Up = QStringLiteral("key(F13,up)");

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

class FacialGesture : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        TrackingParameters &p = trackingParameters;
        p.SLOWBLINK_THRESHOLD = 85;
        p.SLOWBLINK_MINDUR = 200;
        p.SLOWBLINK_MAXDUR = 2000;
        p.SLOWBLINK_THROTTLETIME = 500;
        p.MOUTHOPEN_THRESHOLD = 5;
        p.MOUTHOPEN_MINDUR = 500;
        p.MOUTHOPEN_THROTTLETIME = 500;
        p.EYEBROWRAISE_THRESHOLD = 3;
        p.EYEBROWRAISE_MINDUR = 125;
        p.PCE_SUSTAIN_TIME_DELTA_TO_STICK = 1125;
        p.GESTURE_MINDUR_FLOOR = 75;
        p.MAX_MOTION_AT_SMILE_START = 15;
        p.ESCAPE_SPEED = 4;
        p.PARK_SPEED = 3;
        p.IGNORE_BLINK_WHEN_LOOKING_AWAY = p.IGNORE_MOUTHOPEN_WHEN_LOOKING_AWAY =
            p.IGNORE_EYEBROWRAISE_WHEN_LOOKING_AWAY = false;
        // F13 reaches nothing else.
        p.FEMAP_INDEX_SLOWBLINK = p.FEMAP_INDEX_MOUTHOPEN = p.FEMAP_INDEX_EYEBROWRAISE = 7;
        blinkState = BlinkState{};
        mouthOpenState = MouthOpenState{};
        eyebrowRaiseState = EyebrowRaiseState{};
        parkTimers = ParkTimers{};
        clearSlidingWindows();
        smileEpisode = SmileEpisode{};
        app()->setPointerOffScreen(false);
        frameRecords.metrics = FacialMetrics{};
        // The eyebrow's rates need frames before.
        for (int i = 0; i < 3; ++i)
            browFrame(0.0);
        // The face rests with its mouth shut before any gesture.
        mouthFrame(0.0);
        clearLogs();
        timeline.clear();
        t0 = now();
    }
    void TearDown() override
    {
        interruptFacialGestures();
        EngineTest::TearDown();
    }

    // One frame through one handler; what reached the desktop joins the timeline with its
    // time since t0.
    void run(void (*handler)(), double vx, int dtMs, const std::function<void()> &measure)
    {
        frame(vx, 0.0, dtMs);
        measure();
        const int before = int(buttonsAndKeys().size());
        handler();
        const QStringList after = buttonsAndKeys();
        for (int i = before; i < after.size(); ++i)
            timeline << QStringLiteral("%1@%2").arg(after[i]).arg(now() - t0);
    }
    void blinkFrame(double level, double vx = 0.0, int dtMs = 20)
    {
        run(procBlinkEvent, vx, dtMs, [level] { frameRecords.metrics.blinkLevelA = level; });
    }
    void blinkFor(double level, int ms, double vx = 0.0)
    {
        for (int t = 0; t < ms; t += 20)
            blinkFrame(level, vx);
    }
    // The eyes closed at t0 and opened `closedMs` later.
    void slowBlink(int closedMs)
    {
        t0 = now() + 20;
        blinkFrame(100.0);
        int elapsed = 0;
        while (closedMs - elapsed > 20) {
            blinkFrame(100.0);
            elapsed += 20;
        }
        blinkFrame(0.0, 0.0, closedMs - elapsed);
    }
    // The mouth level, its slow follower following it.
    void mouthFrame(double level, double vx = 0.0)
    {
        run(procMouthOpenEvent, vx, 20, [level] {
            FacialMetrics &m = frameRecords.metrics;
            m.mouthOpenSlow = 0.8 * frameRecords.previousMetrics.mouthOpenSlow + 0.2 * level;
            m.mouthOpenPeak = level;
        });
    }
    void mouthFor(double level, int ms, double vx = 0.0)
    {
        for (int t = 0; t < ms; t += 20)
            mouthFrame(level, vx);
    }
    // The forehead's running sum at `sum`, its slow follower following it as the metrics do.
    void browFrame(double sum, double vx = 0.0)
    {
        run(procEyebrowRaiseEvent, vx, 40, [sum] {
            FacialMetrics &m = frameRecords.metrics;
            m.regionTiltSum[1] = sum;
            m.regionTiltSumSmoothed[0] =
                0.9 * frameRecords.previousMetrics.regionTiltSumSmoothed[0] + 0.1 * sum;
        });
    }
    // Up by `step` a frame to `top` over where it was, and held there for `holdMs`.
    double liftBrows(double step, double top, int holdMs, double vxHold = 0.0)
    {
        const double base = frameRecords.metrics.regionTiltSum[1];
        t0 = now() + 40;
        for (double s = base + step; s < base + top + 1e-9; s += step)
            browFrame(s);
        for (int t = 0; t < holdMs; t += 40)
            browFrame(base + top, vxHold);
        return base;
    }
    // The same, then back down to where it began.
    void raiseBrows(double step, double top, int holdMs, double vxHold = 0.0)
    {
        browFrame(liftBrows(step, top, holdMs, vxHold), vxHold);
    }
    static bool keyHeld() { return platform::inputSynthesis().isHeld(platform::Key::F13); }
    static QStringList names(const QSignalSpy &spy, int from = 0)
    {
        QStringList out;
        for (int i = from; i < spy.count(); ++i)
            out << spy.at(i).at(0).toString() + (spy.at(i).size() > 2       ? ""
                                                 : spy.at(i).at(1).toBool() ? "+"
                                                                            : "-");
        return out;
    }

    QStringList timeline;
    quint32 t0 = 0;
    QSignalSpy values{engineSignals(), &EngineSignals::expressionIntensityChanged};
    QSignalSpy states{engineSignals(), &EngineSignals::expressionStateChanged};
};

TEST_F(FacialGesture, SlowBlinkTiming)
{
    struct Row
    {
        const char *what;
        bool instant;
        int closedMs;
        QStringList expected;
    };
    const Row rows[] = {
        {"an ordinary blink", false, 199, {}},
        {"held: pressed at the minimum, released on opening",
         false,
         300,
         {Down + "@200", Up + "@300"}},
        {"instant: one press at the minimum, nothing on opening",
         true,
         300,
         {Down + "@200", Up + "@200"}},
        {"the minimum reached only as the eyes open", false, 200, {Down + "@200", Up + "@200"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        trackingParameters.INSTANT_CLICK = row.instant;
        blinkFor(0.0, 600);
        timeline.clear();
        slowBlink(row.closedMs);
        EXPECT_EQ(timeline, row.expected);
        EXPECT_EQ(blinkState.current.inProgress, 0);
        // Only a blink of the minimum starts the throttle time.
        EXPECT_EQ(blinkState.hadBlink, row.closedMs >= 200);
        blinkState = BlinkState{};
    }
}

TEST_F(FacialGesture, LeftButtonBlinkHoldsAtEightyPercentThenReleasesAndCountsAsAClick)
{
    trackingParameters.FEMAP_INDEX_SLOWBLINK = 1;
    blinkFor(100.0, 260);
    EXPECT_TRUE(platform::inputSynthesis().isHeld(platform::MouseButton::Left));
    blinkFor(70.0, 400); // 0.8 x 85 = 68 keeps it closed after the minimum
    EXPECT_TRUE(platform::inputSynthesis().isHeld(platform::MouseButton::Left));
    EXPECT_EQ(names(states), QStringList{"Blink+"});
    blinkFrame(60.0);
    EXPECT_FALSE(platform::inputSynthesis().isHeld(platform::MouseButton::Left));
    EXPECT_EQ(clickOptionState.clickPerformed, 1);
    EXPECT_EQ(names(states), (QStringList{"Blink+", "Blink-"}));
    // Every frame sends its four values, in order.
    const QStringList last = names(values, values.count() - 4);
    EXPECT_EQ(last, (QStringList{"Blink-TH", "Blink-MinDur", "Blink-Throttle", "Blink-MaxDur"}));
}

TEST_F(FacialGesture, ASecondBlinkWithinTheThrottleTimeDoesNotStart)
{
    slowBlink(300);
    blinkFor(0.0, 200);
    slowBlink(300);
    EXPECT_EQ(timeline.size(), 2);
    blinkFor(0.0, 400);
    slowBlink(300);
    EXPECT_EQ(timeline.size(), 4);
}

TEST_F(FacialGesture, StuckBlinkKeepsTheButtonUntilTheHeadRests)
{
    trackingParameters.FEMAP_INDEX_SLOWBLINK = 1;
    blinkFor(100.0, 260);       // the minimum passed: pressed
    blinkFor(100.0, 100, 12.0); // a drag with the eyes closed
    blinkFor(0.0, 1000, 12.0);  // the eyes open, the head still moving
    EXPECT_TRUE(platform::inputSynthesis().isHeld(platform::MouseButton::Left));
    const quint32 restFrom = now();
    while (platform::inputSynthesis().isHeld(platform::MouseButton::Left) &&
           now() - restFrom < 2000)
        blinkFrame(0.0);
    EXPECT_GE(now() - restFrom, 500u);
    EXPECT_LE(now() - restFrom, 560u);
}

TEST_F(FacialGesture, BlinkLookingAwayOrMovingIsBlockedAndGrey)
{
    for (bool away : {true, false}) {
        SCOPED_TRACE(away ? "looking away" : "head moving");
        trackingParameters.IGNORE_BLINK_WHEN_LOOKING_AWAY = true;
        app()->setPointerOffScreen(away);
        values.clear();
        blinkFor(100.0, 400, away ? 0.0 : 20.0);
        EXPECT_TRUE(timeline.isEmpty());
        ASSERT_GE(values.count(), 4);
        EXPECT_TRUE(values.at(0).at(3).toBool()) << "Blink-TH grey";
        EXPECT_FALSE(values.at(2).at(3).toBool()) << "Blink-Throttle never grey";
        blinkFor(0.0, 100);
    }
}

TEST_F(FacialGesture, MouthOpenPressesPointsAndReleasesWithThePointingModeBack)
{
    trackingParameters.FEMAP_INDEX_MOUTHOPEN = 1;
    smileModeState.pointingActive = 0;
    mouthFor(20.0, 300);
    EXPECT_EQ(smileModeState.pointingActive, 0); // the pointer holds still while opening
    mouthFor(20.0, 300);
    EXPECT_TRUE(platform::inputSynthesis().isHeld(platform::MouseButton::Left));
    EXPECT_EQ(smileModeState.pointingActive, 1);
    EXPECT_EQ(pointerEngineState.parkState, 1);
    EXPECT_TRUE(isMouthOpenInProgress());
    EXPECT_TRUE(isAnyGestureActionStarted());
    // One frame whose fit flipped shut, then open again: still held. Two shut frames end it.
    mouthFrame(2.0);
    mouthFrame(20.0);
    mouthFrame(2.0);
    EXPECT_TRUE(platform::inputSynthesis().isHeld(platform::MouseButton::Left));
    mouthFrame(2.0);
    EXPECT_FALSE(platform::inputSynthesis().isHeld(platform::MouseButton::Left));
    EXPECT_EQ(smileModeState.pointingActive, 0);
    EXPECT_EQ(clickOptionState.clickPerformed, 1);
    EXPECT_EQ(names(states), (QStringList{"Mo+", "Mo-"}));
    EXPECT_EQ(names(values, values.count() - 3),
              (QStringList{"Mo-TH", "Mo-MinDur", "Mo-Throttle"}));
}

TEST_F(FacialGesture, MouthOpeningsThatIssueNothing)
{
    struct Row
    {
        const char *what;
        std::function<void()> before;
        int openMs;
        // From the second frame of the opening on.
        double vx;
        bool lookingAway;
        double lipMotion;
        // The level goes out in every frame but those that cancel or refuse an opening.
        bool levelAlwaysSent;
    };
    const auto nothing = [] {};
    const Row rows[] = {
        {"shorter than the minimum", nothing, 300, 0.0, false, 0.0, true},
        {"while a smile is on", [] { smileModeState.smileActive = 1; }, 700, 0.0, false, 0.0, true},
        {"within the throttle of a smile", [this] { smileEpisode.endMs = now() - 100; }, 700, 0.0,
         false, 0.0, true},
        {"with the head moving", nothing, 700, 20.0, false, 0.0, false},
        {"looking away", nothing, 700, 0.0, true, 0.0, false},
        {"with the lips moving", nothing, 700, 0.0, false, 2.0, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        smileModeState.pointingActive = 1;
        row.before();
        values.clear();
        int frames = 0;
        for (int t = 0; t < row.openMs; t += 20, ++frames) {
            if (t > 0 && row.lookingAway) {
                trackingParameters.IGNORE_MOUTHOPEN_WHEN_LOOKING_AWAY = true;
                app()->setPointerOffScreen(true);
            }
            run(procMouthOpenEvent, t > 0 ? row.vx : 0.0, 20, [&row] {
                FacialMetrics &m = frameRecords.metrics;
                m.mouthOpenSlow = 0.8 * frameRecords.previousMetrics.mouthOpenSlow + 0.2 * 20.0;
                m.mouthOpenPeak = 20.0;
                frameRecords.motion.lipMotion = row.lipMotion;
            });
        }
        EXPECT_EQ(names(values).count("Mo-TH") == frames, row.levelAlwaysSent);
        mouthFor(0.0, 600);
        EXPECT_TRUE(timeline.isEmpty());
        EXPECT_EQ(smileModeState.pointingActive, 1) << "the pointing mode is given back";
        smileModeState = SmileModeState{};
        smileEpisode = SmileEpisode{};
        trackingParameters.IGNORE_MOUTHOPEN_WHEN_LOOKING_AWAY = false;
        app()->setPointerOffScreen(false);
    }
}

TEST_F(FacialGesture, EyebrowLimitsFollowTheThreshold)
{
    struct Row
    {
        int threshold;
        double rise, fast, slow;
    };
    // A threshold below 1 from the file counts as 1.
    const Row rows[] = {{3, 1.24, 15.0, 10.0},      {2, 0.8267, 1.0, 0.6667},
                        {1, 0.2067, 0.125, 0.0833}, {4, 1.6533, 20.0, 13.333},
                        {0, 0.2067, 0.125, 0.0833}, {-5, 0.2067, 0.125, 0.0833}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.threshold);
        const EyebrowLimits l = eyebrowLimits(row.threshold);
        EXPECT_NEAR(l.riseLimit, row.rise, 1e-3);
        EXPECT_NEAR(l.fastRate, row.fast, 1e-3);
        EXPECT_NEAR(l.slowRate, row.slow, 1e-3);
    }
}

TEST_F(FacialGesture, EyebrowRaises)
{
    struct Row
    {
        const char *what;
        double step, top;
        int holdMs;
        bool lookingAway;
        QStringList expected;
        QStringList statesSent;
    };
    const Row rows[] = {
        {"held: pressed at the minimum, released when the brows come down",
         1.0,
         6.0,
         400,
         false,
         {Down + "@200", Up + "@640"},
         {"Ebr+", "Ebr-"}},
        {"down before the minimum", 1.0, 3.0, 0, false, {}, {"Ebr-"}},
        {"a lift above 6 at the minimum is the whole face", 3.0, 30.0, 400, false, {}, {"Ebr-"}},
        {"looking away", 1.0, 6.0, 400, true, {}, {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        trackingParameters.IGNORE_EYEBROWRAISE_WHEN_LOOKING_AWAY = true;
        app()->setPointerOffScreen(row.lookingAway);
        states.clear();
        values.clear();
        timeline.clear();
        raiseBrows(row.step, row.top, row.holdMs);
        EXPECT_EQ(timeline, row.expected);
        EXPECT_EQ(names(states), row.statesSent);
        EXPECT_EQ(eyebrowRaiseState.raise.inProgress, 0);
        // "Ebr-TH" then "Ebr-MinDur" every frame; the duration is never grey.
        ASSERT_EQ(values.count() % 2, 0);
        for (int i = 0; i < values.count(); i += 2) {
            EXPECT_EQ(values.at(i).at(0).toString(), "Ebr-TH");
            EXPECT_FALSE(values.at(i + 1).at(3).toBool());
        }
        app()->setPointerOffScreen(false);
        for (int i = 0; i < 10; ++i)
            browFrame(0.0);
    }
}

TEST_F(FacialGesture, StuckEyebrowRaiseKeepsTheButtonUntilTheHeadRests)
{
    trackingParameters.FEMAP_INDEX_EYEBROWRAISE = 1;
    raiseBrows(1.0, 6.0, 1400, 8.0); // past the minimum and the stick time, the head moving
    for (int t = 0; t < 800; t += 40)
        browFrame(0.0, 8.0);
    EXPECT_TRUE(platform::inputSynthesis().isHeld(platform::MouseButton::Left));
    const quint32 restFrom = now();
    while (platform::inputSynthesis().isHeld(platform::MouseButton::Left) &&
           now() - restFrom < 3000)
        browFrame(0.0);
    EXPECT_GE(now() - restFrom, 500u);
    EXPECT_LE(now() - restFrom, 600u);
    EXPECT_EQ(clickOptionState.clickPerformed, 1);
}

TEST_F(FacialGesture, AStuckRaiseEndsWithTheBrowsOnceFullFunctionIsOff)
{
    trackingParameters.FEMAP_INDEX_EYEBROWRAISE = 1;
    liftBrows(1.0, 6.0, 1400, 8.0); // past the minimum and the stick time, the head moving
    ASSERT_EQ(eyebrowRaiseState.raise.stuck, 1);
    trackingParameters.MODE_FULL_FUNCTION = false;
    for (int i = 0; i < 5; ++i)
        browFrame(0.0, 8.0); // the brows down, the head still moving
    EXPECT_FALSE(platform::inputSynthesis().isHeld(platform::MouseButton::Left));
    EXPECT_EQ(eyebrowRaiseState.raise.inProgress, 0);
}

TEST_F(FacialGesture, ARaiseLivesThroughAShortFaceLossAndEndsWhenTheFaceStaysLost)
{
    const double base = liftBrows(1.0, 6.0, 400);
    ASSERT_TRUE(keyHeld());
    const auto lostFor = [this](int ms) {
        for (int t = 0; t < ms; t += 40)
            run(procEyebrowRaiseEvent, 0.0, 40, [] { frameRecords.detection.faceFound = false; });
    };
    lostFor(400);
    browFrame(base + 6.0);
    EXPECT_TRUE(keyHeld());
    EXPECT_EQ(eyebrowRaiseState.raise.inProgress, 1);
    lostFor(560);
    EXPECT_FALSE(keyHeld());
    EXPECT_EQ(eyebrowRaiseState.raise.inProgress, 0);
}

// Pointing with the mouth open takes as long as the user needs: the key stays down and the
// drag goes on for half a minute of head motion, and closing the mouth ends each.
TEST_F(FacialGesture, AMouthHeldOpenHalfAMinuteWhileTheHeadMovesKeepsItsKeyAndItsDrag)
{
    mouthFor(20.0, 600);
    ASSERT_TRUE(keyHeld());
    mouthFor(20.0, 30000, 8.0);
    EXPECT_TRUE(keyHeld());
    mouthFor(2.0, 40);
    EXPECT_FALSE(keyHeld());

    interruptFacialGestures();
    mouthFor(0.0, 1000);
    trackingParameters.FEMAP_INDEX_MOUTHOPEN = 1;
    const auto leftHeld = [] {
        return platform::inputSynthesis().isHeld(platform::MouseButton::Left);
    };
    mouthFor(20.0, 600);
    ASSERT_TRUE(leftHeld());
    mouthFor(20.0, 30000, 8.0);
    mouthFor(20.0, 1000);
    EXPECT_TRUE(leftHeld()) << "dragged with the head for half a minute, then at rest";
    // Closed with the head at rest, the drag ends once the head has rested.
    for (int t = 0; t < 4000 && leftHeld(); t += 20)
        mouthFrame(0.0);
    EXPECT_FALSE(leftHeld());
}

// A still face whose fit shakes below the threshold presses nothing for a minute; each of
// three openings, one of them flipping shut for a frame, presses once and lets go once.
TEST_F(FacialGesture, AStillFaceOpensNothingAndEachOpeningPressesOnce)
{
    std::mt19937 rng(24);
    std::uniform_real_distribution<double> jitter(0.0, 4.5);
    for (int t = 0; t < 60000; t += 20)
        mouthFrame(jitter(rng));
    EXPECT_TRUE(timeline.isEmpty()) << timeline.join(' ').toStdString();
    for (int i = 0; i < 3; ++i) {
        mouthFor(20.0, 700);
        if (i == 1)
            mouthFrame(jitter(rng));
        mouthFor(20.0, 500);
        mouthFor(jitter(rng), 1000);
    }
    EXPECT_EQ(timeline.filter(Down + "@").size(), 3) << timeline.join(' ').toStdString();
    EXPECT_EQ(timeline.filter(Up + "@").size(), 3);
    EXPECT_FALSE(keyHeld());
}

// A gesture whose own state no longer holds its action lets go of the key at once: the mouth
// standing aside for a smile, a minimum raised under a held blink or opening.
TEST_F(FacialGesture, AGestureThatNoLongerHoldsLetsGoOfItsKey)
{
    struct Row
    {
        const char *what;
        std::function<void()> hold;
        std::function<void()> change;
        std::function<void()> next;
    };
    const Row rows[] = {
        {"an opening standing aside for a smile", [this] { mouthFor(20.0, 600); },
         [] { smileModeState.smileActive = 1; }, [this] { mouthFor(2.0, 400); }},
        {"an opening whose minimum was raised", [this] { mouthFor(20.0, 600); },
         [] { trackingParameters.MOUTHOPEN_MINDUR = 5000; }, [this] { mouthFor(2.0, 100); }},
        {"a blink whose minimum was raised", [this] { blinkFor(100.0, 300); },
         [] { trackingParameters.SLOWBLINK_MINDUR = 5000; }, [this] { blinkFor(0.0, 40); }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        row.hold();
        ASSERT_TRUE(keyHeld());
        row.change();
        row.next();
        EXPECT_FALSE(keyHeld());
        EXPECT_FALSE(ownerHolds(InputOwner::MouthOpen) || ownerHolds(InputOwner::SlowBlink));
        smileModeState = SmileModeState{};
        trackingParameters.MOUTHOPEN_MINDUR = 500;
        trackingParameters.SLOWBLINK_MINDUR = 200;
        blinkFor(0.0, 600);
        mouthFor(0.0, 1000);
    }
}

TEST_F(FacialGesture, ASlowBlinkStartsWithAThrottleOfZero)
{
    trackingParameters.SLOWBLINK_THROTTLETIME = 0;
    slowBlink(300);
    EXPECT_EQ(timeline, (QStringList{Down + "@200", Up + "@300"}));
}

// Pausing, calibrating, switching a gesture off or a real mouse taking over: a gesture
// holding its key lets go and is idle afterwards, by the call or by a skipped frame.
TEST_F(FacialGesture, InterruptionReleasesAndLeavesEachIdle)
{
    struct Row
    {
        const char *what;
        std::function<void()> hold;
        std::function<void()> next;
        std::function<bool()> idle;
    };
    const Row rows[] = {
        {"slow blink", [this] { blinkFor(100.0, 300); }, [this] { blinkFrame(100.0); },
         [] { return blinkState.current.actionStarted == 0; }},
        {"mouth open", [this] { mouthFor(20.0, 600); }, [this] { mouthFrame(20.0); },
         [] { return !isMouthOpenInProgress() && smileModeState.pointingActive == 0; }},
        {"eyebrow raise", [this] { liftBrows(1.0, 6.0, 400); },
         [this] { browFrame(frameRecords.metrics.regionTiltSum[1]); },
         [] { return eyebrowRaiseState.raise.inProgress == 0; }},
    };
    for (const Row &row : rows) {
        for (bool skipped : {false, true}) {
            SCOPED_TRACE(std::string(row.what) + (skipped ? ", a skipped frame" : ", the call"));
            row.hold();
            ASSERT_TRUE(keyHeld());
            EXPECT_TRUE(isAnyGestureActionStarted());
            if (skipped) {
                frame();
                row.next();
            } else {
                interruptFacialGestures();
            }
            EXPECT_FALSE(keyHeld());
            EXPECT_TRUE(row.idle());
            EXPECT_FALSE(isAnyGestureActionStarted());
            // Back to rest for the next case.
            interruptFacialGestures();
            blinkFor(0.0, 600);
            mouthFor(0.0, 600);
            for (int i = 0; i < 20; ++i)
                browFrame(0.0);
        }
    }
}

} // namespace
