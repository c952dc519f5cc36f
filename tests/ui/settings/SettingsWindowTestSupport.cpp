#include "tests/ui/settings/SettingsWindowTestSupport.h"

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"

#include <QFile>
#include <QThread>

SessionRecorder::SessionRecorder()
{
    Start();
}

SessionRecorder::~SessionRecorder()
{
    Stop();
}

QStringList SessionRecorder::requests() const
{
    std::lock_guard<std::mutex> lock(mutex);
    // A copy of its own: Qt's shared one would let the next request write in place unordered.
    return QStringList(received.cbegin(), received.cend());
}

void SessionRecorder::ProcessSlot()
{
    while (IsRunning())
        QThread::msleep(1);
}

void SessionRecorder::startTrackingSession(bool force)
{
    std::lock_guard<std::mutex> lock(mutex);
    received << QStringLiteral("startTrackingSession(%1)").arg(force ? "true" : "false");
}

void SessionRecorder::recenterPointer()
{
    std::lock_guard<std::mutex> lock(mutex);
    received << QStringLiteral("recenterPointer()");
}

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

void freshSettings()
{
    QFile::remove(AppFilePaths::settingsFile);
    app()->loadAllSettings();
    app()->takeChangedSettings();
}

QStringList settingsFileLines()
{
    QFile file(AppFilePaths::settingsFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n');
}

QStringList changedLines(const QStringList &before, const QStringList &after)
{
    QStringList changed;
    for (const QString &line : after)
        if (!before.contains(line))
            changed << line;
    return changed;
}
