// Head motion becomes pointer steps and positions; a resting head parks the pointer.

#include "engine/PointerMotion.h"
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

#include <cmath>
#include <limits>

namespace {

class PointerMotion : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        clickOptionState.MOTION_MODE = 1;
    }
    // One frame of the loop's pointer step.
    void step(double vx, double vy = 0.0, int dtMs = 40)
    {
        frame(vx, vy, dtMs);
        procPointerMotion(trackingParameters.ABSOLUTE_MODE ? alwaysOnAbsoDetector
                                                           : alwaysOnDetector);
    }
    static QStringList images(const QSignalSpy &spy)
    {
        QStringList out;
        for (const QList<QVariant> &args : spy)
            out << args.at(0).toString();
        return out;
    }
};

double gainX(double d, int level, double intervalMs = 60.0)
{
    pointerSettings.MOUSE_SENSIVITY_X = level;
    double x = 0, y = 0;
    applyPointerGain(d, 0.0, intervalMs, x, y);
    return x;
}

TEST_F(PointerMotion, GainFollowsTheCurveAndTheSensitivity)
{
    EXPECT_DOUBLE_EQ(gainX(3, 5), 1.5);
    EXPECT_DOUBLE_EQ(gainX(-3, 5), -1.5);
    // Beyond the table the last gain holds.
    EXPECT_DOUBLE_EQ(gainX(45, 5), 45 * 3.397435897);
    // High sensitivities move the index, low ones scale the step.
    EXPECT_NEAR(gainX(2, 8), 2 * 0.666666667, 1e-9);
    EXPECT_NEAR(gainX(2, 3), 0.6, 1e-9);
    // The step scales with the frame interval.
    EXPECT_DOUBLE_EQ(gainX(3, 5, 30.0), 0.75);
}

