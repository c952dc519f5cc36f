#pragma once

#include "core/SettingEntry.h"
#include "engine/TrackingParameters.h"
#include "platform/Process.h"

// What applying one changed setting asks of the tracker beyond storing it.
enum class SettingEffect
{
    None,
    DragMode,              // hand the value to the engine's drag-mode setter
    RestartHoldHeadSteady, // set "HoldHeadSteady" up again with the new threshold
    RestartParkDetectors,  // set "AlwaysOn_Abso" and "AlwaysOn" up again
    EnhancePrecision,      // apply the pointer acceleration switch to the desktop
    Recenter,              // absolute pointing was switched on
    StartSession,          // a calibration was requested
    HideMessages,          // on-screen messages were switched off
    StartAutomatically,    // create or remove the autostart entry
    ProcessPriority,       // apply the process priority
};

// Stores one changed setting into the blocks; keys without a use are ignored.
SettingEffect applySettingEntry(const SettingEntry &entry, TrackingParameters &p,
                                ClickOptionState &clicks, PointerSettings &pointer);

// Whether the pointer's stickiness is off over this window: with the switch on, over windows
// without any title (the window and the one it belongs to), and over on-screen keyboards,
// which on X11 have titles: docks, and the known keyboards by their WM_CLASS.
bool stickinessOffUnderPointer(const platform::PointedWindow &window, bool offOverKeyboards);
