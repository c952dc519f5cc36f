// AUTOUIC runs uic for the target whose sources include the generated header, so this library
// includes it once: its users then find "ui_SettingsWindow.h" on the library's include path.
#include "ui_SettingsWindow.h"
