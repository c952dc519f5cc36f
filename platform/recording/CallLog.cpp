#include "platform/recording/CallLog.h"

#include <chrono>

namespace platform {

void CallLog::add(const QString &service, const QString &call, const QString &args)
{
    const Entry entry{service, call, args, nowMs()};
    std::lock_guard<std::mutex> lock(mutex);
    log.append(entry);
}

void CallLog::clear()
{
    std::lock_guard<std::mutex> lock(mutex);
    log.clear();
}

QVector<CallLog::Entry> CallLog::entries() const
{
    // A copy of its own, not Qt's shared one: the next add may write in place once this
    // copy's share is let go, unordered against the reader's last reads.
    std::lock_guard<std::mutex> lock(mutex);
    return QVector<Entry>(log.cbegin(), log.cend());
}

QStringList CallLog::calls(const QString &service) const
{
    QStringList result;
    for (const Entry &e : entries()) {
        if (service.isEmpty() || e.service == service)
            result << e.call + '(' + e.args + ')';
    }
    return result;
}

int CallLog::count(const QString &service, const QString &call) const
{
    int n = 0;
    for (const Entry &e : entries())
        n += e.service == service && e.call == call;
    return n;
}

qint64 CallLog::nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace platform
