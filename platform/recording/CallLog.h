#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <mutex>

// The shared log of the recording back ends: every call, with its arguments and time, in the
// order the calls were made. Any thread may write and read it.
namespace platform {

class CallLog
{
public:
    struct Entry
    {
        QString service; // "mouse", "process", "sound", "autostart", "input", "cursors", "overlay"
        QString call;    // the member function, e.g. "setSpeed"
        QString args;    // its arguments as text, e.g. "15"
        qint64 timeMs;   // std::chrono::steady_clock, milliseconds
    };

    void add(const QString &service, const QString &call, const QString &args = QString());
    void clear();

    QVector<Entry> entries() const;
    // "call(args)" for each entry of the service (all services when empty), oldest first.
    QStringList calls(const QString &service = QString()) const;
    int count(const QString &service, const QString &call) const;

    static qint64 nowMs();

private:
    mutable std::mutex mutex;
    QVector<Entry> log;
};

// The one log that every recording back end writes to; cleared by installRecording().
CallLog &recordingLog();

} // namespace platform
