# Sources of the settings window's form (the .ui file and the widgets promoted into it).
set(TOVRA_SETTINGS_FORM_SOURCES "")
