// Random sequences over the whole click engine: face levels, head motion, lost faces and
// frames, settings, pauses, calibration, a real mouse and the program's own windows, mixed.
// After every step: nothing pressed while clicking is paused (but a plain left click over our
// own windows), and the engine's owners hold exactly what the input service holds. After a
// quiet tail only a drag holds anything, and the next click drops it; after the loop's end
// nothing is held.
//
// Seeded: a failure prints its seed. TOVRA_ENGINE_SEED=<n> replays that one sequence with
// its steps printed; TOVRA_ENGINE_SEQUENCES=<n> sets how many run (10000 by default).

#include "core/FacialDetectionApp.h"
#include "engine/ActionDispatch.h"
#include "engine/ClickEngine.h"
#include "engine/EnginePass.h"
#include "engine/EngineResets.h"
#include "engine/EngineState.h"
#include "engine/FacialGestures.h"
#include "engine/InputOwners.h"
#include "engine/ParkTimers.h"
#include "engine/ScrollMode.h"
#include "engine/SmileGesture.h"
#include "engine/StillnessDetector.h"
#include "engine/SyntheticInput.h"
#include "engine/TrackingParameters.h"
#include "platform/Platform.h"
#include "platform/recording/CallLog.h"
#include "tests/engine/EngineTestSupport.h"
#include "vision/FrameRecords.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

std::string describeHeld()
{
    std::string out;
    for (const HeldInputId &in : ownedInputs())
        out += in.isKey ? " key" + std::to_string(int(in.key))
                        : " button" + std::to_string(int(in.button));
    return out.empty() ? " nothing" : out;
}

// The parameters the sequences change, kept to be put back: every sequence starts from the
// same values, and the tests after these see what they saw before.
#define TOUCHED_PARAMETERS(X)                                                                      \
    X(SLOWBLINK_THRESHOLD)                                                                         \
    X(SLOWBLINK_MINDUR)                                                                            \
    X(SLOWBLINK_MAXDUR)                                                                            \
    X(SLOWBLINK_THROTTLETIME)                                                                      \
    X(MOUTHOPEN_THRESHOLD)                                                                         \
    X(MOUTHOPEN_MINDUR)                                                                            \
    X(MOUTHOPEN_THROTTLETIME)                                                                      \
    X(EYEBROWRAISE_THRESHOLD)                                                                      \
    X(EYEBROWRAISE_MINDUR)                                                                         \
    X(PCE_SUSTAIN_TIME_DELTA_TO_STICK)                                                             \
    X(GESTURE_MINDUR_FLOOR)                                                                        \
    X(MAX_MOTION_AT_SMILE_START)                                                                   \
    X(ESCAPE_SPEED)                                                                                \
    X(PARK_SPEED)                                                                                  \
    X(SMILE_MINDUR)                                                                                \
    X(DWELL_CLICK_TIME)                                                                            \
    X(MMM_TIME_LAG)                                                                                \
    X(FEMAP_INDEX_SMILE)                                                                           \
    X(FEMAP_INDEX_SLOWBLINK)                                                                       \
    X(FEMAP_INDEX_MOUTHOPEN)                                                                       \
    X(FEMAP_INDEX_EYEBROWRAISE)                                                                    \
    X(ACTIVATE_SMILE_DETECTION)                                                                    \
    X(ACTIVATE_BLINK_DETECTION)                                                                    \
    X(ACTIVATE_MOUTHOPEN_DETECTION)                                                                \
    X(ACTIVATE_EYEBROWRAISE_DETECTION)                                                             \
    X(ACTIVATE_HHS_DETECTION)                                                                      \
    X(ACTIVATE_MMM_DETECTION)                                                                      \
    X(MODE_FULL_FUNCTION)                                                                          \
    X(MODE_SWITCH_ONLY)                                                                            \
    X(INSTANT_CLICK)                                                                               \
    X(IGNORE_BLINK_WHEN_LOOKING_AWAY)                                                              \
    X(IGNORE_MOUTHOPEN_WHEN_LOOKING_AWAY)                                                          \
    X(IGNORE_EYEBROWRAISE_WHEN_LOOKING_AWAY)