TEST_F(PointerMotion, GainSurvivesBadStoredValues)
{
    EXPECT_DOUBLE_EQ(gainX(std::numeric_limits<double>::quiet_NaN(), 5), 0.0);
    EXPECT_DOUBLE_EQ(gainX(1e300, 5), 1e300 * 3.397435897);
    // Levels outside the table are clamped to it.
    EXPECT_DOUBLE_EQ(gainX(3, 0), gainX(3, 1));
    EXPECT_DOUBLE_EQ(gainX(3, 99), gainX(3, 10));
    EXPECT_EQ(toPixels(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_GT(toPixels(1e300), 0);
    EXPECT_LT(toPixels(-1e300), 0);
}

TEST_F(PointerMotion, RelativeStepsCarryTheirRemainder)
{
    const QPoint start = pointer();
    step(3.0, 0.0, 60); // 1.5: 2 sent, -0.5 kept
    EXPECT_EQ(currentPointerRecord().sentStep, cv::Point(2, 0));
    EXPECT_EQ(pointer(), start + QPoint(2, 0));
    step(3.0, 0.0, 60); // 1.5 - 0.5 = 1
    EXPECT_EQ(currentPointerRecord().sentStep, cv::Point(1, 0));
    EXPECT_EQ(pointer(), start + QPoint(3, 0));
    EXPECT_EQ(currentPointerRecord().pointerPos, cv::Point(start.x() + 3, start.y()));
}

TEST_F(PointerMotion, SlowHeadAndFrozenPointerDoNotMove)
{
    const QPoint start = pointer();
    step(2.0); // below the motion threshold
    pointerEngineState.pointerFrozen = 1;
    step(30.0);
    EXPECT_EQ(pointer(), start);
    EXPECT_TRUE(input().isEmpty());
}

TEST_F(PointerMotion, MoveInputSwitchOffSendsNothing)
{
    trackingParameters.CAMERA_MMIS = true;
    QSignalSpy moved(engineSignals(), &EngineSignals::MotionSN_UpdateMousePosition);
    step(30.0);
    EXPECT_TRUE(input().isEmpty());
    EXPECT_EQ(moved.count(), 0);
}

TEST_F(PointerMotion, MotionModeZeroMovesOnlyWhilePointingBySmile)
{
    clickOptionState.MOTION_MODE = 0;
    step(30.0);
    EXPECT_TRUE(input().isEmpty());
    smileModeState.smileActive = 1;
    smileModeState.pointingActive = 1;
    step(30.0);
    EXPECT_FALSE(input().isEmpty());
}

TEST_F(PointerMotion, RestingHeadParksOnceWithOneTock)
{
    QSignalSpy images(engineSignals(), &EngineSignals::MotionSN_SetImagePath);
    for (int i = 0; i < 30; ++i) // 1200 ms at rest
        step(0.0);
    EXPECT_EQ(pointerEngineState.parkState, 1);
    EXPECT_EQ(soundFiles(), QStringList{"Tock-Short.wav"});
    // The countdown images ran down before the park.
    EXPECT_TRUE(PointerMotion::images(images).contains("d11.png"));

    // A slow drift above the escape speed does not release the pointer.
    const QPoint parked = pointer();
    step(3.9);
    step(4.2);
    step(4.5);
    EXPECT_EQ(pointer(), parked);
    EXPECT_EQ(pointerEngineState.parkState, 1);

    // A quick move does, with a tick.
    step(20.0);
    EXPECT_EQ(pointerEngineState.parkState, 0);
    EXPECT_EQ(soundFiles(), (QStringList{"Tock-Short.wav", "Tick-Short.wav"}));
    EXPECT_NE(pointer(), parked);
}

TEST_F(PointerMotion, AbsoluteModeMapsTheHeadOffsetToTheScreen)
{
    trackingParameters.ABSOLUTE_MODE = true;
    frameRecords.motion.absolutePosition = cv::Point2d(10.0, -5.0);
    step(60.0);
    EXPECT_EQ(currentPointerRecord().absoluteRaw, cv::Point(960 + 320, 540 - 160));
    EXPECT_EQ(pointer(), QPoint(1280, 380));
    EXPECT_EQ(currentPointerRecord().pointerPos, cv::Point(1280, 380));
}

TEST_F(PointerMotion, TheFirstSetAbsoluteVariantWins)
{
    trackingParameters.ABSOLUTE_MODE = true;
    trackingParameters.ABSO_TRUESM = true;
    trackingParameters.ABSO_COMBO1 = true;
    resetPointerState();
    frameRecords.motion.absolutePosition = cv::Point2d(10.0, 0.0);
    step(60.0);
    // Smoothed from the centre: 960 * 0.691 + 1280 * 0.309, truncated.
    EXPECT_EQ(pointer().x(), int(960 * 0.6910000000000001 + 1280 * 0.309));
}

TEST_F(PointerMotion, AbsoluteMappingUsesLogicalPixelsOnHiDpi)
{
    platform::recordingPointerScreens().setScreens(QRect(0, 0, 3840, 2160));
    platform::pointerScreens().setDevicePixelRatio(2.0);
    trackingParameters.ABSOLUTE_MODE = true;
    frameRecords.motion.absolutePosition = cv::Point2d(10.0, 0.0);
    step(60.0);
    // Logical 1280 on a 1920-wide logical screen is physical 2560.
    EXPECT_EQ(currentPointerRecord().pointerPos, cv::Point(1280, 540));
    EXPECT_EQ(pointer(), QPoint(2560, 1080));
    platform::pointerScreens().setDevicePixelRatio(1.0);
}

TEST_F(PointerMotion, AbsoluteModeWithoutAFaceAdoptsTheRealPointer)
{
    trackingParameters.ABSOLUTE_MODE = true;
    frame(60.0);
    frameRecords.detection.faceFound = false;
    frameRecords.motion.absolutePosition = cv::Point2d(10.0, 0.0);
    setPointer(100, 200);
    procPointerMotion(alwaysOnAbsoDetector);
    EXPECT_TRUE(input().isEmpty());
    EXPECT_EQ(currentPointerRecord().pointerPos, cv::Point(100, 200));
}

TEST_F(PointerMotion, OffScreenFlagCountsTheRightEdgeAsOnScreen)
{
    FacialDetectionApp *app = FacialDetectionApp::instance();
    trackingParameters.ABSOLUTE_MODE = true;
    frame();
    currentPointerRecord().pointerPos = cv::Point(1920, 540);
    updatePointerOffScreenFlag();
    EXPECT_FALSE(app->isPointerOffScreen());
    currentPointerRecord().pointerPos = cv::Point(1921, 540);
    updatePointerOffScreenFlag();
    EXPECT_TRUE(app->isPointerOffScreen());
    trackingParameters.ABSOLUTE_MODE = false;
    updatePointerOffScreenFlag();
    EXPECT_FALSE(app->isPointerOffScreen());
}

} // namespace
