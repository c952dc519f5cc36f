// How changed settings become the tracker's and the engine's parameters.

#include "tracking/SettingsMapping.h"
#include "core/SettingsKeys.h"

#include <gtest/gtest.h>

using namespace SettingKeys;

namespace {

struct Blocks
{
    TrackingParameters p;
    ClickOptionState clicks;
    PointerSettings pointer;

    SettingEffect apply(const char *key, const QVariant &value)
    {
        return applySettingEntry(SettingEntry{key, value, true}, p, clicks, pointer);
    }
};

TEST(TrackingParameters, BuiltInDefaultsHoldBeforeAnySettingArrives)
{
    Blocks b;
    EXPECT_EQ(b.p.SMILE_POINT_END, 1200);
    EXPECT_EQ(b.p.SMILE_SCROLL_END, 2800);
    EXPECT_EQ(b.p.SMILE_CLK_INT, 1200);
    EXPECT_EQ(b.p.DWELL_CLICK_TIME, 1500);
    EXPECT_TRUE(b.p.MODE_FULL_FUNCTION);
    EXPECT_EQ(b.pointer.engineEnabled, 1);
    EXPECT_DOUBLE_EQ(b.p.HAAR_BOX_MARGIN_PCT, 20.0);
    EXPECT_FALSE(b.p.hotkeyEnabled(TrackingParameters::PlayPause));
    EXPECT_TRUE(b.p.hotkeySequence(TrackingParameters::PlayPause).isEmpty());
}

TEST(TrackingParameters, SmileTimesAreDerivedFromAllTheirInputs)
{
    Blocks b;
    b.apply(SMILE_MINDUR, 150);
    b.apply(GREEN_TIMER, 1125);
    b.apply(YELLOW_TIMER, 1600);
    EXPECT_EQ(b.p.SMILE_POINT_END, 1275);
    EXPECT_EQ(b.p.SMILE_SCROLL_END, 2875);
    EXPECT_EQ(b.p.SMILE_CLK_INT, 1275);

    b.apply(SMILE_MINDUR, 50);
    b.apply(GREEN_TIMER, 400);
    // The minimum duration has a floor, and the click interval never drops below 600 ms.
    EXPECT_EQ(b.p.SMILE_POINT_END, 475);
    EXPECT_EQ(b.p.SMILE_CLK_INT, 600);
}

TEST(TrackingParameters, ParkAndEscapeSpeedsFollowTremorControl)
{
    Blocks b;
    EXPECT_EQ(b.apply(TREMOR_CONTROL, 2), SettingEffect::RestartParkDetectors);
    EXPECT_EQ(b.apply(DWELL_PARK_THRESHOLD, 5), SettingEffect::RestartParkDetectors);
    b.apply(ESCAPE_VELOCITY, 6);
    EXPECT_EQ(b.p.PARK_SPEED, 7);
    EXPECT_EQ(b.p.ESCAPE_SPEED, 8);
    EXPECT_EQ(b.p.ESCAPE_SPEED_POINT, 8);
    EXPECT_EQ(b.p.ESCAPE_SPEED_SCROLL, 8);
}

TEST(TrackingParameters, ModesOutsideZeroAndOneAreIgnored)
{
    Blocks b;
    b.apply(CLICK_MODE, 1);
    b.apply(CLICK_MODE, 2);
    EXPECT_EQ(b.clicks.CLICK_MODE, 1);
    b.apply(MOTION_MODE, -1);
    EXPECT_EQ(b.clicks.MOTION_MODE, 0);
}

TEST(TrackingParameters, NumbersFromAHandEditedFileAreHeldToTheirRanges)
{
    Blocks b;
    b.apply(ADDITIONAL_RESOLUTION, 100000);
    b.apply(FEMAP_INDEX_SMILE, -3);
    b.apply(MOUTHOPEN_THRESHOLD, 0);
    EXPECT_EQ(b.p.ADDITIONAL_RESOLUTION, 1000);
    EXPECT_EQ(b.p.FEMAP_INDEX_SMILE, 0);
    EXPECT_EQ(b.p.MOUTHOPEN_THRESHOLD, 1);
}

TEST(TrackingParameters, SwitchesNumbersAndHotkeysAreCopied)
{
    Blocks b;
    b.apply(ACTIVATE_SMILE_DETECTION, QStringLiteral("1"));
    b.apply(SHOW_FACEDET_STATUS, false);
    b.apply(DWELL_CLICK_TIME, QStringLiteral("900"));
    b.apply(HK_ACTIVATE_CALIBRATE, 1);
    b.apply(HK_KEYSEQ_CALIBRATE, QStringLiteral("Shift+Alt+F10"));
    b.apply(MOUSE_SENSIVITY_X, 8);
    b.apply(CLICK_OPTION_RIGHT_CLICK, 1);
    EXPECT_TRUE(b.p.ACTIVATE_SMILE_DETECTION);
    EXPECT_FALSE(b.p.SHOW_FACEDET_STATUS);
    EXPECT_EQ(b.p.DWELL_CLICK_TIME, 900);
    EXPECT_TRUE(b.p.hotkeyEnabled(TrackingParameters::Calibrate));
    EXPECT_EQ(b.p.hotkeySequence(TrackingParameters::Calibrate), "Shift+Alt+F10");
    EXPECT_EQ(b.pointer.MOUSE_SENSIVITY_X, 8);
    EXPECT_EQ(b.clicks.CLICK_OPTION_RIGHT_CLICK, 1);
}

TEST(TrackingParameters, SettingsWithSideEffectsAskForThem)
{
    Blocks b;
    EXPECT_EQ(b.apply(HHS_THRESHOLD, 1), SettingEffect::RestartHoldHeadSteady);
    EXPECT_EQ(b.p.HHS_THRESHOLD, 1);
    EXPECT_EQ(b.apply(CLICK_OPTION_DRAG_MODE, 1), SettingEffect::DragMode);
    EXPECT_EQ(b.apply(ENHANCE_PRECISION, 1), SettingEffect::EnhancePrecision);
    EXPECT_EQ(b.apply(CALIBRATE_REQUESTED, 0), SettingEffect::StartSession);
    EXPECT_EQ(b.apply(CALIBRATE_REQUESTED, 1), SettingEffect::StartSession);
    EXPECT_EQ(b.apply(START_AUTOMATICALLY, 0), SettingEffect::StartAutomatically);
    EXPECT_EQ(b.apply(PROCESS_PRIORITY, 2), SettingEffect::ProcessPriority);
    EXPECT_EQ(b.apply(SHOW_ON_SCREEN_MESSAGES, 0), SettingEffect::HideMessages);
    EXPECT_EQ(b.apply(SHOW_ON_SCREEN_MESSAGES, 1), SettingEffect::None);
    // Absolute pointing recentres only when it is switched on.
    EXPECT_EQ(b.apply(ABSOLUTE_MODE, 1), SettingEffect::Recenter);
    EXPECT_EQ(b.apply(ABSOLUTE_MODE, 1), SettingEffect::None);
    EXPECT_EQ(b.apply(ABSOLUTE_MODE, 0), SettingEffect::None);
    EXPECT_EQ(b.apply("NOT_A_SETTING", 1), SettingEffect::None);
}

} // namespace
