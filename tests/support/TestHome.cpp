#include "tests/support/TestHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
void swapEnv(const char *name, const QByteArray &value, QByteArray &saved)
{
    saved = qgetenv(name);
    qputenv(name, value);
}
void restoreEnv(const char *name, const QByteArray &saved)
{
    if (saved.isNull())
        qunsetenv(name);
    else
        qputenv(name, saved);
}
} // namespace

TestHome::TestHome()
    : dir(QDir::tempPath() + QString::fromUtf8("/tovra h\xc3\xb3me XXXXXX"))
{
    const QByteArray home = dir.path().toUtf8();
    swapEnv("HOME", home, oldHome);
    swapEnv("XDG_CONFIG_HOME", home + "/.config", oldConfig);
    swapEnv("XDG_DATA_HOME", home + "/.local/share", oldData);
    swapEnv("XDG_CACHE_HOME", home + "/.cache", oldCache);
    QDir().mkpath(dir.path() + "/runtime");
    QFile::setPermissions(dir.path() + "/runtime",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    swapEnv("XDG_RUNTIME_DIR", home + "/runtime", oldRuntime);
}

TestHome::~TestHome()
{
    restoreEnv("HOME", oldHome);
    restoreEnv("XDG_CONFIG_HOME", oldConfig);
    restoreEnv("XDG_DATA_HOME", oldData);
    restoreEnv("XDG_CACHE_HOME", oldCache);
    restoreEnv("XDG_RUNTIME_DIR", oldRuntime);
}

QString TestHome::dataFolder() const
{
    return dir.path() + "/.local/share/Quillorent Devices/Tovra Mouse";
}

QString TestHome::settingsFile() const
{
    return dataFolder() + "/TovraMouse.ini";
}

void TestHome::writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content);
}

QByteArray TestHome::readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void useOffscreenPlatformWithoutDisplay()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}
