#include "tests/engine/EngineTestSupport.h"

#include "core/FacialDetectionApp.h"
#include "engine/ActionDispatch.h"
#include "engine/ClickEngine.h"
#include "engine/EngineResets.h"
#include "engine/EngineState.h"
#include "engine/InputOwners.h"
#include "engine/StillnessDetector.h"
#include "engine/TrackingParameters.h"
#include "platform/InputSynthesis.h"
#include "platform/Platform.h"
#include "platform/recording/CallLog.h"
#include "platform/recording/RecordingPointerScreens.h"
#include "vision/FrameRecords.h"

#include <QFileInfo>

#include <cmath>

namespace {

void restoreParameters()
{
    TrackingParameters &p = trackingParameters;
    p.TREMOR_CONTROL = 3;
    p.DWELL_PARK_THRESHOLD = 3;
    p.DWELL_PARK_TIME = 500;
    p.ESCAPE_VELOCITY = 4;
    p.ABSOLUTE_MODE = false;
    p.ABSOMODE_FZS = 50;
    p.ABSOMODE_FZS_2 = 50;
    p.ABSO_TRUERAW = p.ABSO_TRUESM = p.ABSO_COMBO1 = p.ABSO_COMBO2 = false;
    p.ABSO_COMBO3 = p.ABSO_COMBO4 = p.ABSO_COMBO5 = p.ABSO_COMBO6 = false;
    p.CAMERA_MMIS = false;
    p.STICKINESS_OFF_UNDER_POINTER = false;
    p.ANIM_MOUSE_MOTION = p.ANIM_MOUSE_STICKINESS = p.ANIM_DWELL_PARK = true;
    p.SOUND_STARTMOUSEMOTION = p.SOUND_ENDMOUSEMOTION = true;
    p.SOUND_CLICK = p.SOUND_CLICKANDDRAG = true;
    p.SOUND_RECENTER = false;
    p.INSTANT_CLICK = false;
    p.MODE_FULL_FUNCTION = true;
    p.MODE_SWITCH_ONLY = false;
    p.DWELL_CLICK_TIME = 1500;
    p.DWELL_ZONE_SIZE = 20;
    p.HHS_THRESHOLD = 5;
    p.HHS_TIME = 7000;
    p.FEMAP_INDEX_HHS = 9;
    p.FEMAP_INDEX_SMILE = 1;
    p.MMM_THRESHOLD = 110;
    p.MMM_TIME_LAG = 2100;
    p.MMM_DISPLAY_OSW = true;
    p.MMM_RECENTER = true;
    p.SMILE_THRESHOLD = 60;

    clickOptionState = ClickOptionState{};
    clickOptionState.CLICK_OPTION_CLICKING_ACTIVE = 1;
    pointerSettings = PointerSettings{};
}

} // namespace

void EngineTest::SetUp()
{
    unclaimedFrames.fill(0);
    clock = std::make_unique<FakeClock>();
    if (recordingBackends)
        platform::installRecording();
    restoreParameters();
    FacialDetectionApp *app = FacialDetectionApp::instance();
    app->clickingActive = true;
    app->clickCounter = 0;
    app->setPointerOverClickOptions(false);
    app->setPointerOverClickPause(false);
    app->setExternalMotion(false, 0);
    app->oswAutoCenterShown = false;
    app->oswExternalMouseMoveShown = false;

    frameRecords.clear();
    pointerRecords = PointerRecords{};
    smileModeState = SmileModeState{};
    smileEpisode = SmileEpisode{};
    smileOnset = SmileOnset{};
    pointerEngineState = PointerEngineState{};
    resetDwellRecord(currentDwell);
    resetDwellRecord(lastDwellClick);
    setStillnessDetector(alwaysOnDetector, 3, QStringLiteral("AlwaysOn"));
    setStillnessDetector(alwaysOnAbsoDetector, 3, QStringLiteral("AlwaysOn_Abso"));
    setStillnessDetector(holdHeadSteadyDetector, 5, QStringLiteral("HoldHeadSteady"));
    // The first frame has a previous one, as in the running loop.
    frame();
    clearLogs();
}

