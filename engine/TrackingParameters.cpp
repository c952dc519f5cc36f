#include "engine/TrackingParameters.h"

TrackingParameters trackingParameters;
ClickOptionState clickOptionState;
PointerSettings pointerSettings;

bool TrackingParameters::hotkeyEnabled(Hotkey which) const
{
    std::lock_guard<std::mutex> lock(hotkeyMutex);
    return hotkeyOn[which];
}

QString TrackingParameters::hotkeySequence(Hotkey which) const
{
    std::lock_guard<std::mutex> lock(hotkeyMutex);
    return hotkeyText[which];
}

void TrackingParameters::setHotkey(Hotkey which, bool enabled, const QString &sequence)
{
    std::lock_guard<std::mutex> lock(hotkeyMutex);
    hotkeyOn[which] = enabled;
    hotkeyText[which] = sequence;
}

void TrackingParameters::setHotkeyEnabled(Hotkey which, bool enabled)
{
    std::lock_guard<std::mutex> lock(hotkeyMutex);
    hotkeyOn[which] = enabled;
}

void TrackingParameters::setHotkeySequence(Hotkey which, const QString &sequence)
{
    std::lock_guard<std::mutex> lock(hotkeyMutex);
    hotkeyText[which] = sequence;
}

void recomputeDerivedParameters(TrackingParameters &p)
{
    p.SMILE_POINT_END = qMax(p.SMILE_MINDUR, p.GESTURE_MINDUR_FLOOR) + p.GREEN_TIMER;
    p.SMILE_CLK_INT = qMax(p.SMILE_POINT_END, 600);
    p.SMILE_SCROLL_END = p.SMILE_POINT_END + p.YELLOW_TIMER;
    p.PARK_SPEED = p.DWELL_PARK_THRESHOLD + p.TREMOR_CONTROL;
    p.ESCAPE_SPEED_POINT = p.TREMOR_CONTROL + p.ESCAPE_VELOCITY;
    p.ESCAPE_SPEED_SCROLL = p.ESCAPE_SPEED_POINT;
    p.ESCAPE_SPEED = p.ESCAPE_SPEED_POINT;
}
