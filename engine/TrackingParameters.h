#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <mutex>

// The settings in the form the tracker and the click engine use them, filled from the
// settings that changed at the start of each processed frame. Nothing on the per-frame path
// reads the settings store. Fields are named after the setting they come from; the others
// are derived values or constants. Written on the worker thread (and on the GUI thread
// before the worker starts). The hotkey fields have a lock of their own; the hotkey commands
// themselves read their switches from the store, which a stopped tracker does not apply.
struct TrackingParameters
{
    qint32 TREMOR_CONTROL = 3;
    qint32 CLICK_ASSIST_LEVEL = 15;
    qint32 MAX_MOTION_AT_SMILE_START = 15;
    qint32 SMILE_CLK_INT = 1200;
    qint32 GESTURE_MINDUR_FLOOR = 75;
    qint32 SMILE_POINT_END = 1200;
    qint32 SMILE_SCROLL_END = 2800;
    qint32 GREEN_TIMER = 1125;
    qint32 YELLOW_TIMER = 1600;
    qint32 RED_TIMER = 2000;
    bool LOGON = false;
    qint32 ADDITIONAL_RESOLUTION = 150;
    qint32 CAMERA_FRAMERATE = 32;
    bool BACKLIGHT = true;
    qint32 BACKLIGHT_LEVEL = 40;
    bool FINE_CONTRAST = false;
    qint32 CLAHE_CLIP_LIMIT = 3;
    qint32 CLAHE_GRID_QUARTER = 2;
    bool COARSE_CONTRAST = false;
    bool DEFAULT_IMGPROC = true;
    bool SECFACEDET = true;
    qint32 HAAR_MIN_NEIGHBORS = 2;
    qint32 SMILE_REPEAT_GAP = 75;
    qint32 FACE_REDETECT_TIMEOUT = 60000;
    qint32 RELEASE_SPEED_LIMIT = 67;
    bool RELEASE_SPEED_CHECK = true;
    bool PEAK_REACHED_CHECK = true;
    qint32 PCE_SUSTAIN_TIME_DELTA_TO_STICK = 1125;
    qint32 PARK_SPEED = 3;
    qint32 DWELL_PARK_TIME = 500;
    qint32 ESCAPE_SPEED_POINT = 4;
    qint32 ESCAPE_SPEED_SCROLL = 4;
    qint32 ESCAPE_SPEED = 4;
    bool GEN_SPACE_INSTEAD_OF_CLICK = false;
    bool GEN_ONE_INSTEAD_OF_CLICK = false;
    bool GEN_F12_INSTEAD_OF_CLICK = false;
    bool GEN_F13_INSTEAD_OF_CLICK = false;
    bool GEN_F14_INSTEAD_OF_CLICK = false;
    bool GEN_CLICK_INSTEAD_OF_CLICK = false;
    bool INSTANT_CLICK = false;
    bool SLOW_SMILES = false;
    bool ACTIVATE_BLINK_DETECTION = false;
    bool ACTIVATE_MOUTHOPEN_DETECTION = false;
    bool ACTIVATE_HHS_DETECTION = false;
    bool ACTIVATE_EYEBROWRAISE_DETECTION = false;
    bool ACTIVATE_SMILE_DETECTION = false;
    bool ACTIVATE_MMM_DETECTION = true;
    bool MMM_DISPLAY_OSW = true;
    bool MMM_RECENTER = true;
    qint32 MMM_THRESHOLD = 110;
    qint32 MMM_TIME_LAG = 2100;
    bool IGNORE_MOUTHOPEN_WHEN_LOOKING_AWAY = false;
    bool IGNORE_SMILE_WHEN_LOOKING_AWAY = false;
    bool IGNORE_HHS_WHEN_LOOKING_AWAY = false;
    bool IGNORE_EYEBROWRAISE_WHEN_LOOKING_AWAY = false;
    bool IGNORE_BLINK_WHEN_LOOKING_AWAY = false;
    qint32 SMILE_MINDUR = 150;
    qint32 SMILE_THRESHOLD = 60;
    qint32 SLOWBLINK_MINDUR = 200;
    qint32 SLOWBLINK_THRESHOLD = 85;
    qint32 SLOWBLINK_MAXDUR = 2000;
    qint32 SLOWBLINK_THROTTLETIME = 500;
    qint32 EYEBROWRAISE_MINDUR = 125;
    qint32 EYEBROWRAISE_THRESHOLD = 3;
    qint32 MOUTHOPEN_MINDUR = 500;
    qint32 MOUTHOPEN_THRESHOLD = 5;
    qint32 MOUTHOPEN_THROTTLETIME = 500;
    qint32 FEMAP_INDEX_EYEBROWRAISE = 0;
    qint32 FEMAP_INDEX_MOUTHOPEN = 0;
    qint32 FEMAP_INDEX_SLOWBLINK = 0;
    qint32 FEMAP_INDEX_SMILE = 1;
    qint32 FEMAP_INDEX_HHS = 0;
    bool MODE_FULL_FUNCTION = true;
    bool MODE_SWITCH_ONLY = false;
    bool SHOW_CLICK_OPTIONS = true;
    bool CO_SHOW_ALL_BUTTONS = true;
    qint32 HOTKEY_MESSAGE_TIME = 2;
    qint32 HHS_THRESHOLD = 5;
    qint32 HHS_TIME = 7000;
    bool DISABLE_STICKINESS_OSK = true;
    bool ENHANCE_PRECISION = false;
    bool ABSOLUTE_MODE = false;
    qint32 ABSOMODE_FZS = 50;
    qint32 ABSOMODE_FZS_2 = 50;
    qint32 DWELL_PARK_THRESHOLD = 3;
    bool ABSO_TRUERAW = false;
    bool ABSO_TRUESM = false;
    bool ABSO_COMBO1 = false;
    bool ABSO_COMBO2 = false;
    bool ABSO_COMBO3 = false;
    bool ABSO_COMBO4 = false;
    bool ABSO_COMBO5 = false;
    bool ABSO_COMBO6 = false;
    qint32 SCROLL_DEAD_ZONE = 60;
    qint32 SCROLL_FACE_TIMEOUT = 60000;
    qint32 DWELL_CLICK_TIME = 1500;
    qint32 DWELL_ZONE_SIZE = 20;
    qint32 ESCAPE_VELOCITY = 4;
    bool ANIM_MOUSE_MOTION = true;
    bool ANIM_MOUSE_STICKINESS = true;
    bool ANIM_DWELL_PARK = true;
    bool SHOW_FACEDET_STATUS = true;
    bool SHOW_FACENOTDET_STATUS = true;
    bool SHOW_SMILE_STATUS = true;
    bool SHOW_ON_SCREEN_MESSAGES = true;
    bool SHOW_SMILE_SETTINGS_DETAILS = false;
    bool SHOW_MOUTHOPEN_SETTINGS_DETAILS = false;
    bool SHOW_HHS_SETTINGS_DETAILS = false;
    bool SHOW_EBR_SETTINGS_DETAILS = false;
    bool SHOW_BLINK_SETTINGS_DETAILS = false;
    bool SHOW_POINTING_ADVOPTS_DETAILS = false;
    bool SHOW_CLICKING_ADVOPTS_DETAILS = false;
    bool SHOW_GESTURES_ADVOPTS_DETAILS = false;
    bool SHOW_PREFERENCES_ADVOPTS_DETAILS = false;
    bool SHOW_HOTKEYS_ADVOPTS_DETAILS = false;
    bool SHOW_PREFERENCES_MMM_DETAILS = false;
    bool SOUND_STARTMOUSEMOTION = true;
    bool SOUND_ENDMOUSEMOTION = true;
    bool SOUND_CLICK = true;
    bool SOUND_CLICKANDDRAG = true;
    bool SOUND_SCROLL = true;
    bool SOUND_CLICKGESTUREIGNORED = true;
    bool SOUND_RECENTER = false;
    bool MINIMIZE_AFTER_CALIBRATION = false;
    bool START_AUTOMATICALLY = false;
    bool USE_DESKTOP_WITH_SINGLE_CLICK = false;
    qint32 PROCESS_PRIORITY = 1;
    bool CAMERA_FLIPLEFTTORIGHT = false;
    bool CAMERA_FLIPTOPTOBOTTOM = false;
    bool CAMERA_MMIS = true;
    double HAAR_BOX_MARGIN_PCT = 20.0;
    qint32 ADDITIONAL_ETSYS = 0;
    bool STICKINESS_OFF_UNDER_POINTER = false;
    qint32 FIRST_RUN_EVER = 0;
    bool MIGRATED_TO_2_1 = false;
    qint32 FIRST_RUN_ON_V3X = 0;

