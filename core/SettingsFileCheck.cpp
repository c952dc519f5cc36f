#include "core/SettingsFileCheck.h"

#include "core/AppFilePaths.h"
#include "core/MessageBoxes.h"
#include "core/SettingsKeys.h"
#include "core/Trace.h"

#include <QDebug>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextStream>

namespace {

// Values the program writes itself that may hold any character: camera names from the
// system ("HD Webcam: HD Webcam (usb-0000:00:14.0-1)") and key sequences, which the INI
// writer quotes when they contain a comma.
bool hasExemptValue(const QString &line)
{
    const int eq = line.indexOf('=');
    if (eq <= 0)
        return false;
    const QString key = line.left(eq).trimmed();
    return key == QLatin1String(SettingKeys::DEFAULT_CAMERA) ||
           key.startsWith(QLatin1String("HK_KEYSEQ_"));
}

// Reads the trimmed, non-empty lines of a text file; false when it cannot be opened.
template<typename Visit>
bool forEachLine(const QString &path, const char *failureMessage, Visit visit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qWarning().noquote() << failureMessage << path;
        return false;
    }
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty())
            continue;
        if (!visit(line))
            break;
    }
    return true;
}

} // namespace

bool isValidSettingsLine(const QString &line)
{
    static const QRegularExpression allowed(QStringLiteral("^[a-zA-Z0-9+=_.\\[\\]()@\\\\ ]*$"));
    return allowed.match(line).hasMatch();
}

bool checkSettingsFile(const QString &path)
{
    bool sound = true;
    const bool opened = forEachLine(path, "Cannot open file:", [&](const QString &line) {
        if (line.contains(QLatin1String("@ByteArray")))
            return true;
        const QString tested = hasExemptValue(line) ? line.left(line.indexOf('=') + 1) : line;
        if (!isValidSettingsLine(tested)) {
            sound = false;
            return false;
        }
        return true;
    });
    return opened && sound;
}

bool isFirstRunOnV3(const QString &path)
{
    bool firstRun = true;
    forEachLine(
        path, "Cannot open file (for checking 1st time in v3x) :", [&](const QString &line) {
            if (!line.contains(QLatin1String(SettingKeys::FIRST_RUN_ON_V3X)))
                return true;
            firstRun = line.contains(QLatin1String("true")) || line.contains(QLatin1String("1"));
            return false;
        });
    return firstRun;
}

bool hasHotkeySettings(const QString &path)
{
    bool found = false;
    forEachLine(path, "Cannot open old .ini file (for checking if it contains v3x settings) :",
                [&](const QString &line) {
                    found = line.contains(QLatin1String("HK_ACTIVATE"));
                    return !found;
                });
    return found;
}

void backupSettingsFile(const QString &settingsPath, const QString &backupPath)
{
    if (QFile::exists(backupPath))
        QFile::remove(backupPath);
    QFile::copy(settingsPath, backupPath);
}

QString freeRejectedPath(const QString &rejectedPath)
{
    if (!QFile::exists(rejectedPath))
        return rejectedPath;
    for (int n = 2;; ++n) {
        const QString numbered = rejectedPath + '.' + QString::number(n);
        if (!QFile::exists(numbered))
            return numbered;
    }
}

bool rejectSettingsFile(const QString &settingsPath, const QString &rejectedPath)
{
    // An earlier rejected file may hold what the user still wants back: each one is kept.
    const QString kept = freeRejectedPath(rejectedPath);
    if (!QFile::rename(settingsPath, kept)) {
        // Never fall back to deleting: a file we could not move aside is left in place and
        // the store reads what it can of it.
        qWarning().noquote() << "Could not keep the rejected settings file as" << kept;
        return false;
    }
    return true;
}

void backupOldSettingsFile()
{
    const QString proposed =
        QStandardPaths::standardLocations(QStandardPaths::HomeLocation).value(0) +
        "/TovraMouse.ini";
    const QString chosen = QFileDialog::getSaveFileName(
        nullptr, QObject::tr("Select a location to save your OLD settings as a Backup"), proposed,
        QObject::tr("Settings file (*.ini)"));
    if (chosen.isEmpty())
        return;
    if (QFile::exists(chosen))
        QFile::remove(chosen);
    if (QFile::copy(AppFilePaths::settingsBackupFile, chosen)) {
        QMessageBox::information(nullptr, QObject::tr("Backup Old Settings"),
                                 QObject::tr("Old settings file saved successfully!"));
    } else {
        QMessageBox::information(nullptr, QObject::tr("Backup Old Settings"),
                                 QObject::tr("Could not save old settings file.  Please retry."));
    }
}

void migrateOldSettingsFile()
{
    showMessageBox(
        QMessageBox::Information, QObject::tr("Welcome to Version 3.x!"),
        QObject::tr("We notice that you used to have a previous version of Tovra Mouse.\n\nWe "
                    "will prompt you to save your old settings file as a backup, just in case it "
                    "is needed in the future."));
    backupOldSettingsFile();
    // The old settings survive in the start-up backup; without it, keep the live file.
    if (QFile::exists(AppFilePaths::settingsFile) &&
        QFile::exists(AppFilePaths::settingsBackupFile)) {
        traceLine(0, 0,
                  "......... Removing current (old) .ini file name : " +
                      AppFilePaths::settingsFile);
        QFile::remove(AppFilePaths::settingsFile);
    }
    showMessageBox(QMessageBox::Information, QObject::tr("Thank you for upgrading to v3.x!"),
                   QObject::tr("Please restart Tovra Mouse to start using it."));
}
