#include "platform/recording/RecordingAutostart.h"

#include "platform/recording/CallLog.h"

namespace platform {

namespace {
void logCall(const char *call, const QString &args = QString())
{
    recordingLog().add(QStringLiteral("autostart"), QString::fromLatin1(call), args);
}
} // namespace

QString RecordingAutostart::defaultEntryPath()
{
    return QStringLiteral("/recording/.config/autostart/TovraMouse.desktop");
}

QString RecordingAutostart::entryPath()
{
    logCall("entryPath");
    std::lock_guard<std::mutex> lock(mutex);
    return path;
}

bool RecordingAutostart::isEnabled()
{
    logCall("isEnabled");
    std::lock_guard<std::mutex> lock(mutex);
    return on;
}

bool RecordingAutostart::enable(const QString &programPath)
{
    logCall("enable", programPath);
    std::lock_guard<std::mutex> lock(mutex);
    if (failing || path.isEmpty())
        return false;
    on = true;
    program = programPath;
    return true;
}

bool RecordingAutostart::disable()
{
    logCall("disable");
    std::lock_guard<std::mutex> lock(mutex);
    if (failing || path.isEmpty())
        return false;
    on = false;
    program.clear();
    return true;
}

bool RecordingAutostart::enabled() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return on;
}

QString RecordingAutostart::programPath() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return program;
}

void RecordingAutostart::setEntryPath(const QString &value)
{
    std::lock_guard<std::mutex> lock(mutex);
    path = value;
}

void RecordingAutostart::setFailing(bool value)
{
    std::lock_guard<std::mutex> lock(mutex);
    failing = value;
}

void RecordingAutostart::reset()
{
    std::lock_guard<std::mutex> lock(mutex);
    path = defaultEntryPath();
    program.clear();
    on = false;
    failing = false;
}

} // namespace platform
