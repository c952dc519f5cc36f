#include "tracking/SettingsMapping.h"

#include "core/SettingsKeys.h"

#include <QHash>
#include <QStringList>

namespace {

const char *const kHotkeyNames[TrackingParameters::HotkeyCount] = {
    "TOGGLE_CLICKING", "PLAYPAUSE",       "CLICKOPTS",       "MAINWINDOW",
    "MOUSEX_INCREASE", "MOUSEX_DECREASE", "MOUSEY_INCREASE", "MOUSEY_DECREASE",
    "RECENTER",        "CALIBRATE",       "SMILEDWELL",
};

// Settings copied into the field of the same name and nothing else.
const QHash<QString, bool TrackingParameters::*> &plainSwitches()
{
    static const QHash<QString, bool TrackingParameters::*> table = {
        {SettingKeys::ABSO_TRUERAW, &TrackingParameters::ABSO_TRUERAW},
        {SettingKeys::ABSO_TRUESM, &TrackingParameters::ABSO_TRUESM},
        {SettingKeys::ABSO_COMBO1, &TrackingParameters::ABSO_COMBO1},
        {SettingKeys::ABSO_COMBO2, &TrackingParameters::ABSO_COMBO2},
        {SettingKeys::ABSO_COMBO3, &TrackingParameters::ABSO_COMBO3},
        {SettingKeys::ABSO_COMBO4, &TrackingParameters::ABSO_COMBO4},
        {SettingKeys::ABSO_COMBO5, &TrackingParameters::ABSO_COMBO5},
        {SettingKeys::ABSO_COMBO6, &TrackingParameters::ABSO_COMBO6},
        {SettingKeys::ANIM_MOUSE_MOTION, &TrackingParameters::ANIM_MOUSE_MOTION},
        {SettingKeys::ANIM_MOUSE_STICKINESS, &TrackingParameters::ANIM_MOUSE_STICKINESS},
        {SettingKeys::ANIM_DWELL_PARK, &TrackingParameters::ANIM_DWELL_PARK},
        {SettingKeys::SHOW_FACEDET_STATUS, &TrackingParameters::SHOW_FACEDET_STATUS},
        {SettingKeys::SHOW_FACENOTDET_STATUS, &TrackingParameters::SHOW_FACENOTDET_STATUS},
        {SettingKeys::SHOW_SMILE_STATUS, &TrackingParameters::SHOW_SMILE_STATUS},
        {SettingKeys::SHOW_POINTING_ADVOPTS_DETAILS,
         &TrackingParameters::SHOW_POINTING_ADVOPTS_DETAILS},
        {SettingKeys::SHOW_CLICKING_ADVOPTS_DETAILS,
         &TrackingParameters::SHOW_CLICKING_ADVOPTS_DETAILS},
        {SettingKeys::SHOW_GESTURES_ADVOPTS_DETAILS,
         &TrackingParameters::SHOW_GESTURES_ADVOPTS_DETAILS},
        {SettingKeys::SHOW_PREFERENCES_ADVOPTS_DETAILS,
         &TrackingParameters::SHOW_PREFERENCES_ADVOPTS_DETAILS},
        {SettingKeys::SHOW_HOTKEYS_ADVOPTS_DETAILS,
         &TrackingParameters::SHOW_HOTKEYS_ADVOPTS_DETAILS},
        {SettingKeys::SHOW_PREFERENCES_MMM_DETAILS,
         &TrackingParameters::SHOW_PREFERENCES_MMM_DETAILS},
        {SettingKeys::SHOW_SMILE_SETTINGS_DETAILS,
         &TrackingParameters::SHOW_SMILE_SETTINGS_DETAILS},
        {SettingKeys::SHOW_MOUTHOPEN_SETTINGS_DETAILS,
         &TrackingParameters::SHOW_MOUTHOPEN_SETTINGS_DETAILS},
        {SettingKeys::SHOW_HHS_SETTINGS_DETAILS, &TrackingParameters::SHOW_HHS_SETTINGS_DETAILS},
        {SettingKeys::SHOW_EBR_SETTINGS_DETAILS, &TrackingParameters::SHOW_EBR_SETTINGS_DETAILS},
        {SettingKeys::SHOW_BLINK_SETTINGS_DETAILS,
         &TrackingParameters::SHOW_BLINK_SETTINGS_DETAILS},
        {SettingKeys::SOUND_STARTMOUSEMOTION, &TrackingParameters::SOUND_STARTMOUSEMOTION},
        {SettingKeys::SOUND_ENDMOUSEMOTION, &TrackingParameters::SOUND_ENDMOUSEMOTION},
        {SettingKeys::SOUND_CLICK, &TrackingParameters::SOUND_CLICK},
        {SettingKeys::SOUND_CLICKANDDRAG, &TrackingParameters::SOUND_CLICKANDDRAG},
        {SettingKeys::SOUND_SCROLL, &TrackingParameters::SOUND_SCROLL},
        {SettingKeys::SOUND_CLICKGESTUREIGNORED, &TrackingParameters::SOUND_CLICKGESTUREIGNORED},
        {SettingKeys::SOUND_RECENTER, &TrackingParameters::SOUND_RECENTER},
        {SettingKeys::MINIMIZE_AFTER_CALIBRATION, &TrackingParameters::MINIMIZE_AFTER_CALIBRATION},
        {SettingKeys::USE_DESKTOP_WITH_SINGLE_CLICK,
         &TrackingParameters::USE_DESKTOP_WITH_SINGLE_CLICK},
        {SettingKeys::CAMERA_FLIPLEFTTORIGHT, &TrackingParameters::CAMERA_FLIPLEFTTORIGHT},
        {SettingKeys::CAMERA_FLIPTOPTOBOTTOM, &TrackingParameters::CAMERA_FLIPTOPTOBOTTOM},
        {SettingKeys::CAMERA_MMIS, &TrackingParameters::CAMERA_MMIS},
        {SettingKeys::DISABLE_STICKINESS_OSK, &TrackingParameters::DISABLE_STICKINESS_OSK},
        {SettingKeys::GEN_F12_INSTEAD_OF_CLICK, &TrackingParameters::GEN_F12_INSTEAD_OF_CLICK},
        {SettingKeys::GEN_F13_INSTEAD_OF_CLICK, &TrackingParameters::GEN_F13_INSTEAD_OF_CLICK},
        {SettingKeys::GEN_F14_INSTEAD_OF_CLICK, &TrackingParameters::GEN_F14_INSTEAD_OF_CLICK},
        {SettingKeys::GEN_SPACE_INSTEAD_OF_CLICK, &TrackingParameters::GEN_SPACE_INSTEAD_OF_CLICK},
        {SettingKeys::GEN_ONE_INSTEAD_OF_CLICK, &TrackingParameters::GEN_ONE_INSTEAD_OF_CLICK},
        {SettingKeys::GEN_CLICK_INSTEAD_OF_CLICK, &TrackingParameters::GEN_CLICK_INSTEAD_OF_CLICK},
        {SettingKeys::MODE_FULL_FUNCTION, &TrackingParameters::MODE_FULL_FUNCTION},
        {SettingKeys::MODE_SWITCH_ONLY, &TrackingParameters::MODE_SWITCH_ONLY},
        {SettingKeys::SHOW_CLICK_OPTIONS, &TrackingParameters::SHOW_CLICK_OPTIONS},
        {SettingKeys::CO_SHOW_ALL_BUTTONS, &TrackingParameters::CO_SHOW_ALL_BUTTONS},
        {SettingKeys::INSTANT_CLICK, &TrackingParameters::INSTANT_CLICK},
        {SettingKeys::SLOW_SMILES, &TrackingParameters::SLOW_SMILES},
        {SettingKeys::ACTIVATE_BLINK_DETECTION, &TrackingParameters::ACTIVATE_BLINK_DETECTION},
        {SettingKeys::ACTIVATE_MOUTHOPEN_DETECTION,
         &TrackingParameters::ACTIVATE_MOUTHOPEN_DETECTION},
        {SettingKeys::ACTIVATE_HHS_DETECTION, &TrackingParameters::ACTIVATE_HHS_DETECTION},
        {SettingKeys::ACTIVATE_MMM_DETECTION, &TrackingParameters::ACTIVATE_MMM_DETECTION},
        {SettingKeys::MMM_DISPLAY_OSW, &TrackingParameters::MMM_DISPLAY_OSW},
        {SettingKeys::MMM_RECENTER, &TrackingParameters::MMM_RECENTER},
        {SettingKeys::IGNORE_MOUTHOPEN_WHEN_LOOKING_AWAY,
         &TrackingParameters::IGNORE_MOUTHOPEN_WHEN_LOOKING_AWAY},
        {SettingKeys::IGNORE_SMILE_WHEN_LOOKING_AWAY,
         &TrackingParameters::IGNORE_SMILE_WHEN_LOOKING_AWAY},
        {SettingKeys::IGNORE_HHS_WHEN_LOOKING_AWAY,
         &TrackingParameters::IGNORE_HHS_WHEN_LOOKING_AWAY},
        {SettingKeys::IGNORE_EYEBROWRAISE_WHEN_LOOKING_AWAY,
         &TrackingParameters::IGNORE_EYEBROWRAISE_WHEN_LOOKING_AWAY},
        {SettingKeys::IGNORE_BLINK_WHEN_LOOKING_AWAY,
         &TrackingParameters::IGNORE_BLINK_WHEN_LOOKING_AWAY},
        {SettingKeys::ACTIVATE_EYEBROWRAISE_DETECTION,
         &TrackingParameters::ACTIVATE_EYEBROWRAISE_DETECTION},
        {SettingKeys::ACTIVATE_SMILE_DETECTION, &TrackingParameters::ACTIVATE_SMILE_DETECTION},
        {SettingKeys::LOGON, &TrackingParameters::LOGON},
        {SettingKeys::BACKLIGHT, &TrackingParameters::BACKLIGHT},
        {SettingKeys::FINE_CONTRAST, &TrackingParameters::FINE_CONTRAST},
        {SettingKeys::COARSE_CONTRAST, &TrackingParameters::COARSE_CONTRAST},
        {SettingKeys::DEFAULT_IMGPROC, &TrackingParameters::DEFAULT_IMGPROC},
        {SettingKeys::MIGRATED_TO_2_1, &TrackingParameters::MIGRATED_TO_2_1},
        {SettingKeys::SECFACEDET, &TrackingParameters::SECFACEDET},
    };
    return table;
}

const QHash<QString, qint32 TrackingParameters::*> &plainNumbers()
{
    static const QHash<QString, qint32 TrackingParameters::*> table = {
        {SettingKeys::HHS_TIME, &TrackingParameters::HHS_TIME},
        {SettingKeys::ABSOMODE_FZS, &TrackingParameters::ABSOMODE_FZS},
        {SettingKeys::ABSOMODE_FZS_2, &TrackingParameters::ABSOMODE_FZS_2},
        {SettingKeys::DWELL_CLICK_TIME, &TrackingParameters::DWELL_CLICK_TIME},
        {SettingKeys::DWELL_ZONE_SIZE, &TrackingParameters::DWELL_ZONE_SIZE},
        {SettingKeys::ADDITIONAL_ETSYS, &TrackingParameters::ADDITIONAL_ETSYS},
        {SettingKeys::CLICK_ASSIST_LEVEL, &TrackingParameters::CLICK_ASSIST_LEVEL},
        {SettingKeys::PCE_SUSTAIN_TIME_DELTA_TO_STICK,
         &TrackingParameters::PCE_SUSTAIN_TIME_DELTA_TO_STICK},
        {SettingKeys::MAX_MOTION_AT_SMILE_START, &TrackingParameters::MAX_MOTION_AT_SMILE_START},
        {SettingKeys::DWELL_PARK_TIME, &TrackingParameters::DWELL_PARK_TIME},
        {SettingKeys::RED_TIMER, &TrackingParameters::RED_TIMER},
        {SettingKeys::HOTKEY_MESSAGE_TIME, &TrackingParameters::HOTKEY_MESSAGE_TIME},
        {SettingKeys::FEMAP_INDEX_HHS, &TrackingParameters::FEMAP_INDEX_HHS},
        {SettingKeys::FEMAP_INDEX_MOUTHOPEN, &TrackingParameters::FEMAP_INDEX_MOUTHOPEN},
        {SettingKeys::FEMAP_INDEX_SLOWBLINK, &TrackingParameters::FEMAP_INDEX_SLOWBLINK},
        {SettingKeys::FEMAP_INDEX_EYEBROWRAISE, &TrackingParameters::FEMAP_INDEX_EYEBROWRAISE},
        {SettingKeys::FEMAP_INDEX_SMILE, &TrackingParameters::FEMAP_INDEX_SMILE},
        {SettingKeys::MMM_THRESHOLD, &TrackingParameters::MMM_THRESHOLD},
        {SettingKeys::MMM_TIME_LAG, &TrackingParameters::MMM_TIME_LAG},
        {SettingKeys::SMILE_THRESHOLD, &TrackingParameters::SMILE_THRESHOLD},
        {SettingKeys::SLOWBLINK_MINDUR, &TrackingParameters::SLOWBLINK_MINDUR},
        {SettingKeys::SLOWBLINK_THRESHOLD, &TrackingParameters::SLOWBLINK_THRESHOLD},
        {SettingKeys::SLOWBLINK_MAXDUR, &TrackingParameters::SLOWBLINK_MAXDUR},
        {SettingKeys::SLOWBLINK_THROTTLETIME, &TrackingParameters::SLOWBLINK_THROTTLETIME},
        {SettingKeys::EYEBROWRAISE_MINDUR, &TrackingParameters::EYEBROWRAISE_MINDUR},
        {SettingKeys::EYEBROWRAISE_THRESHOLD, &TrackingParameters::EYEBROWRAISE_THRESHOLD},
        {SettingKeys::MOUTHOPEN_MINDUR, &TrackingParameters::MOUTHOPEN_MINDUR},
        {SettingKeys::MOUTHOPEN_THRESHOLD, &TrackingParameters::MOUTHOPEN_THRESHOLD},
        {SettingKeys::MOUTHOPEN_THROTTLETIME, &TrackingParameters::MOUTHOPEN_THROTTLETIME},
        {SettingKeys::ADDITIONAL_RESOLUTION, &TrackingParameters::ADDITIONAL_RESOLUTION},
        {SettingKeys::CAMERA_FRAMERATE, &TrackingParameters::CAMERA_FRAMERATE},
        {SettingKeys::FIRST_RUN_EVER, &TrackingParameters::FIRST_RUN_EVER},
        {SettingKeys::FIRST_RUN_ON_V3X, &TrackingParameters::FIRST_RUN_ON_V3X},
    };
    return table;
}

// The ranges the settings window allows. A hand-edited file may hold anything; the engine
// and the frame loop see the value held to its range (a resolution far out of range would
// make every frame fail).
struct Range
{
    int low;
    int high;
};
const QHash<QString, Range> &numberRanges()
{
    using namespace SettingKeys;
    static const QHash<QString, Range> table = {
        {HHS_TIME, {200, 10200}},
        {ABSOMODE_FZS, {0, 100}},
        {ABSOMODE_FZS_2, {0, 100}},
        {DWELL_CLICK_TIME, {50, 10000}},
        {DWELL_ZONE_SIZE, {0, 2000}},
        {ADDITIONAL_ETSYS, {0, 40}},
        {CLICK_ASSIST_LEVEL, {0, 50}},
        {PCE_SUSTAIN_TIME_DELTA_TO_STICK, {100, 5000}},
        {MAX_MOTION_AT_SMILE_START, {1, 151}},
        {DWELL_PARK_TIME, {0, 4000}},
        {RED_TIMER, {0, 4000}},
        {HOTKEY_MESSAGE_TIME, {0, 5000}},
        {FEMAP_INDEX_HHS, {0, 10}},
        {FEMAP_INDEX_MOUTHOPEN, {0, 10}},
        {FEMAP_INDEX_SLOWBLINK, {0, 10}},
        {FEMAP_INDEX_EYEBROWRAISE, {0, 10}},
        {FEMAP_INDEX_SMILE, {0, 10}},
        {MMM_THRESHOLD, {10, 500}},
        {MMM_TIME_LAG, {100, 10000}},
        {SMILE_THRESHOLD, {10, 100}},
        {SLOWBLINK_MINDUR, {75, 2000}},
        {SLOWBLINK_THRESHOLD, {25, 100}},
        {SLOWBLINK_MAXDUR, {500, 10000}},
        {SLOWBLINK_THROTTLETIME, {0, 4000}},
        {EYEBROWRAISE_MINDUR, {75, 2000}},
        {EYEBROWRAISE_THRESHOLD, {1, 9}},
        {MOUTHOPEN_MINDUR, {100, 4000}},
        {MOUTHOPEN_THRESHOLD, {1, 25}},
        {MOUTHOPEN_THROTTLETIME, {0, 4000}},
        {ADDITIONAL_RESOLUTION, {0, 1000}},
        {CAMERA_FRAMERATE, {4, 120}},
    };
    return table;
}

int heldToRange(const QString &key, int value)
{
    const auto range = numberRanges().constFind(key);
    return range == numberRanges().constEnd() ? value : qBound(range->low, value, range->high);
}

} // namespace

