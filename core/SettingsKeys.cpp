#include "core/SettingsKeys.h"

#include <QHash>

namespace {

constexpr SettingDefinition kDefinitions[] = {
    {SettingKeys::CLICK_MODE, false, 1, nullptr},
    {SettingKeys::MOTION_MODE, false, 1, nullptr},
    {SettingKeys::MOUSE_SENSIVITY_X, false, 5, nullptr},
    {SettingKeys::MOUSE_SENSIVITY_Y, false, 5, nullptr},
    {SettingKeys::HHS_THRESHOLD, false, 5, nullptr},
    {SettingKeys::HHS_TIME, false, 7000, nullptr},
    {SettingKeys::ENHANCE_PRECISION, false, 0, nullptr},
    {SettingKeys::ABSOLUTE_MODE, false, 0, nullptr},
    {SettingKeys::ABSOMODE_FZS, false, 50, nullptr},
    {SettingKeys::ABSO_TRUERAW, false, 0, nullptr},
    {SettingKeys::ABSO_TRUESM, false, 0, nullptr},
    {SettingKeys::ABSO_COMBO1, false, 0, nullptr},
    {SettingKeys::ABSO_COMBO2, false, 0, nullptr},
    {SettingKeys::ABSO_COMBO3, false, 0, nullptr},
    {SettingKeys::ABSO_COMBO4, false, 0, nullptr},
    {SettingKeys::ABSO_COMBO5, false, 0, nullptr},
    {SettingKeys::ABSO_COMBO6, false, 1, nullptr},
    {SettingKeys::ABSOMODE_FZS_2, false, 50, nullptr},
    {SettingKeys::DWELL_PARK_THRESHOLD, false, 3, nullptr},
    {SettingKeys::MOUSE_ACCELERATION, false, 3, nullptr},
    {SettingKeys::DWELL_CLICK_TIME, false, 1000, nullptr},
    {SettingKeys::DWELL_ZONE_SIZE, false, 20, nullptr},
    {SettingKeys::TREMOR_CONTROL, false, 0, nullptr},
    {SettingKeys::ESCAPE_VELOCITY, false, 4, nullptr},
    {SettingKeys::DWELL_PARK_TIME, false, 500, nullptr},
    {SettingKeys::CALIBRATE_REQUESTED, false, 0, nullptr},
    {SettingKeys::CLICK_ASSIST_LEVEL, false, 15, nullptr},
    {SettingKeys::PCE_SUSTAIN_TIME_DELTA_TO_STICK, false, 1100, nullptr},
    {SettingKeys::MAX_MOTION_AT_SMILE_START, false, 15, nullptr},
    {SettingKeys::FULL_SCREEN_MODE_ON, false, 0, nullptr},
    {SettingKeys::ENABLE_PAN_SCAN, false, 0, nullptr},
    {SettingKeys::GREEN_TIMER, false, 1000, nullptr},
    {SettingKeys::YELLOW_TIMER, false, 1000, nullptr},
    {SettingKeys::RED_TIMER, false, 3000, nullptr},
    {SettingKeys::CLICK_OPTION_LEFT_CLICK, false, 1, nullptr},
    {SettingKeys::CLICK_OPTION_RIGHT_CLICK, false, 0, nullptr},
    {SettingKeys::CLICK_OPTION_LEFT_CLICK_LOCKED, false, 0, nullptr},
    {SettingKeys::CLICK_OPTION_RIGHT_CLICK_LOCKED, false, 0, nullptr},
    {SettingKeys::CLICK_OPTION_TIMES2_MODE, false, 0, nullptr},
    {SettingKeys::CLICK_OPTION_DRAG_MODE, false, 0, nullptr},
    {SettingKeys::CLICK_OPTION_SCROLL_MODE, false, 0, nullptr},
    {SettingKeys::CLICK_OPTION_TIMES2_MODE_LOCKED, false, 0, nullptr},
    {SettingKeys::CLICK_OPTION_DRAG_MODE_LOCKED, false, 0, nullptr},
    {SettingKeys::CLICK_OPTION_SCROLL_MODE_LOCKED, false, 0, nullptr},
    {SettingKeys::CLICK_OPTION_CLICKING_ACTIVE, false, 1, nullptr},
    {SettingKeys::SHOW_CLICK_OPTIONS, false, 1, nullptr},
    {SettingKeys::CO_SHOW_ALL_BUTTONS, false, 1, nullptr},
    {SettingKeys::DISABLE_STICKINESS_OSK, false, 1, nullptr},
    {SettingKeys::GEN_SPACE_INSTEAD_OF_CLICK, false, 0, nullptr},
    {SettingKeys::GEN_ONE_INSTEAD_OF_CLICK, false, 0, nullptr},
    {SettingKeys::GEN_F12_INSTEAD_OF_CLICK, false, 0, nullptr},
    {SettingKeys::GEN_F13_INSTEAD_OF_CLICK, false, 0, nullptr},
    {SettingKeys::GEN_F14_INSTEAD_OF_CLICK, false, 0, nullptr},
    {SettingKeys::GEN_CLICK_INSTEAD_OF_CLICK, false, 0, nullptr},
    {SettingKeys::INSTANT_CLICK, false, 0, nullptr},
    {SettingKeys::SLOW_SMILES, false, 0, nullptr},
    {SettingKeys::ACTIVATE_BLINK_DETECTION, false, 0, nullptr},
    {SettingKeys::ACTIVATE_MOUTHOPEN_DETECTION, false, 0, nullptr},
    {SettingKeys::IGNORE_MOUTHOPEN_WHEN_LOOKING_AWAY, false, 0, nullptr},
    {SettingKeys::IGNORE_SMILE_WHEN_LOOKING_AWAY, false, 0, nullptr},
    {SettingKeys::IGNORE_HHS_WHEN_LOOKING_AWAY, false, 0, nullptr},
    {SettingKeys::IGNORE_EYEBROWRAISE_WHEN_LOOKING_AWAY, false, 0, nullptr},
    {SettingKeys::IGNORE_BLINK_WHEN_LOOKING_AWAY, false, 0, nullptr},
    {SettingKeys::ACTIVATE_MMM_DETECTION, false, 1, nullptr},
    {SettingKeys::MMM_DISPLAY_OSW, false, 0, nullptr},
    {SettingKeys::MMM_RECENTER, false, 0, nullptr},
    {SettingKeys::MMM_THRESHOLD, false, 110, nullptr},
    {SettingKeys::MMM_TIME_LAG, false, 2100, nullptr},
    {SettingKeys::ACTIVATE_HHS_DETECTION, false, 0, nullptr},
    {SettingKeys::ACTIVATE_EYEBROWRAISE_DETECTION, false, 0, nullptr},
    {SettingKeys::ACTIVATE_SMILE_DETECTION, false, 0, nullptr},
    {SettingKeys::FEMAP_INDEX_EYEBROWRAISE, false, 0, nullptr},
    {SettingKeys::FEMAP_INDEX_SMILE, false, 1, nullptr},
    {SettingKeys::FEMAP_INDEX_SLOWBLINK, false, 0, nullptr},
    {SettingKeys::FEMAP_INDEX_MOUTHOPEN, false, 0, nullptr},
    {SettingKeys::FEMAP_INDEX_HHS, false, 9, nullptr},
    {SettingKeys::MODE_FULL_FUNCTION, false, 1, nullptr},
    {SettingKeys::MODE_SWITCH_ONLY, false, 0, nullptr},
    {SettingKeys::HK_ACTIVATE_TOGGLE_CLICKING, false, 0, nullptr},
    {SettingKeys::HK_KEYSEQ_TOGGLE_CLICKING, true, 0, "Shift+Alt+F1"},
    {SettingKeys::HK_ACTIVATE_PLAYPAUSE, false, 0, nullptr},
    {SettingKeys::HK_KEYSEQ_PLAYPAUSE, true, 0, "Shift+Alt+F2"},
    {SettingKeys::HK_ACTIVATE_CLICKOPTS, false, 0, nullptr},
    {SettingKeys::HK_KEYSEQ_CLICKOPTS, true, 0, "Shift+Alt+F3"},
    {SettingKeys::HK_ACTIVATE_MAINWINDOW, false, 0, nullptr},
    {SettingKeys::HK_KEYSEQ_MAINWINDOW, true, 0, "Shift+Alt+F4"},
    {SettingKeys::HK_ACTIVATE_MOUSEX_INCREASE, false, 0, nullptr},
    {SettingKeys::HK_KEYSEQ_MOUSEX_INCREASE, true, 0, "Shift+Alt+F5"},
    {SettingKeys::HK_ACTIVATE_MOUSEX_DECREASE, false, 0, nullptr},
    {SettingKeys::HK_KEYSEQ_MOUSEX_DECREASE, true, 0, "Shift+Alt+F6"},
    {SettingKeys::HK_ACTIVATE_MOUSEY_INCREASE, false, 0, nullptr},
    {SettingKeys::HK_KEYSEQ_MOUSEY_INCREASE, true, 0, "Shift+Alt+F7"},
    {SettingKeys::HK_ACTIVATE_MOUSEY_DECREASE, false, 0, nullptr},
    {SettingKeys::HK_KEYSEQ_MOUSEY_DECREASE, true, 0, "Shift+Alt+F8"},
    {SettingKeys::HK_ACTIVATE_RECENTER, false, 0, nullptr},
    {SettingKeys::HK_KEYSEQ_RECENTER, true, 0, "Shift+Alt+F9"},
    {SettingKeys::HK_ACTIVATE_CALIBRATE, false, 0, nullptr},
    {SettingKeys::HK_KEYSEQ_CALIBRATE, true, 0, "Shift+Alt+F10"},
    {SettingKeys::HK_ACTIVATE_SMILEDWELL, false, 0, nullptr},
    {SettingKeys::HK_KEYSEQ_SMILEDWELL, true, 0, "Shift+Alt+F11"},
    {SettingKeys::HOTKEY_MESSAGE_TIME, false, 2, nullptr},
    {SettingKeys::LOGON, false, 0, nullptr},
    {SettingKeys::ORDER, false, 1, nullptr},
    {SettingKeys::LOCK_FPS, false, 0, nullptr},
    {SettingKeys::ADDITIONAL_LANDMARKS, false, 0, nullptr},
    {SettingKeys::INDIV_RESULTS, false, 0, nullptr},
    {SettingKeys::FINAL_RESULTS, false, 0, nullptr},
    {SettingKeys::ANIM_MOUSE_MOTION, false, 1, nullptr},
    {SettingKeys::ANIM_MOUSE_STICKINESS, false, 1, nullptr},
    {SettingKeys::ANIM_DWELL_PARK, false, 1, nullptr},
    {SettingKeys::SHOW_FACEDET_STATUS, false, 1, nullptr},
    {SettingKeys::SHOW_FACENOTDET_STATUS, false, 1, nullptr},
    {SettingKeys::SHOW_SMILE_STATUS, false, 1, nullptr},
    {SettingKeys::SHOW_ON_SCREEN_MESSAGES, false, 1, nullptr},
    {SettingKeys::SHOW_SMILE_SETTINGS_DETAILS, false, 0, nullptr},
    {SettingKeys::SHOW_MOUTHOPEN_SETTINGS_DETAILS, false, 0, nullptr},
    {SettingKeys::SHOW_HHS_SETTINGS_DETAILS, false, 0, nullptr},
    {SettingKeys::SHOW_EBR_SETTINGS_DETAILS, false, 0, nullptr},
    {SettingKeys::SHOW_BLINK_SETTINGS_DETAILS, false, 0, nullptr},
    {SettingKeys::SHOW_POINTING_ADVOPTS_DETAILS, false, 0, nullptr},
    {SettingKeys::SHOW_CLICKING_ADVOPTS_DETAILS, false, 0, nullptr},
    {SettingKeys::SHOW_GESTURES_ADVOPTS_DETAILS, false, 0, nullptr},
    {SettingKeys::SHOW_PREFERENCES_ADVOPTS_DETAILS, false, 0, nullptr},
    {SettingKeys::SHOW_HOTKEYS_ADVOPTS_DETAILS, false, 0, nullptr},
    {SettingKeys::SHOW_PREFERENCES_MMM_DETAILS, false, 0, nullptr},
    {SettingKeys::SOUND_STARTMOUSEMOTION, false, 0, nullptr},
    {SettingKeys::SOUND_ENDMOUSEMOTION, false, 0, nullptr},
    {SettingKeys::SOUND_CLICK, false, 1, nullptr},
    {SettingKeys::SOUND_CLICKANDDRAG, false, 1, nullptr},
    {SettingKeys::SOUND_SCROLL, false, 1, nullptr},
    {SettingKeys::SOUND_CLICKGESTUREIGNORED, false, 0, nullptr},
    {SettingKeys::SOUND_RECENTER, false, 0, nullptr},
    {SettingKeys::MINIMIZE_AFTER_CALIBRATION, false, 0, nullptr},
    {SettingKeys::START_AUTOMATICALLY, false, 0, nullptr},
    {SettingKeys::USE_DESKTOP_WITH_SINGLE_CLICK, false, 0, nullptr},
    {SettingKeys::PROCESS_PRIORITY, false, 1, nullptr},
    {SettingKeys::CAMERA_FLIPLEFTTORIGHT, false, 0, nullptr},
    {SettingKeys::CAMERA_FLIPTOPTOBOTTOM, false, 0, nullptr},
    {SettingKeys::CAMERA_MMIS, false, 0, nullptr},
    {SettingKeys::DEBUG_RECORD_INPUT, false, 0, nullptr},
    {SettingKeys::DEBUG_RECORD_OUTPUT, false, 0, nullptr},
    {SettingKeys::CREATE_LOG, false, 0, nullptr},
    {SettingKeys::SHOW_EYES, false, 0, nullptr},
    {SettingKeys::CAMERA_EXPOSURE, false, 0, nullptr},
    {SettingKeys::ADDITIONAL_RESOLUTION, false, 150, nullptr},
    {SettingKeys::CAMERA_FRAMERATE, false, 32, nullptr},
    {SettingKeys::BACKLIGHT, false, 0, nullptr},
    {SettingKeys::BACKLIGHT_LEVEL, false, 40, nullptr},
    {SettingKeys::BRIGHTNESS, false, 0, nullptr},
    {SettingKeys::BRIGHTNESS_LEVEL, false, 40, nullptr},
    {SettingKeys::FINE_CONTRAST, false, 0, nullptr},
    {SettingKeys::CONTRAST_LEVEL, false, 3, nullptr},
    {SettingKeys::BRUSH_SIZE, false, 2, nullptr},
    {SettingKeys::INFFAC, false, 0, nullptr},
    {SettingKeys::DEFAULT_IMGPROC, false, 1, nullptr},
    {SettingKeys::COARSE_CONTRAST, false, 0, nullptr},
    {SettingKeys::SECFACEDET, false, 1, nullptr},
    {SettingKeys::SECFACEDET_PRECISION, false, 8, nullptr},
    {SettingKeys::CCF_AUTOCLOSE, false, 0, nullptr},
    {SettingKeys::RTSF_AUTOCLOSE, false, 0, nullptr},
    {SettingKeys::ADDITIONAL_ETSYS, false, 0, nullptr},
    {SettingKeys::SLOWBLINK_MINDUR, false, 200, nullptr},
    {SettingKeys::SLOWBLINK_THRESHOLD, false, 85, nullptr},
    {SettingKeys::SLOWBLINK_MAXDUR, false, 2000, nullptr},
    {SettingKeys::SLOWBLINK_THROTTLETIME, false, 500, nullptr},
    {SettingKeys::SMILE_MINDUR, false, 150, nullptr},
    {SettingKeys::SMILE_THRESHOLD, false, 60, nullptr},
    {SettingKeys::EYEBROWRAISE_MINDUR, false, 125, nullptr},
    {SettingKeys::EYEBROWRAISE_THRESHOLD, false, 3, nullptr},
    {SettingKeys::MOUTHOPEN_MINDUR, false, 500, nullptr},
    {SettingKeys::MOUTHOPEN_THRESHOLD, false, 5, nullptr},
    {SettingKeys::MOUTHOPEN_THROTTLETIME, false, 500, nullptr},
    {SettingKeys::DEFAULT_CAMERA, true, 0, "None"},
    {SettingKeys::FIRST_RUN_EVER, false, 1, nullptr},
    {SettingKeys::MIGRATED_TO_2_1, false, 0, nullptr},
    {SettingKeys::FIRST_RUN_ON_V3X, false, 1, nullptr},
    {SettingKeys::HIDDEN_SETTING_1, false, 0, nullptr},
    {SettingKeys::HIDDEN_SETTING_2, false, 0, nullptr},
    {SettingKeys::HIDDEN_SETTING_3, false, 0, nullptr},
};

static_assert(sizeof(kDefinitions) / sizeof(kDefinitions[0]) == 179, "one entry per stored key");

} // namespace

namespace SettingsSchema {

const SettingDefinition *definitions()
{
    return kDefinitions;
}

std::size_t count()
{
    return sizeof(kDefinitions) / sizeof(kDefinitions[0]);
}

const SettingDefinition *find(const QString &key)
{
    static const QHash<QString, const SettingDefinition *> index = [] {
        QHash<QString, const SettingDefinition *> h;
        for (const SettingDefinition &d : kDefinitions)
            h.insert(QString::fromLatin1(d.key), &d);
        return h;
    }();
    return index.value(key, nullptr);
}

QVariant loadDefault(const SettingDefinition &definition)
{
    if (definition.isString)
        return QVariant(QString::fromLatin1(definition.stringDefault));
    return QVariant(definition.intDefault);
}

} // namespace SettingsSchema
