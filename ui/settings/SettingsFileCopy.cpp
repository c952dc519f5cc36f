#include "ui/settings/SettingsFileCopy.h"

#include "core/SettingsKeys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryFile>

#include <cstdio>

namespace SettingsFileCopy {

namespace {

bool writeWhole(const QString &target, const QByteArray &content)
{
    QSaveFile file(target);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
           file.commit();
}

bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a), second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return first.absoluteFilePath() == second.absoluteFilePath();
}

} // namespace

bool save(const QString &liveFile, const QString &target)
{
    if (sameFile(liveFile, target))
        return true;
    bool readable = false;
    const QByteArray content = read(liveFile, &readable);
    return readable && writeWhole(target, content);
}

QByteArray read(const QString &path, bool *ok)
{
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    if (!*ok)
        return QByteArray();
    const QByteArray content = file.readAll();
    *ok = file.error() == QFileDevice::NoError;
    return content;
}

QString restoreBackupPath(const QString &liveFile)
{
    return QFileInfo(liveFile).dir().filePath(QStringLiteral("TovraMouse-bak.ini"));
}

bool backUp(const QString &liveFile)
{
    bool readable = false;
    const QByteArray content = read(liveFile, &readable);
    return readable && writeWhole(restoreBackupPath(liveFile), content);
}

bool replace(const QString &liveFile, const QByteArray &content)
{
    QTemporaryFile staged(
        QFileInfo(liveFile).dir().filePath(QStringLiteral("TovraMouse-XXXXXX.ini")));
    if (!staged.open() || staged.write(content) != content.size() || !staged.flush())
        return false;
    staged.close();
    {
        QSettings settings(staged.fileName(), QSettings::IniFormat);
        settings.setValue(QString::fromLatin1(SettingKeys::FIRST_RUN_ON_V3X), 0);
        settings.sync();
        if (settings.status() == QSettings::AccessError)
            return false;
    }
    // One step: the live file is either the old one or the new one, never missing.
    if (std::rename(QFile::encodeName(staged.fileName()).constData(),
                    QFile::encodeName(liveFile).constData()) != 0)
        return false;
    staged.setAutoRemove(false);
    return true;
}

} // namespace SettingsFileCopy
