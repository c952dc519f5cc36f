#pragma once

#include <QString>
#include <QVariant>

#include <cstddef>

// The names of every stored setting. Components spell keys only through these constants.
namespace SettingKeys {
inline constexpr char CLICK_MODE[] = "CLICK_MODE";
inline constexpr char MOTION_MODE[] = "MOTION_MODE";
inline constexpr char MOUSE_SENSIVITY_X[] = "MOUSE_SENSIVITY_X";
inline constexpr char MOUSE_SENSIVITY_Y[] = "MOUSE_SENSIVITY_Y";
inline constexpr char HHS_THRESHOLD[] = "HHS_THRESHOLD";
inline constexpr char HHS_TIME[] = "HHS_TIME";
inline constexpr char ENHANCE_PRECISION[] = "ENHANCE_PRECISION";
inline constexpr char ABSOLUTE_MODE[] = "ABSOLUTE_MODE";
inline constexpr char ABSOMODE_FZS[] = "ABSOMODE_FZS";
inline constexpr char ABSO_TRUERAW[] = "ABSO_TRUERAW";
inline constexpr char ABSO_TRUESM[] = "ABSO_TRUESM";
inline constexpr char ABSO_COMBO1[] = "ABSO_COMBO1";
inline constexpr char ABSO_COMBO2[] = "ABSO_COMBO2";
inline constexpr char ABSO_COMBO3[] = "ABSO_COMBO3";
inline constexpr char ABSO_COMBO4[] = "ABSO_COMBO4";
inline constexpr char ABSO_COMBO5[] = "ABSO_COMBO5";
inline constexpr char ABSO_COMBO6[] = "ABSO_COMBO6";
inline constexpr char ABSOMODE_FZS_2[] = "ABSOMODE_FZS_2";
inline constexpr char DWELL_PARK_THRESHOLD[] = "DWELL_PARK_THRESHOLD";
inline constexpr char MOUSE_ACCELERATION[] = "MOUSE_ACCELERATION";
inline constexpr char DWELL_CLICK_TIME[] = "DWELL_CLICK_TIME";
inline constexpr char DWELL_ZONE_SIZE[] = "DWELL_ZONE_SIZE";
inline constexpr char TREMOR_CONTROL[] = "TREMOR_CONTROL";
inline constexpr char ESCAPE_VELOCITY[] = "ESCAPE_VELOCITY";
inline constexpr char DWELL_PARK_TIME[] = "DWELL_PARK_TIME";
inline constexpr char CALIBRATE_REQUESTED[] = "CALIBRATE_REQUESTED";
inline constexpr char CLICK_ASSIST_LEVEL[] = "CLICK_ASSIST_LEVEL";
inline constexpr char PCE_SUSTAIN_TIME_DELTA_TO_STICK[] = "PCE_SUSTAIN_TIME_DELTA_TO_STICK";
inline constexpr char MAX_MOTION_AT_SMILE_START[] = "MAX_MOTION_AT_SMILE_START";
inline constexpr char FULL_SCREEN_MODE_ON[] = "FULL_SCREEN_MODE_ON";
inline constexpr char ENABLE_PAN_SCAN[] = "ENABLE_PAN_SCAN";
inline constexpr char GREEN_TIMER[] = "GREEN_TIMER";
inline constexpr char YELLOW_TIMER[] = "YELLOW_TIMER";
inline constexpr char RED_TIMER[] = "RED_TIMER";
inline constexpr char CLICK_OPTION_LEFT_CLICK[] = "CLICK_OPTION_LEFT_CLICK";
inline constexpr char CLICK_OPTION_RIGHT_CLICK[] = "CLICK_OPTION_RIGHT_CLICK";
inline constexpr char CLICK_OPTION_LEFT_CLICK_LOCKED[] = "CLICK_OPTION_LEFT_CLICK_LOCKED";
inline constexpr char CLICK_OPTION_RIGHT_CLICK_LOCKED[] = "CLICK_OPTION_RIGHT_CLICK_LOCKED";
inline constexpr char CLICK_OPTION_TIMES2_MODE[] = "CLICK_OPTION_TIMES2_MODE";
inline constexpr char CLICK_OPTION_DRAG_MODE[] = "CLICK_OPTION_DRAG_MODE";
inline constexpr char CLICK_OPTION_SCROLL_MODE[] = "CLICK_OPTION_SCROLL_MODE";
inline constexpr char CLICK_OPTION_TIMES2_MODE_LOCKED[] = "CLICK_OPTION_TIMES2_MODE_LOCKED";
inline constexpr char CLICK_OPTION_DRAG_MODE_LOCKED[] = "CLICK_OPTION_DRAG_MODE_LOCKED";
inline constexpr char CLICK_OPTION_SCROLL_MODE_LOCKED[] = "CLICK_OPTION_SCROLL_MODE_LOCKED";
inline constexpr char CLICK_OPTION_CLICKING_ACTIVE[] = "CLICK_OPTION_CLICKING_ACTIVE";
inline constexpr char SHOW_CLICK_OPTIONS[] = "SHOW_CLICK_OPTIONS";
inline constexpr char CO_SHOW_ALL_BUTTONS[] = "CO_SHOW_ALL_BUTTONS";
inline constexpr char DISABLE_STICKINESS_OSK[] = "DISABLE_STICKINESS_OSK";
inline constexpr char GEN_SPACE_INSTEAD_OF_CLICK[] = "GEN_SPACE_INSTEAD_OF_CLICK";
inline constexpr char GEN_ONE_INSTEAD_OF_CLICK[] = "GEN_ONE_INSTEAD_OF_CLICK";
inline constexpr char GEN_F12_INSTEAD_OF_CLICK[] = "GEN_F12_INSTEAD_OF_CLICK";
inline constexpr char GEN_F13_INSTEAD_OF_CLICK[] = "GEN_F13_INSTEAD_OF_CLICK";
inline constexpr char GEN_F14_INSTEAD_OF_CLICK[] = "GEN_F14_INSTEAD_OF_CLICK";
inline constexpr char GEN_CLICK_INSTEAD_OF_CLICK[] = "GEN_CLICK_INSTEAD_OF_CLICK";
inline constexpr char INSTANT_CLICK[] = "INSTANT_CLICK";
inline constexpr char SLOW_SMILES[] = "SLOW_SMILES";
inline constexpr char ACTIVATE_BLINK_DETECTION[] = "ACTIVATE_BLINK_DETECTION";
inline constexpr char ACTIVATE_MOUTHOPEN_DETECTION[] = "ACTIVATE_MOUTHOPEN_DETECTION";
inline constexpr char IGNORE_MOUTHOPEN_WHEN_LOOKING_AWAY[] = "IGNORE_MOUTHOPEN_WHEN_LOOKING_AWAY";
inline constexpr char IGNORE_SMILE_WHEN_LOOKING_AWAY[] = "IGNORE_SMILE_WHEN_LOOKING_AWAY";
inline constexpr char IGNORE_HHS_WHEN_LOOKING_AWAY[] = "IGNORE_HHS_WHEN_LOOKING_AWAY";
inline constexpr char IGNORE_EYEBROWRAISE_WHEN_LOOKING_AWAY[] =
    "IGNORE_EYEBROWRAISE_WHEN_LOOKING_AWAY";
inline constexpr char IGNORE_BLINK_WHEN_LOOKING_AWAY[] = "IGNORE_BLINK_WHEN_LOOKING_AWAY";
inline constexpr char ACTIVATE_MMM_DETECTION[] = "ACTIVATE_MMM_DETECTION";
inline constexpr char MMM_DISPLAY_OSW[] = "MMM_DISPLAY_OSW";
inline constexpr char MMM_RECENTER[] = "MMM_RECENTER";
inline constexpr char MMM_THRESHOLD[] = "MMM_THRESHOLD";
inline constexpr char MMM_TIME_LAG[] = "MMM_TIME_LAG";
inline constexpr char ACTIVATE_HHS_DETECTION[] = "ACTIVATE_HHS_DETECTION";
inline constexpr char ACTIVATE_EYEBROWRAISE_DETECTION[] = "ACTIVATE_EYEBROWRAISE_DETECTION";
inline constexpr char ACTIVATE_SMILE_DETECTION[] = "ACTIVATE_SMILE_DETECTION";
inline constexpr char FEMAP_INDEX_EYEBROWRAISE[] = "FEMAP_INDEX_EYEBROWRAISE";
inline constexpr char FEMAP_INDEX_SMILE[] = "FEMAP_INDEX_SMILE";
inline constexpr char FEMAP_INDEX_SLOWBLINK[] = "FEMAP_INDEX_SLOWBLINK";
inline constexpr char FEMAP_INDEX_MOUTHOPEN[] = "FEMAP_INDEX_MOUTHOPEN";
inline constexpr char FEMAP_INDEX_HHS[] = "FEMAP_INDEX_HHS";
inline constexpr char MODE_FULL_FUNCTION[] = "MODE_FULL_FUNCTION";
inline constexpr char MODE_SWITCH_ONLY[] = "MODE_SWITCH_ONLY";
inline constexpr char HK_ACTIVATE_TOGGLE_CLICKING[] = "HK_ACTIVATE_TOGGLE_CLICKING";
inline constexpr char HK_KEYSEQ_TOGGLE_CLICKING[] = "HK_KEYSEQ_TOGGLE_CLICKING";
inline constexpr char HK_ACTIVATE_PLAYPAUSE[] = "HK_ACTIVATE_PLAYPAUSE";
inline constexpr char HK_KEYSEQ_PLAYPAUSE[] = "HK_KEYSEQ_PLAYPAUSE";
inline constexpr char HK_ACTIVATE_CLICKOPTS[] = "HK_ACTIVATE_CLICKOPTS";
inline constexpr char HK_KEYSEQ_CLICKOPTS[] = "HK_KEYSEQ_CLICKOPTS";
inline constexpr char HK_ACTIVATE_MAINWINDOW[] = "HK_ACTIVATE_MAINWINDOW";
inline constexpr char HK_KEYSEQ_MAINWINDOW[] = "HK_KEYSEQ_MAINWINDOW";
inline constexpr char HK_ACTIVATE_MOUSEX_INCREASE[] = "HK_ACTIVATE_MOUSEX_INCREASE";
inline constexpr char HK_KEYSEQ_MOUSEX_INCREASE[] = "HK_KEYSEQ_MOUSEX_INCREASE";
inline constexpr char HK_ACTIVATE_MOUSEX_DECREASE[] = "HK_ACTIVATE_MOUSEX_DECREASE";
inline constexpr char HK_KEYSEQ_MOUSEX_DECREASE[] = "HK_KEYSEQ_MOUSEX_DECREASE";
inline constexpr char HK_ACTIVATE_MOUSEY_INCREASE[] = "HK_ACTIVATE_MOUSEY_INCREASE";
inline constexpr char HK_KEYSEQ_MOUSEY_INCREASE[] = "HK_KEYSEQ_MOUSEY_INCREASE";
inline constexpr char HK_ACTIVATE_MOUSEY_DECREASE[] = "HK_ACTIVATE_MOUSEY_DECREASE";
inline constexpr char HK_KEYSEQ_MOUSEY_DECREASE[] = "HK_KEYSEQ_MOUSEY_DECREASE";
inline constexpr char HK_ACTIVATE_RECENTER[] = "HK_ACTIVATE_RECENTER";
inline constexpr char HK_KEYSEQ_RECENTER[] = "HK_KEYSEQ_RECENTER";
inline constexpr char HK_ACTIVATE_CALIBRATE[] = "HK_ACTIVATE_CALIBRATE";
inline constexpr char HK_KEYSEQ_CALIBRATE[] = "HK_KEYSEQ_CALIBRATE";
inline constexpr char HK_ACTIVATE_SMILEDWELL[] = "HK_ACTIVATE_SMILEDWELL";
inline constexpr char HK_KEYSEQ_SMILEDWELL[] = "HK_KEYSEQ_SMILEDWELL";
inline constexpr char HOTKEY_MESSAGE_TIME[] = "HOTKEY_MESSAGE_TIME";
inline constexpr char LOGON[] = "LOGON";
inline constexpr char ORDER[] = "ORDER";
inline constexpr char LOCK_FPS[] = "LOCK_FPS";
inline constexpr char ADDITIONAL_LANDMARKS[] = "ADDITIONAL_LANDMARKS";
inline constexpr char INDIV_RESULTS[] = "INDIV_RESULTS";
inline constexpr char FINAL_RESULTS[] = "FINAL_RESULTS";
inline constexpr char ANIM_MOUSE_MOTION[] = "ANIM_MOUSE_MOTION";
inline constexpr char ANIM_MOUSE_STICKINESS[] = "ANIM_MOUSE_STICKINESS";
inline constexpr char ANIM_DWELL_PARK[] = "ANIM_DWELL_PARK";
inline constexpr char SHOW_FACEDET_STATUS[] = "SHOW_FACEDET_STATUS";
inline constexpr char SHOW_FACENOTDET_STATUS[] = "SHOW_FACENOTDET_STATUS";
inline constexpr char SHOW_SMILE_STATUS[] = "SHOW_SMILE_STATUS";
inline constexpr char SHOW_ON_SCREEN_MESSAGES[] = "SHOW_ON_SCREEN_MESSAGES";
inline constexpr char SHOW_SMILE_SETTINGS_DETAILS[] = "SHOW_SMILE_SETTINGS_DETAILS";
inline constexpr char SHOW_MOUTHOPEN_SETTINGS_DETAILS[] = "SHOW_MOUTHOPEN_SETTINGS_DETAILS";
inline constexpr char SHOW_HHS_SETTINGS_DETAILS[] = "SHOW_HHS_SETTINGS_DETAILS";
inline constexpr char SHOW_EBR_SETTINGS_DETAILS[] = "SHOW_EBR_SETTINGS_DETAILS";
inline constexpr char SHOW_BLINK_SETTINGS_DETAILS[] = "SHOW_BLINK_SETTINGS_DETAILS";
inline constexpr char SHOW_POINTING_ADVOPTS_DETAILS[] = "SHOW_POINTING_ADVOPTS_DETAILS";
inline constexpr char SHOW_CLICKING_ADVOPTS_DETAILS[] = "SHOW_CLICKING_ADVOPTS_DETAILS";
inline constexpr char SHOW_GESTURES_ADVOPTS_DETAILS[] = "SHOW_GESTURES_ADVOPTS_DETAILS";
inline constexpr char SHOW_PREFERENCES_ADVOPTS_DETAILS[] = "SHOW_PREFERENCES_ADVOPTS_DETAILS";
inline constexpr char SHOW_HOTKEYS_ADVOPTS_DETAILS[] = "SHOW_HOTKEYS_ADVOPTS_DETAILS";
inline constexpr char SHOW_PREFERENCES_MMM_DETAILS[] = "SHOW_PREFERENCES_MMM_DETAILS";
inline constexpr char SOUND_STARTMOUSEMOTION[] = "SOUND_STARTMOUSEMOTION";
inline constexpr char SOUND_ENDMOUSEMOTION[] = "SOUND_ENDMOUSEMOTION";
inline constexpr char SOUND_CLICK[] = "SOUND_CLICK";
inline constexpr char SOUND_CLICKANDDRAG[] = "SOUND_CLICKANDDRAG";
inline constexpr char SOUND_SCROLL[] = "SOUND_SCROLL";
inline constexpr char SOUND_CLICKGESTUREIGNORED[] = "SOUND_CLICKGESTUREIGNORED";
inline constexpr char SOUND_RECENTER[] = "SOUND_RECENTER";
inline constexpr char MINIMIZE_AFTER_CALIBRATION[] = "MINIMIZE_AFTER_CALIBRATION";
inline constexpr char START_AUTOMATICALLY[] = "START_AUTOMATICALLY";
inline constexpr char USE_DESKTOP_WITH_SINGLE_CLICK[] = "USE_DESKTOP_WITH_SINGLE_CLICK";
inline constexpr char PROCESS_PRIORITY[] = "PROCESS_PRIORITY";
inline constexpr char CAMERA_FLIPLEFTTORIGHT[] = "CAMERA_FLIPLEFTTORIGHT";
inline constexpr char CAMERA_FLIPTOPTOBOTTOM[] = "CAMERA_FLIPTOPTOBOTTOM";
inline constexpr char CAMERA_MMIS[] = "CAMERA_MMIS";
inline constexpr char DEBUG_RECORD_INPUT[] = "DEBUG_RECORD_INPUT";
inline constexpr char DEBUG_RECORD_OUTPUT[] = "DEBUG_RECORD_OUTPUT";
inline constexpr char CREATE_LOG[] = "CREATE_LOG";
inline constexpr char SHOW_EYES[] = "SHOW_EYES";
inline constexpr char CAMERA_EXPOSURE[] = "CAMERA_EXPOSURE";
inline constexpr char ADDITIONAL_RESOLUTION[] = "ADDITIONAL_RESOLUTION";
inline constexpr char CAMERA_FRAMERATE[] = "CAMERA_FRAMERATE";
inline constexpr char BACKLIGHT[] = "BACKLIGHT";
inline constexpr char BACKLIGHT_LEVEL[] = "BACKLIGHT_LEVEL";
inline constexpr char BRIGHTNESS[] = "BRIGHTNESS";
inline constexpr char BRIGHTNESS_LEVEL[] = "BRIGHTNESS_LEVEL";
inline constexpr char FINE_CONTRAST[] = "FINE_CONTRAST";
inline constexpr char CONTRAST_LEVEL[] = "CONTRAST_LEVEL";
inline constexpr char BRUSH_SIZE[] = "BRUSH_SIZE";
inline constexpr char INFFAC[] = "INFFAC";
inline constexpr char DEFAULT_IMGPROC[] = "DEFAULT_IMGPROC";
inline constexpr char COARSE_CONTRAST[] = "COARSE_CONTRAST";
inline constexpr char SECFACEDET[] = "SECFACEDET";
inline constexpr char SECFACEDET_PRECISION[] = "SECFACEDET_PRECISION";
inline constexpr char CCF_AUTOCLOSE[] = "CCF_AUTOCLOSE";
inline constexpr char RTSF_AUTOCLOSE[] = "RTSF_AUTOCLOSE";
inline constexpr char ADDITIONAL_ETSYS[] = "ADDITIONAL_ETSYS";
inline constexpr char SLOWBLINK_MINDUR[] = "SLOWBLINK_MINDUR";
inline constexpr char SLOWBLINK_THRESHOLD[] = "SLOWBLINK_THRESHOLD";
inline constexpr char SLOWBLINK_MAXDUR[] = "SLOWBLINK_MAXDUR";
inline constexpr char SLOWBLINK_THROTTLETIME[] = "SLOWBLINK_THROTTLETIME";
inline constexpr char SMILE_MINDUR[] = "SMILE_MINDUR";
inline constexpr char SMILE_THRESHOLD[] = "SMILE_THRESHOLD";
inline constexpr char EYEBROWRAISE_MINDUR[] = "EYEBROWRAISE_MINDUR";
inline constexpr char EYEBROWRAISE_THRESHOLD[] = "EYEBROWRAISE_THRESHOLD";
inline constexpr char MOUTHOPEN_MINDUR[] = "MOUTHOPEN_MINDUR";
inline constexpr char MOUTHOPEN_THRESHOLD[] = "MOUTHOPEN_THRESHOLD";
inline constexpr char MOUTHOPEN_THROTTLETIME[] = "MOUTHOPEN_THROTTLETIME";
inline constexpr char DEFAULT_CAMERA[] = "DEFAULT_CAMERA";
inline constexpr char FIRST_RUN_EVER[] = "FIRST_RUN_EVER";
inline constexpr char MIGRATED_TO_2_1[] = "MIGRATED_TO_2_1";
inline constexpr char FIRST_RUN_ON_V3X[] = "FIRST_RUN_ON_V3X";
inline constexpr char HIDDEN_SETTING_1[] = "HIDDEN_SETTING_1";
inline constexpr char HIDDEN_SETTING_2[] = "HIDDEN_SETTING_2";
inline constexpr char HIDDEN_SETTING_3[] = "HIDDEN_SETTING_3";
} // namespace SettingKeys

// One stored setting: its key, whether it holds text, and the value used when the settings
// file lacks it.
struct SettingDefinition
{
    const char *key;
    bool isString;
    int intDefault;
    const char *stringDefault;
};

namespace SettingsSchema {

// Every key in the order the store loads them.
const SettingDefinition *definitions();
std::size_t count();
// The definition of a key, or nullptr for a key the store does not hold.
const SettingDefinition *find(const QString &key);
// The load default as a QVariant of the key's type (invalid for an unknown key).
QVariant loadDefault(const SettingDefinition &definition);

} // namespace SettingsSchema
