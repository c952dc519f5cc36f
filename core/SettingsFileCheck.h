#pragma once

#include <QString>

// Tests of the settings file made before the store loads it, the start-up backup, and the
// one-time migration away from settings files of versions before 3.

// One line's character test: ASCII letters and digits, blank and + = _ . [ ] ( ) @ \ only.
bool isValidSettingsLine(const QString &line);

// The whole file's test. Geometry values ("@ByteArray" lines) are skipped, and so are the
// values of the camera name and of the hotkey sequences, which the program writes itself
// and which legitimately hold other characters. False when the file cannot be opened.
bool checkSettingsFile(const QString &path);

// Whether the first run on version 3 is still to come (true when unreadable or unmarked).
bool isFirstRunOnV3(const QString &path);

// Whether the file already holds version 3 settings (a hotkey switch).
bool hasHotkeySettings(const QString &path);

// Replaces the start-up backup with a copy of the settings file. A failed copy is ignored.
void backupSettingsFile(const QString &settingsPath, const QString &backupPath);

// `rejectedPath` when no file has that name yet, else the first free of `rejectedPath`.2,
// .3 and so on.
QString freeRejectedPath(const QString &rejectedPath);

// Keeps a file that failed its check under freeRejectedPath(`rejectedPath`), so that neither
// it nor an earlier rejected file is destroyed. Returns true when the settings file is gone
// afterwards.
bool rejectSettingsFile(const QString &settingsPath, const QString &rejectedPath);

// Offers to save the old settings file (its start-up backup) to a place the user picks.
void backupOldSettingsFile();

// The migration from a settings file of a version before 3: tells the user, offers the
// backup, removes the live file (only when its backup exists) and asks for a restart.
void migrateOldSettingsFile();
