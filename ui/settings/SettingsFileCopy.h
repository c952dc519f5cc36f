#pragma once

#include <QByteArray>
#include <QString>

// Whole-file copies of the settings file for the settings window's save and restore. The
// live file is never left half written or missing: every write goes to a file beside its
// target that then replaces it in one step.
namespace SettingsFileCopy {

// Writes a copy of the live file to the target, replacing a file there. Saving the live
// file onto itself leaves it as it is and counts as done.
bool save(const QString &liveFile, const QString &target);

// The whole content of a file; *ok tells whether it could be read.
QByteArray read(const QString &path, bool *ok);

// "TovraMouse-bak.ini" beside the live file: the copy a restore keeps of what it replaces.
QString restoreBackupPath(const QString &liveFile);
// Copies the live file to the restore backup, replacing an older one.
bool backUp(const QString &liveFile);

// Puts the content in place of the live file, marked as a file this version has already
// run on (so the next start does not reset it). On failure the live file is untouched.
bool replace(const QString &liveFile, const QByteArray &content);

} // namespace SettingsFileCopy