struct TouchedParameters
{
#define DECLARE(name) decltype(TrackingParameters::name) name;
    TOUCHED_PARAMETERS(DECLARE)
#undef DECLARE
    void save()
    {
#define SAVE(name) name = trackingParameters.name;
        TOUCHED_PARAMETERS(SAVE)
#undef SAVE
    }
    void restore() const
    {
#define RESTORE(name) trackingParameters.name = name;
        TOUCHED_PARAMETERS(RESTORE)
#undef RESTORE
    }
};

// The pose the face holds from frame to frame; each step may change one part of it.
struct Pose
{
    double smile = 0.0;
    double blink = 0.0;
    double mouth = 0.0;
    double brows = 0.0; // the forehead's running sum
    double speed = 0.0;
    bool face = true;
};

class EngineCombinations : public EngineTest
{
protected:
    void SetUp() override
    {
        saved.save();
        EngineTest::SetUp();
        setFastReplay(true);
    }
    void TearDown() override
    {
        setFastReplay(false);
        EngineTest::TearDown();
        saved.restore();
    }
    TouchedParameters saved;

    std::mt19937 rng;
    Pose pose;
    bool trace = false;
    std::string failure;

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(rng) < p; }
    void note(const char *what, int value = 0)
    {
        if (trace)
            std::printf("  t=%u %s %d\n", unsigned(now()), what, value);
    }
    void fail(const std::string &why)
    {
        if (failure.empty())
            failure = why + " at t=" + std::to_string(now()) + "; held:" + describeHeld();
    }

    // A fresh engine with the settings a sequence starts from.
    void startSequence(unsigned seed)
    {
        EngineTest::TearDown();
        saved.restore();
        EngineTest::SetUp();
        startEnginePasses(currentTimeMs32());
        rng.seed(seed);
        failure.clear();
        pose = Pose{};
        blinkState = BlinkState{};
        mouthOpenState = MouthOpenState{};
        eyebrowRaiseState = EyebrowRaiseState{};
        scrollRecord = ScrollRecord{};
        parkTimers = ParkTimers{};
        clearSlidingWindows();
        TrackingParameters &p = trackingParameters;
        p.SLOWBLINK_THRESHOLD = 85;
        p.SLOWBLINK_MINDUR = 200;
        p.SLOWBLINK_MAXDUR = 2000;
        p.SLOWBLINK_THROTTLETIME = pick(2) ? 500 : 0;
        p.MOUTHOPEN_THRESHOLD = 5;
        p.MOUTHOPEN_MINDUR = 300;
        p.MOUTHOPEN_THROTTLETIME = 300;
        p.EYEBROWRAISE_THRESHOLD = 3;
        p.EYEBROWRAISE_MINDUR = 125;
        p.PCE_SUSTAIN_TIME_DELTA_TO_STICK = 600;
        p.GESTURE_MINDUR_FLOOR = 75;
        p.MAX_MOTION_AT_SMILE_START = 15;
        p.ESCAPE_SPEED = 4;
        p.PARK_SPEED = 3;
        p.SMILE_MINDUR = 200;
        p.DWELL_CLICK_TIME = 600;
        p.MMM_TIME_LAG = 300;
        p.ACTIVATE_MMM_DETECTION = true;
        p.IGNORE_BLINK_WHEN_LOOKING_AWAY = p.IGNORE_MOUTHOPEN_WHEN_LOOKING_AWAY =
            p.IGNORE_EYEBROWRAISE_WHEN_LOOKING_AWAY = false;
        p.ACTIVATE_SMILE_DETECTION = pick(2);
        p.ACTIVATE_BLINK_DETECTION = pick(2);
        p.ACTIVATE_MOUTHOPEN_DETECTION = pick(2);
        p.ACTIVATE_EYEBROWRAISE_DETECTION = pick(2);
        p.FEMAP_INDEX_SMILE = pick(11);
        p.FEMAP_INDEX_SLOWBLINK = pick(11);
        p.FEMAP_INDEX_MOUTHOPEN = pick(11);
        p.FEMAP_INDEX_EYEBROWRAISE = pick(11);
        for (int i = 0; i < 4; ++i)
            flipSetting();
        app()->setPointerOffScreen(false);
        clearLogs();
    }

    // One pass of the frame loop with a frame: the records the pose gives, then the engine.
    void pass(int dtMs = 40)
    {
        frameRecords.shift();
        clock->advance(dtMs);
        resetHeadMotionState(frameRecords.motion, currentTimeMs32());
        HeadMotionState &m = frameRecords.motion;
        m.frameIntervalMs = dtMs;
        const double angle = pick(8) * 0.785;
        m.smoothedPointerVelocity = {pose.speed * std::cos(angle), pose.speed * std::sin(angle)};
        m.headSpeed = pose.speed;
        m.headSpeedMean.fill(pose.speed);
        m.absolutePosition = frameRecords.previousMotion.absolutePosition;
        FacialMetrics &fm = frameRecords.metrics;
        const FacialMetrics &pm = frameRecords.previousMetrics;
        fm = FacialMetrics{};
        frameRecords.detection.faceFound = pose.face;
        fm.regionTiltSum = pm.regionTiltSum;
        fm.regionTiltSumSmoothed = pm.regionTiltSumSmoothed;
        if (pose.face) {
            frameRecords.seen.hogSeenMs = frameRecords.seen.boxSeenMs = now();
            fm.smileLevel = fm.smileLevelBFollow = pose.smile;
            fm.smileLevelSmoothed = pm.smileLevelSmoothed * 0.8 + pose.smile * 0.2;
            fm.smileLevelBFollowSlow = pm.smileLevelBFollowSlow * 0.8 + pose.smile * 0.2;
            fm.blinkLevelA = pose.blink;
            fm.mouthOpenPeak = pose.mouth;
            fm.mouthOpenSlow = 0.8 * pm.mouthOpenSlow + 0.2 * pose.mouth;
            fm.regionTiltSum[1] = pose.brows;
            fm.regionTiltSumSmoothed[0] = 0.9 * pm.regionTiltSumSmoothed[0] + 0.1 * pose.brows;
        }
        // The frame loop's order (QTracker::ProcessSlot and processFrame).
        bool dwellRan = false;
        if (pointerSettings.engineEnabled != 0)
            runEnginePass(dwellRan);
        else
            suspendEnginePass();
        if (!dwellRan)
            interruptDwell();
    }

    void passes(int n)
    {
        for (int i = 0; i < n; ++i)
            pass();
    }

    // A setting changed in the settings window or the click-options window, applied as the
    // frame loop applies it.
    void flipSetting()
    {
        TrackingParameters &p = trackingParameters;
        ClickOptionState &o = clickOptionState;
        const int which = pick(14);
        note("setting", which);
        switch (which) {
        case 0:
            if (!(p.ACTIVATE_SMILE_DETECTION = !p.ACTIVATE_SMILE_DETECTION))
                interruptSmileGesture();
            break;
        case 1:
            if (!(p.ACTIVATE_BLINK_DETECTION = !p.ACTIVATE_BLINK_DETECTION))
                interruptSlowBlink();
            break;
        case 2:
            if (!(p.ACTIVATE_MOUTHOPEN_DETECTION = !p.ACTIVATE_MOUTHOPEN_DETECTION))
                interruptMouthOpen();
            break;
        case 3:
            if (!(p.ACTIVATE_EYEBROWRAISE_DETECTION = !p.ACTIVATE_EYEBROWRAISE_DETECTION))
                interruptEyebrowRaise();
            break;
        case 4:
            p.ACTIVATE_HHS_DETECTION = !p.ACTIVATE_HHS_DETECTION;
            p.ACTIVATE_MMM_DETECTION = !p.ACTIVATE_MMM_DETECTION;
            break;
        case 5:
            p.FEMAP_INDEX_SMILE = pick(11);
            break;
        case 6:
            p.FEMAP_INDEX_SLOWBLINK = pick(11);
            break;
        case 7:
            p.FEMAP_INDEX_MOUTHOPEN = pick(11);
            break;
        case 8:
            p.FEMAP_INDEX_EYEBROWRAISE = pick(11);
            break;
        case 9: {
            const bool right = pick(2);
            pointerSettings.CLICK_OPTION_LEFT_CLICK = !right;
            o.CLICK_OPTION_RIGHT_CLICK = right;
            break;
        }
        case 10: {
            // Double click, drag, scroll or none of them: the window keeps one at most.
            const int mode = pick(4);
            o.CLICK_OPTION_TIMES2_MODE = mode == 1;
            o.CLICK_OPTION_SCROLL_MODE = mode == 3;
            setDragMode(mode == 2);
            break;
        }
        case 11:
            p.MODE_FULL_FUNCTION = pick(3) != 0;
            p.MODE_SWITCH_ONLY = !p.MODE_FULL_FUNCTION && pick(2);
            break;
        case 12:
            o.MOTION_MODE = pick(2);
            o.CLICK_MODE = pick(2);
            break;
        case 13:
            p.INSTANT_CLICK = !p.INSTANT_CLICK;
            break;
        }
    }

    void changePose()
    {
        switch (pick(6)) {
        case 0:
            pose.smile = pose.smile > 0 ? 0.0 : 70.0 + pick(20);
            break;
        case 1:
            pose.blink = pose.blink > 0 ? 0.0 : 100.0;
            break;
        case 2:
            pose.mouth = pose.mouth > 0 ? 0.0 : 20.0;
            break;
        case 3: {
            // Up or down in a few frames.
            const double to = pose.brows > 0 ? 0.0 : 6.0;
            for (int i = 0; i < 3; ++i) {
                pose.brows += (to - pose.brows) / (3 - i);
                pass();
            }
            break;
        }
        case 4: {
            const double speeds[] = {0.0, 0.0, 2.0, 6.0, 25.0};
            pose.speed = speeds[pick(5)];
            break;
        }
        case 5:
            pose.face = !pose.face || chance(0.5);
            break;
        }
        note("pose");
    }

    // One random step; returns whether clicking stayed paused throughout it.
    void step()
    {
        // Settings changed while a gesture holds its action are where faults hide.
        if (isAnyGestureActionStarted() && chance(0.2)) {
            flipSetting();
            pass();
            return;
        }
        const int kind = pick(100);
        if (kind < 55) {
            changePose();
            passes(1 + pick(8));
        } else if (kind < 70) {
            flipSetting();
            pass();
        } else if (kind < 74) {
            // No frames for a while (a camera unplugged, a file at its end).
            const int gap = 60 * (1 + pick(20));
            note("no frames", gap);
            for (int t = 0; t < gap; t += 20) {
                clock->advance(20);
                enginePassWithoutFrame(currentTimeMs32());
            }
        } else if (kind < 80) {
            const bool active = !app()->clickingActive;
            note("clicking", active);
            app()->clickingActive = active;
            if (!active)
                releaseEverything();
            pass();
        } else if (kind < 83) {
            note("processing paused");
            releaseEverything();
            for (int i = 0, n = pick(10); i < n; ++i) {
                clock->advance(20);
                interruptDwell();
            }
        } else if (kind < 86) {
            note("calibration");
            // The session's start: what is held goes before the pointer moves.
            interruptGestures();
            dropDrag();
            recenterPointer();
            pointerSettings.engineEnabled = 0;
            passes(1 + pick(20));
            pointerSettings.engineEnabled = 1;
        } else if (kind < 90) {
            note("real mouse");
            setPointer(100 + pick(1700), 100 + pick(800));
            pass();
            setPointer(100 + pick(1700), 100 + pick(800));
            passes(1 + pick(10));
        } else if (kind < 96) {
            const bool over = pick(2);
            note("own window", over);
            app()->setPointerOverClickOptions(over);
        } else if (kind < 98) {
            // The Dwell button: smile mapped to nothing, the gesture state reset after the
            // next pass has applied the setting.
            note("dwell button");
            trackingParameters.FEMAP_INDEX_SMILE = 0;
            pass();
            resetGestureState();
        } else {
            note("a pass threw");
            releaseEverything();
        }
    }

    void checkStep(bool pausedThroughout)
    {
        platform::InputSynthesis &service = platform::inputSynthesis();
        for (int i = 0; i < 8; ++i) {
            const HeldInputId in = i < 2 ? buttonInput(i == 1) : keyInput(platform::Key(i - 2));
            const bool backend = in.isKey ? service.isHeld(in.key) : service.isHeld(in.button);
            if (backend != anyOwnerHolds(in))
                fail("the engine's owners and the input service disagree on input " +
                     std::to_string(i));
        }
        if (pausedThroughout) {
            const bool own = app()->isPointerOverOwnWindow();
            for (const QString &call : input()) {
                if (!call.contains(QLatin1String("down")))
                    continue;
                if (!(own && call == QLatin1String("button(left,down)")))
                    fail("pressed while clicking is paused: " + call.toStdString());
            }
        }
    }

    // Every gesture relaxed, the head still, clicking on, away from our windows.
    void quietTail()
    {
        pose = Pose{};
        app()->clickingActive = true;
        app()->setPointerOverClickOptions(false);
        pointerSettings.engineEnabled = 1;
        passes(60);
        for (int owner = 0; owner < int(InputOwner::Count); ++owner) {
            if (InputOwner(owner) != InputOwner::Drag && ownerHolds(InputOwner(owner)))
                fail("still held after a quiet tail by owner " + std::to_string(owner));
        }
        // A drag picked up is dropped by the next click.
        if (ownerHolds(InputOwner::Drag)) {
            primaryClick(false);
            if (anyOwnerHoldsAnything())
                fail("a click did not drop the drag");
        }
        checkStep(false);
    }