void EngineTest::checkHeldInputRule()
{
    if (!heldInputRuleChecked)
        return;
    platform::InputSynthesis &desktop = platform::inputSynthesis();
    for (int i = 0; i < 8; ++i) {
        const HeldInputId in = i < 2 ? buttonInput(i == 1) : keyInput(platform::Key(i - 2));
        const bool held = in.isKey ? desktop.isHeld(in.key) : desktop.isHeld(in.button);
        EXPECT_EQ(held, anyOwnerHolds(in)) << "the desktop and the owners disagree on input " << i
                                           << " at " << now();
    }
    for (int o = 0; o < int(InputOwner::Count); ++o) {
        int &frames = unclaimedFrames[size_t(o)];
        frames = ownerHolds(InputOwner(o)) && !gestureHoldsInput(InputOwner(o)) ? frames + 1 : 0;
        EXPECT_LT(frames, 2) << "owner " << o << " holds input its gesture does not hold at "
                             << now();
    }
}

void EngineTest::TearDown()
{
    checkHeldInputRule();
    releaseHeldInput();
    clock.reset();
}

void EngineTest::frame(double vx, double vy, int dtMs)
{
    checkHeldInputRule();
    frameRecords.shift();
    clock->advance(dtMs);
    resetHeadMotionState(frameRecords.motion, currentTimeMs32());
    HeadMotionState &m = frameRecords.motion;
    const HeadMotionState &pm = frameRecords.previousMotion;
    m.frameIntervalMs = dtMs;
    m.smoothedPointerVelocity = cv::Point2d(vx, vy);
    m.headSpeed = std::hypot(vx, vy);
    m.headSpeedMean.fill(m.headSpeed);
    m.absolutePosition = pm.absolutePosition;
    frameRecords.detection.faceFound = true;
    for (StillnessDetector *d : {&alwaysOnDetector, &alwaysOnAbsoDetector, &holdHeadSteadyDetector})
        updateStillnessDetector(*d, vx, vy, pm.smoothedPointerVelocity.x,
                                pm.smoothedPointerVelocity.y, m.timeMs);
}

quint32 EngineTest::now() const
{
    return frameRecords.motion.timeMs;
}

QStringList EngineTest::input()
{
    return platform::recordingLog().calls(QStringLiteral("input"));
}

QStringList EngineTest::buttonsAndKeys()
{
    QStringList out;
    for (const QString &call : input()) {
        if (!call.startsWith(QLatin1String("move")))
            out << call;
    }
    return out;
}

QList<SoundId> EngineTest::sounds()
{
    QList<SoundId> out;
    for (const platform::CallLog::Entry &e : platform::recordingLog().entries()) {
        if (e.service != QLatin1String("sound") || e.call != QLatin1String("playWav"))
            continue;
        const qint64 bytes = e.args.section(QLatin1Char(' '), 0, 0).toLongLong();
        for (int id = 0; id < int(SoundId::Count); ++id) {
            if (QFileInfo(QString::fromLatin1(soundFileName(SoundId(id)))).size() == bytes) {
                out << SoundId(id);
                break;
            }
        }
    }
    return out;
}

QStringList EngineTest::soundFiles()
{
    QStringList out;
    for (const platform::CallLog::Entry &e : platform::recordingLog().entries()) {
        if (e.service == QLatin1String("sound") && e.call == QLatin1String("playFile"))
            out << e.args;
    }
    return out;
}

void EngineTest::clearLogs()
{
    platform::recordingLog().clear();
}

void EngineTest::setPointer(int x, int y)
{
    platform::recordingPointerScreens().setPointer(QPoint(x, y));
}

QPoint EngineTest::pointer()
{
    return platform::recordingPointerScreens().pointer();
}
