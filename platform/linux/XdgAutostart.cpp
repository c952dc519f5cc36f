#include "platform/linux/XdgAutostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtGlobal>

namespace platform {

QString XdgAutostart::entryPath()
{
    // A relative XDG_CONFIG_HOME is ignored, as the XDG base directory rules say.
    QString config = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    if (!QDir::isAbsolutePath(config)) {
        const QString home = QFile::decodeName(qgetenv("HOME"));
        if (!QDir::isAbsolutePath(home))
            return QString();
        config = home + QStringLiteral("/.config");
    }
    return config + QStringLiteral("/autostart/TovraMouse.desktop");
}

bool XdgAutostart::isEnabled()
{
    const QString path = entryPath();
    return !path.isEmpty() && QFileInfo::exists(path);
}

bool XdgAutostart::enable(const QString &programPath)
{
    const QString path = entryPath();
    if (path.isEmpty() || programPath.isEmpty()) {
        qWarning("Autostart: no place for the entry or no program");
        return false;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(entryFor(programPath)) < 0 ||
        !file.commit()) {
        qWarning("Autostart: cannot write %s: %s", qPrintable(path),
                 qPrintable(file.errorString()));
        return false;
    }
    return true;
}

bool XdgAutostart::disable()
{
    const QString path = entryPath();
    if (path.isEmpty())
        return false;
    if (QFileInfo::exists(path) && !QFile::remove(path)) {
        qWarning("Autostart: cannot remove %s", qPrintable(path));
        return false;
    }
    return true;
}

QByteArray XdgAutostart::entryFor(const QString &programPath)
{
    const QFileInfo program(programPath);
    QString exec = quoteExecArgument(program.absoluteFilePath());
    exec.replace(QLatin1Char('%'), QLatin1String("%%")); // no field codes
    QString entry = QStringLiteral("[Desktop Entry]\n"
                                   "Type=Application\n"
                                   "Version=1.5\n"
                                   "Name=Tovra Mouse\n"
                                   "Comment=Hands-free mouse\n");
    entry += QStringLiteral("Exec=") + escapeString(exec) + '\n';
    entry += QStringLiteral("Path=") + escapeString(program.absolutePath()) + '\n';
    entry += QStringLiteral("Terminal=false\n"
                            "X-GNOME-Autostart-enabled=true\n");
    return entry.toUtf8();
}

QString XdgAutostart::quoteExecArgument(const QString &argument)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

QString XdgAutostart::escapeString(const QString &value)
{
    static const QString special = QStringLiteral("\\\n\t\r");
    QString escaped;
    for (const QChar c : value) {
        const int i = special.indexOf(c);
        escaped += i < 0 ? QString(c) : QStringLiteral("\\") + QLatin1Char("\\ntr"[i]);
    }
    if (escaped.startsWith(' '))
        escaped.replace(0, 1, QLatin1String("\\s"));
    return escaped;
}

} // namespace platform