public:
    // Runs one sequence; empty when it passed, else what went wrong.
    std::string runSequence(unsigned seed)
    {
        startSequence(seed);
        const int steps = 8 + pick(24);
        for (int i = 0; i < steps && failure.empty(); ++i) {
            const bool pausedBefore = !app()->clickingActive;
            clearLogs();
            step();
            checkStep(pausedBefore && !app()->clickingActive);
        }
        if (failure.empty())
            quietTail();
        // The loop's end.
        interruptGestures();
        releaseHeldInput();
        platform::InputSynthesis &service = platform::inputSynthesis();
        for (int i = 0; i < 8; ++i) {
            if (i < 2 ? service.isHeld(platform::MouseButton(i))
                      : service.isHeld(platform::Key(i - 2)))
                fail("held after the loop's end: input " + std::to_string(i));
        }
        return failure;
    }
};

// Four quarters of the seeds, so that the test runner can run them side by side.
class EngineCombinationsQuarter : public EngineCombinations,
                                  public ::testing::WithParamInterface<int>
{};

TEST_P(EngineCombinationsQuarter, NothingHeldOrPressedThatTheUserDidNotAskFor)
{
    const char *one = std::getenv("TOVRA_ENGINE_SEED");
    const char *count = std::getenv("TOVRA_ENGINE_SEQUENCES");
    const int total = count ? std::atoi(count) : 10000;
    if (one && GetParam() != 0)
        GTEST_SKIP() << "replaying one seed";
    const int n = one ? 1 : total / 4;
    const unsigned first =
        one ? unsigned(std::strtoul(one, nullptr, 10)) : 1u + unsigned(GetParam() * n);
    trace = one != nullptr;
    std::printf("Engine sequences: seeds %u to %u\n", first, first + unsigned(n) - 1);
    int failures = 0;
    for (int i = 0; i < n && failures < 5; ++i) {
        const unsigned seed = first + unsigned(i);
        const std::string why = runSequence(seed);
        if (!why.empty()) {
            ++failures;
            ADD_FAILURE() << "seed " << seed << " (replay: TOVRA_ENGINE_SEED=" << seed
                          << "): " << why;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, EngineCombinationsQuarter, ::testing::Range(0, 4));

} // namespace
