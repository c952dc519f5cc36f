#pragma once

#include "platform/MouseParameters.h"

// The user's mouse parameters as they were at start, put back at exit.
struct SavedMouseParameters
{
    bool saved = false;
    int doubleClickTime = 400;
    platform::MouseParameters::Snapshot mouse;
};

// Saves the current parameters, then sets the pointer speed to 10 (unscaled) and the wheel
// to one line per notch.
void saveAndOverrideMouseParameters(SavedMouseParameters &saved);
// Puts back what was saved (once) and sets the application's double-click interval to the
// desktop's. Nothing when nothing was saved.
void restoreMouseParameters(SavedMouseParameters &saved);
