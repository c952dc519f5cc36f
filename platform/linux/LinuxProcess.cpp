#include "platform/linux/LinuxProcess.h"

#include <QDir>
#include <cerrno>
#include <cstring>
#include <sys/resource.h>

namespace platform {

namespace {
// 0 when the thread runs at raisedNice or above (or has ended meanwhile), else the errno.
int raiseThread(id_t tid)
{
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, tid);
    if (errno == 0 && nice <= LinuxProcess::raisedNice)
        return 0;
    if (errno == 0 && setpriority(PRIO_PROCESS, tid, LinuxProcess::raisedNice) == 0)
        return 0;
    return errno == ESRCH ? 0 : errno;
}
} // namespace

bool LinuxProcess::raisePriority()
{
    errno = 0;
    const int before = getpriority(PRIO_PROCESS, 0);
    int unset = PRIO_MAX + 1;
    if (errno == 0)
        niceBeforeRaise.compare_exchange_strong(unset, before);
    int error = 0;
    const QStringList tasks =
        QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (tasks.isEmpty())
        error = raiseThread(0); // no /proc: the calling thread at least
    for (const QString &task : tasks) {
        if (const int e = raiseThread(id_t(task.toUInt())))
            error = e;
    }
    if (error && !warned.exchange(true))
        qWarning("Process: cannot raise the priority to nice %d: %s", raisedNice,
                 std::strerror(error));
    return error == 0;
}

bool LinuxProcess::lowerPriority()
{
    const int target = niceBeforeRaise;
    if (target > PRIO_MAX)
        return true; // never raised
    int error = 0;
    const QStringList tasks =
        QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &task : tasks.isEmpty() ? QStringList{QStringLiteral("0")} : tasks) {
        const id_t tid = id_t(task.toUInt());
        errno = 0;
        const int nice = getpriority(PRIO_PROCESS, tid);
        // Only what runs above the old value: a thread the user niced further stays so.
        if (errno == 0 && nice < target && setpriority(PRIO_PROCESS, tid, target) != 0 &&
            errno != ESRCH)
            error = errno;
    }
    if (error)
        qWarning("Process: cannot lower the priority to nice %d: %s", target, std::strerror(error));
    return error == 0;
}

} // namespace platform