    // The eleven hotkey commands, in the order their settings are listed.
    enum Hotkey
    {
        ToggleClicking,
        PlayPause,
        ClickOpts,
        MainWindow,
        MouseXIncrease,
        MouseXDecrease,
        MouseYIncrease,
        MouseYDecrease,
        Recenter,
        Calibrate,
        SmileDwell,
        HotkeyCount
    };
    // The GUI thread reads these while the worker writes them: both go through this lock.
    bool hotkeyEnabled(Hotkey which) const;
    QString hotkeySequence(Hotkey which) const;
    void setHotkey(Hotkey which, bool enabled, const QString &sequence);
    void setHotkeyEnabled(Hotkey which, bool enabled);
    void setHotkeySequence(Hotkey which, const QString &sequence);

private:
    mutable std::mutex hotkeyMutex;
    std::array<bool, HotkeyCount> hotkeyOn{};
    std::array<QString, HotkeyCount> hotkeyText;
};

// The click and motion modes and the click options as the engine uses them.
struct ClickOptionState
{
    qint32 MOTION_MODE = 0;
    // 0 smile clicking, 1 dwell clicking.
    qint32 CLICK_MODE = 0;
    // Set once the user's first session on a click-mode choice (or a smile calibration) ran.
    qint32 trackingSessionStarted = 0;
    qint32 CLICK_OPTION_RIGHT_CLICK = 0;
    qint32 CLICK_OPTION_TIMES2_MODE = 0;
    qint32 CLICK_OPTION_DRAG_MODE = 0;
    qint32 CLICK_OPTION_SCROLL_MODE = 0;
    qint32 CLICK_OPTION_CLICKING_ACTIVE = 0;
    // 0 idle, 1 button held, -1 release pending.
    qint32 dragState = 0;
    // Set by the engine after a click; the frame loop answers with a soft reset.
    qint32 clickPerformed = 0;
};

// The pointer's sensitivities and the engine's on/off switch.
struct PointerSettings
{
    // The frame loop runs the click engine only while this is not 0 (calibration clears it).
    qint32 engineEnabled = 1;
    // Height factor of the upper and lower feature regions.
    double regionHeightFactor = 0.26;
    // Whether the smile may drive the progress ring.
    qint32 meterEnabled = 1;
    // Index 1 to 10 of the horizontal and vertical gain.
    qint32 MOUSE_SENSIVITY_X = 5;
    qint32 MOUSE_SENSIVITY_Y = 5;
    qint32 MOUSE_ACCELERATION = 3;
    qint32 CLICK_OPTION_LEFT_CLICK = 1;
};

extern TrackingParameters trackingParameters;
extern ClickOptionState clickOptionState;
extern PointerSettings pointerSettings;

// The derived values, recomputed from the current values of all their inputs.
void recomputeDerivedParameters(TrackingParameters &p);