SettingEffect applySettingEntry(const SettingEntry &entry, TrackingParameters &p,
                                ClickOptionState &clicks, PointerSettings &pointer)
{
    using namespace SettingKeys;
    const QString &key = entry.name;
    const QVariant &value = entry.value;

    if (auto field = plainSwitches().value(key, nullptr)) {
        p.*field = value.toBool();
        return SettingEffect::None;
    }
    if (auto field = plainNumbers().value(key, nullptr)) {
        p.*field = heldToRange(key, value.toInt());
        return SettingEffect::None;
    }
    for (int i = 0; i < TrackingParameters::HotkeyCount; ++i) {
        const QString command = QLatin1String(kHotkeyNames[i]);
        if (key == QLatin1String("HK_ACTIVATE_") + command) {
            p.setHotkeyEnabled(TrackingParameters::Hotkey(i), value.toBool());
            return SettingEffect::None;
        }
        if (key == QLatin1String("HK_KEYSEQ_") + command) {
            p.setHotkeySequence(TrackingParameters::Hotkey(i), value.toString());
            return SettingEffect::None;
        }
    }

    if (key == QLatin1String(CLICK_MODE) || key == QLatin1String(MOTION_MODE)) {
        const int mode = value.toInt();
        if (mode == 0 || mode == 1)
            (key == QLatin1String(CLICK_MODE) ? clicks.CLICK_MODE : clicks.MOTION_MODE) = mode;
        return SettingEffect::None;
    }
    if (key == QLatin1String(MOUSE_SENSIVITY_X)) {
        pointer.MOUSE_SENSIVITY_X = value.toInt();
    } else if (key == QLatin1String(MOUSE_SENSIVITY_Y)) {
        pointer.MOUSE_SENSIVITY_Y = value.toInt();
    } else if (key == QLatin1String(MOUSE_ACCELERATION)) {
        pointer.MOUSE_ACCELERATION = value.toInt();
    } else if (key == QLatin1String(CLICK_OPTION_LEFT_CLICK)) {
        pointer.CLICK_OPTION_LEFT_CLICK = value.toInt();
    } else if (key == QLatin1String(CLICK_OPTION_RIGHT_CLICK)) {
        clicks.CLICK_OPTION_RIGHT_CLICK = value.toInt();
    } else if (key == QLatin1String(CLICK_OPTION_TIMES2_MODE)) {
        clicks.CLICK_OPTION_TIMES2_MODE = value.toInt();
    } else if (key == QLatin1String(CLICK_OPTION_SCROLL_MODE)) {
        clicks.CLICK_OPTION_SCROLL_MODE = value.toInt();
    } else if (key == QLatin1String(CLICK_OPTION_CLICKING_ACTIVE)) {
        clicks.CLICK_OPTION_CLICKING_ACTIVE = value.toInt();
    } else if (key == QLatin1String(CLICK_OPTION_DRAG_MODE)) {
        return SettingEffect::DragMode;
    } else if (key == QLatin1String(HHS_THRESHOLD)) {
        p.HHS_THRESHOLD = value.toInt();
        return SettingEffect::RestartHoldHeadSteady;
    } else if (key == QLatin1String(ENHANCE_PRECISION)) {
        p.ENHANCE_PRECISION = value.toBool();
        return SettingEffect::EnhancePrecision;
    } else if (key == QLatin1String(ABSOLUTE_MODE)) {
        const bool becameOn = value.toBool() && !p.ABSOLUTE_MODE;
        p.ABSOLUTE_MODE = value.toBool();
        return becameOn ? SettingEffect::Recenter : SettingEffect::None;
    } else if (key == QLatin1String(DWELL_PARK_THRESHOLD)) {
        p.DWELL_PARK_THRESHOLD = value.toInt();
        recomputeDerivedParameters(p);
        return SettingEffect::RestartParkDetectors;
    } else if (key == QLatin1String(TREMOR_CONTROL)) {
        p.TREMOR_CONTROL = value.toInt();
        recomputeDerivedParameters(p);
        return SettingEffect::RestartParkDetectors;
    } else if (key == QLatin1String(ESCAPE_VELOCITY)) {
        p.ESCAPE_VELOCITY = value.toInt();
        recomputeDerivedParameters(p);
    } else if (key == QLatin1String(CALIBRATE_REQUESTED)) {
        return SettingEffect::StartSession;
    } else if (key == QLatin1String(SMILE_MINDUR)) {
        p.SMILE_MINDUR = value.toInt();
        recomputeDerivedParameters(p);
    } else if (key == QLatin1String(GREEN_TIMER)) {
        p.GREEN_TIMER = value.toInt();
        recomputeDerivedParameters(p);
    } else if (key == QLatin1String(YELLOW_TIMER)) {
        p.YELLOW_TIMER = value.toInt();
        recomputeDerivedParameters(p);
    } else if (key == QLatin1String(SHOW_ON_SCREEN_MESSAGES)) {
        p.SHOW_ON_SCREEN_MESSAGES = value.toBool();
        return p.SHOW_ON_SCREEN_MESSAGES ? SettingEffect::None : SettingEffect::HideMessages;
    } else if (key == QLatin1String(START_AUTOMATICALLY)) {
        p.START_AUTOMATICALLY = value.toBool();
        return SettingEffect::StartAutomatically;
    } else if (key == QLatin1String(PROCESS_PRIORITY)) {
        p.PROCESS_PRIORITY = value.toInt();
        return SettingEffect::ProcessPriority;
    }
    return SettingEffect::None;
}

bool stickinessOffUnderPointer(const platform::PointedWindow &window, bool offOverKeyboards)
{
    if (!offOverKeyboards || !window.found)
        return false;
    if (window.title.isEmpty() && (!window.owned || window.ownerTitle.isEmpty()))
        return true;
    if (window.dock)
        return true;
    static const char *const keyboards[] = {"onboard", "florence", "xvkbd", "matchbox-keyboard"};
    for (const char *keyboard : keyboards) {
        const QLatin1String name(keyboard);
        if (window.instanceName.compare(name, Qt::CaseInsensitive) == 0 ||
            window.className.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}
