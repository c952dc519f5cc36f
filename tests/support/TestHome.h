#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A throw-away home folder: HOME and the XDG folders point into a temporary directory for
// the lifetime of the object, so tests never touch the real user's files. Its name holds a
// blank and a non-ASCII letter, as real home folders may.
// Without a display (and no platform chosen), Qt runs tests on its offscreen platform.
void useOffscreenPlatformWithoutDisplay();

class TestHome
{
public:
    TestHome();
    ~TestHome();

    QString path() const { return dir.path(); }
    // The program's data folder under this home (created by the program, not by this class).
    QString dataFolder() const;
    QString settingsFile() const;

    static void writeFile(const QString &path, const QByteArray &content);
    static QByteArray readFile(const QString &path);

private:
    QTemporaryDir dir;
    QByteArray oldHome, oldConfig, oldData, oldCache, oldRuntime;
};
