#include "ui/settings/SettingsBindings.h"

#include "core/SettingsKeys.h"

namespace SettingsBindings {

namespace {

using namespace SettingKeys;

constexpr Kind Pair = Kind::SliderPair;
constexpr Kind Check = Kind::Toggle;
constexpr Kind Hotkey = Kind::HotkeyToggle;
constexpr Kind Details = Kind::DetailsToggle;
constexpr Kind Method = Kind::AbsoluteMethod;
constexpr Kind Sequence = Kind::KeySequence;

const Binding kBindings[] = {
    {Pair, MOUSE_SENSIVITY_X, "mouseSensitivityXSpin", "mouseSensitivityXSlider"},
    {Pair, MOUSE_SENSIVITY_Y, "mouseSensitivityYSpin", "mouseSensitivityYSlider"},
    {Pair, HHS_THRESHOLD, "HHSThresholdSpin", "HHSThresholdSlider"},
    {Pair, HHS_TIME, "HHSMinDurSpin", "HHSMinDurSlider"},
    {Pair, ABSOMODE_FZS, "focusZoneSpin", "focusZoneSlider"},
    {Pair, ABSOMODE_FZS_2, "focusZoneSpin_2", "focusZoneSlider_2"},
    {Pair, DWELL_PARK_THRESHOLD, "dwellParkThresholdSpin", "dwellParkThresholdSlider"},
    {Check, ENHANCE_PRECISION, "enhancePrecisionCheck", nullptr},
    {Kind::PointingMode, ABSOLUTE_MODE, "absoluteModeRadio", "relativeModeRadio"},
    {Method, ABSO_TRUERAW, "radio_AbsoTrueRaw", nullptr},
    {Method, ABSO_TRUESM, "radio_AbsoTrueSm", nullptr},
    {Method, ABSO_COMBO1, "radio_AbsoCombo1", nullptr},
    {Method, ABSO_COMBO2, "radio_AbsoCombo2", nullptr},
    {Method, ABSO_COMBO3, "radio_AbsoCombo3", nullptr},
    {Method, ABSO_COMBO4, "radio_AbsoCombo4", nullptr},
    {Method, ABSO_COMBO5, "radio_AbsoCombo5", nullptr},
    {Method, ABSO_COMBO6, "radio_AbsoCombo6", nullptr},
    {Pair, MOUSE_ACCELERATION, "mouseAccelerationSpin", "mouseAccelerationSlider"},
    {Pair, DWELL_CLICK_TIME, "dwellClickTimeSpin", "dwellClickTimeSlider"},
    {Pair, DWELL_ZONE_SIZE, "dwellZoneSizeSpin", "dwellZoneSizeSlider"},
    {Pair, TREMOR_CONTROL, "tremorControlSpin", "tremorControlSlider"},
    {Pair, ESCAPE_VELOCITY, "escapeVelocitySpin", "escapeVelocitySlider"},
    {Pair, DWELL_PARK_TIME, "dwellParkTimeSpin", "dwellParkTimeSlider"},
    {Pair, GREEN_TIMER, "greenSpin", "greenSlider"},
    {Pair, YELLOW_TIMER, "yellowSpin", "yellowSlider"},
    {Pair, RED_TIMER, "redSpin", "redSlider"},
    {Kind::ShowClickOptions, SHOW_CLICK_OPTIONS, "showClickOptionsCheck", nullptr},
    {Check, DISABLE_STICKINESS_OSK, "disableStickinessOSKCheck", nullptr},
    {Check, INSTANT_CLICK, "instantClickCheck", nullptr},
    {Check, SLOW_SMILES, "slowSmilesCheck", nullptr},
    {Kind::SmileToggle, ACTIVATE_SMILE_DETECTION, "activateSmileDetectionCheck", nullptr},
    {Check, ACTIVATE_EYEBROWRAISE_DETECTION, "activateEyebrowRaiseDetectionCheck", nullptr},
    {Check, ACTIVATE_BLINK_DETECTION, "activateBlinkDetectionCheck", nullptr},
    {Check, ACTIVATE_MOUTHOPEN_DETECTION, "activateMouthOpenDetectionCheck", nullptr},
    {Check, ACTIVATE_HHS_DETECTION, "activateHHSDetectionCheck", nullptr},
    {Check, IGNORE_MOUTHOPEN_WHEN_LOOKING_AWAY, "ignoreMOWhenLookingAwayCheck", nullptr},
    {Check, IGNORE_SMILE_WHEN_LOOKING_AWAY, "ignoreSmileWhenLookingAwayCheck", nullptr},
    {Check, IGNORE_HHS_WHEN_LOOKING_AWAY, "ignoreHHSWhenLookingAwayCheck", nullptr},
    {Check, IGNORE_EYEBROWRAISE_WHEN_LOOKING_AWAY, "ignoreEBRWhenLookingAwayCheck", nullptr},
    {Check, IGNORE_BLINK_WHEN_LOOKING_AWAY, "ignoreBlinkWhenLookingAwayCheck", nullptr},
    {Check, ACTIVATE_MMM_DETECTION, "checkMMMActivate", nullptr},
    {Check, MMM_DISPLAY_OSW, "checkMMMDisplayOSW", nullptr},
    {Check, MMM_RECENTER, "checkMMMRecenter", nullptr},
    {Pair, MMM_THRESHOLD, "spinMMMThreshold", "sliderMMMThreshold"},
    {Pair, MMM_TIME_LAG, "spinMMMTimeLag", "sliderMMMTimeLag"},
    {Pair, CLICK_ASSIST_LEVEL, "clickAssistLevelSpin", "clickAssistLevelSlider"},
    {Pair, PCE_SUSTAIN_TIME_DELTA_TO_STICK, "pceSustainTimeDeltaSpin", "pceSustainTimeDeltaSlider"},
    {Pair, MAX_MOTION_AT_SMILE_START, "maxMotionAtSmileStartSpin", "maxMotionAtSmileStartSlider"},
    {Pair, ADDITIONAL_ETSYS, "additionalEtsysSpin", "additionalEtsysSlider"},
    {Pair, SMILE_MINDUR, "SmileMinDurSpin", "SmileMinDurSlider"},
    {Pair, SMILE_THRESHOLD, "SmileThresholdSpin", "SmileThresholdSlider"},
    {Pair, SLOWBLINK_MINDUR, "BlinkMinDurSpin", "BlinkMinDurSlider"},
    {Pair, SLOWBLINK_THRESHOLD, "BlinkThresholdSpin", "BlinkThresholdSlider"},
    {Pair, SLOWBLINK_MAXDUR, "BlinkMaxDurSpin", "BlinkMaxDurSlider"},
    {Pair, SLOWBLINK_THROTTLETIME, "BlinkThrottleTimeSpin", "BlinkThrottleTimeSlider"},
    {Pair, EYEBROWRAISE_MINDUR, "EbrMinDurSpin", "EbrMinDurSlider"},
    {Pair, EYEBROWRAISE_THRESHOLD, "EbrThresholdSpin", "EbrThresholdSlider"},
    {Pair, MOUTHOPEN_MINDUR, "MoMinDurSpin", "MoMinDurSlider"},
    {Pair, MOUTHOPEN_THRESHOLD, "MoThresholdSpin", "MoThresholdSlider"},
    {Pair, MOUTHOPEN_THROTTLETIME, "MoThrottleTimeSpin", "MoThrottleTimeSlider"},
    {Kind::Radio, MODE_FULL_FUNCTION, "fullFunctionRadio", nullptr},
    {Kind::Radio, MODE_SWITCH_ONLY, "switchOnlyRadio", nullptr},
    {Hotkey, HK_ACTIVATE_TOGGLE_CLICKING, "checkHkToggleClicking", nullptr},
    {Sequence, HK_KEYSEQ_TOGGLE_CLICKING, "keyseqHkToggleClicking", nullptr},
    {Hotkey, HK_ACTIVATE_PLAYPAUSE, "checkHkPlayPause", nullptr},
    {Sequence, HK_KEYSEQ_PLAYPAUSE, "keyseqHkPlayPause", nullptr},
    {Hotkey, HK_ACTIVATE_CLICKOPTS, "checkHkClickOpts", nullptr},
    {Sequence, HK_KEYSEQ_CLICKOPTS, "keyseqHkClickOpts", nullptr},
    {Hotkey, HK_ACTIVATE_MAINWINDOW, "checkHkMainWindow", nullptr},
    {Sequence, HK_KEYSEQ_MAINWINDOW, "keyseqHkMainWindow", nullptr},
    {Hotkey, HK_ACTIVATE_MOUSEX_INCREASE, "checkHkMouseXIncrease", nullptr},
    {Sequence, HK_KEYSEQ_MOUSEX_INCREASE, "keyseqHkMouseXIncrease", nullptr},
    {Hotkey, HK_ACTIVATE_MOUSEX_DECREASE, "checkHkMouseXDecrease", nullptr},
    {Sequence, HK_KEYSEQ_MOUSEX_DECREASE, "keyseqHkMouseXDecrease", nullptr},
    {Hotkey, HK_ACTIVATE_MOUSEY_INCREASE, "checkHkMouseYIncrease", nullptr},
    {Sequence, HK_KEYSEQ_MOUSEY_INCREASE, "keyseqHkMouseYIncrease", nullptr},
    {Hotkey, HK_ACTIVATE_MOUSEY_DECREASE, "checkHkMouseYDecrease", nullptr},
    {Sequence, HK_KEYSEQ_MOUSEY_DECREASE, "keyseqHkMouseYDecrease", nullptr},
    {Hotkey, HK_ACTIVATE_RECENTER, "checkHkRecenter", nullptr},
    {Sequence, HK_KEYSEQ_RECENTER, "keyseqHkRecenter", nullptr},
    {Hotkey, HK_ACTIVATE_CALIBRATE, "checkHkCalibrate", nullptr},
    {Sequence, HK_KEYSEQ_CALIBRATE, "keyseqHkCalibrate", nullptr},
    {Hotkey, HK_ACTIVATE_SMILEDWELL, "checkHkSmileDwell", nullptr},
    {Sequence, HK_KEYSEQ_SMILEDWELL, "keyseqHkSmileDwell", nullptr},
    {Pair, HOTKEY_MESSAGE_TIME, "hotkeyMessageTimeSpin", "hotkeyMessageTimeSlider"},
    {Check, LOGON, "logCheck", nullptr},
    {Check, LOCK_FPS, "lockFPSCheck", nullptr},
    {Check, ADDITIONAL_LANDMARKS, "addLandmarksCheck", nullptr},
    {Check, INDIV_RESULTS, "indivResultsCheck", nullptr},
    {Check, FINAL_RESULTS, "finalResultCheck", nullptr},
    {Check, ANIM_MOUSE_MOTION, "animMouseMotionCheck", nullptr},
    {Check, ANIM_MOUSE_STICKINESS, "animMouseStickinessCheck", nullptr},
    {Check, ANIM_DWELL_PARK, "animDwellParkCheck", nullptr},
    {Check, SHOW_FACEDET_STATUS, "showFaceDetStatusCheck", nullptr},
    {Check, SHOW_FACENOTDET_STATUS, "showFaceNotDetStatusCheck", nullptr},
    {Check, SHOW_SMILE_STATUS, "showSmileStatusCheck", nullptr},
    {Check, SHOW_ON_SCREEN_MESSAGES, "showOnScreenMessagesCheck", nullptr},
    {Details, SHOW_SMILE_SETTINGS_DETAILS, "pushButtonSmileDetails", "frameSmileDetails"},
    {Details, SHOW_MOUTHOPEN_SETTINGS_DETAILS, "pushButtonMouthOpenDetails",
     "frameMouthOpenDetails"},
    {Details, SHOW_HHS_SETTINGS_DETAILS, "pushButtonHHSDetails", "frameHHSDetails"},
    {Details, SHOW_EBR_SETTINGS_DETAILS, "pushButtonEBRDetails", "frameEBRDetails"},
    {Details, SHOW_BLINK_SETTINGS_DETAILS, "pushButtonBlinkDetails", "frameBlinkDetails"},
    {Details, SHOW_POINTING_ADVOPTS_DETAILS, "pushButtonPointingAdvOpts", "frame_PointingAdvOpts"},
    {Details, SHOW_CLICKING_ADVOPTS_DETAILS, "pushButtonClickingAdvOpts", "frame_ClickingAdvOpts"},
    {Details, SHOW_GESTURES_ADVOPTS_DETAILS, "pushButtonGesturesAdvOpts", "frame_GesturesAdvOpts"},
    {Details, SHOW_PREFERENCES_ADVOPTS_DETAILS, "pushButtonPreferencesAdvOpts",
     "frame_PreferencesAdvOpts"},
    {Details, SHOW_HOTKEYS_ADVOPTS_DETAILS, "pushButtonHotkeysAdvOpts", "frame_HotkeysAdvOpts"},
    {Details, SHOW_PREFERENCES_MMM_DETAILS, "pushButtonMMMDetails", "groupBox_MMS_AdditionalPrefs"},
    {Check, SOUND_STARTMOUSEMOTION, "soundStartMouseMotionCheck", nullptr},
    {Check, SOUND_ENDMOUSEMOTION, "soundEndMouseMotionCheck", nullptr},
    {Check, SOUND_CLICK, "soundClickCheck", nullptr},
    {Check, SOUND_CLICKANDDRAG, "soundClickAndDragCheck", nullptr},
    {Check, SOUND_SCROLL, "soundScrollCheck", nullptr},
    {Check, SOUND_CLICKGESTUREIGNORED, "soundClickGestureIgnoredCheck", nullptr},
    {Check, SOUND_RECENTER, "soundRecenterCheck", nullptr},
    {Check, MINIMIZE_AFTER_CALIBRATION, "minimizeAfterCalibrationCheck", nullptr},
    {Check, START_AUTOMATICALLY, "startAutomaticallyCheck", nullptr},
    {Pair, PROCESS_PRIORITY, "processPrioritySpin", "processPrioritySlider"},
    {Check, CAMERA_FLIPLEFTTORIGHT, "cameraFlipLeftToRightCheck", nullptr},
    {Check, CAMERA_FLIPTOPTOBOTTOM, "cameraFlipTopToBottomCheck", nullptr},
    {Check, CAMERA_MMIS, "cameraMMISCheck", nullptr},
    {Check, DEBUG_RECORD_INPUT, "debugRecordInput", nullptr},
    {Check, DEBUG_RECORD_OUTPUT, "debugRecordOutput", nullptr},
    {Check, CREATE_LOG, "createLogCheck", nullptr},
    {Check, SHOW_EYES, "showEyesCheck", nullptr},
    {Pair, CAMERA_EXPOSURE, "exposureSpin", "exposureSlider"},
    {Pair, ADDITIONAL_RESOLUTION, "resolutionSpin", "resolutionSlider"},
    {Pair, CAMERA_FRAMERATE, "frameRateSpin", "frameRateSlider"},
    {Check, BACKLIGHT, "backLightCheck", nullptr},
    {Pair, BACKLIGHT_LEVEL, "gammaSpin", "gammaSlider"},
    {Check, BRIGHTNESS, "brightCheck", nullptr},
    {Pair, BRIGHTNESS_LEVEL, "brightSpin", "brightSlider"},
    {Check, FINE_CONTRAST, "claheCheck", nullptr},
    {Pair, CONTRAST_LEVEL, "contrastSpin", "contrastSlider"},
    {Pair, BRUSH_SIZE, "brushSizeSpin", "brushSizeSlider"},
    {Pair, SECFACEDET_PRECISION, "numNeighborsSpin", "numNeighborsSlider"},
    {Check, DEFAULT_IMGPROC, "defaultImageProcCheck", nullptr},
    {Check, COARSE_CONTRAST, "coarseContrastCheck", nullptr},
    {Check, SECFACEDET, "secFaceDetectionCheck", nullptr},
    {Pair, INFFAC, "inflationFacSpin", "inflationFacSlider"},
};

const NamedWidget kActionChoices[] = {
    {FEMAP_INDEX_SMILE, "comboBoxSmile"},
    {FEMAP_INDEX_MOUTHOPEN, "comboBoxMouthOpen"},
    {FEMAP_INDEX_EYEBROWRAISE, "comboBoxEyebrowRaise"},
    {FEMAP_INDEX_SLOWBLINK, "comboBoxSlowBlink"},
    {FEMAP_INDEX_HHS, "comboBoxHHS"},
};
static_assert(sizeof(kActionChoices) / sizeof(kActionChoices[0]) == ActionChoiceCount,
              "one choice per gesture");

} // namespace

const Binding *all()
{
    return kBindings;
}

std::size_t count()
{
    return sizeof(kBindings) / sizeof(kBindings[0]);
}

const NamedWidget *actionChoices()
{
    return kActionChoices;
}

} // namespace SettingsBindings
