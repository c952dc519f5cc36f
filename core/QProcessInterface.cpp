#include "core/QProcessInterface.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace {
// Only the time for a woken thread to be scheduled: a waiter gets the lock at once, the worker
// holds nothing meanwhile.
const int LockHandOverMs = 2000;
}

QProcessInterface::QProcessInterface(int intervalMs, QObject *parent)
    : QObject(parent)
    , thread(this, intervalMs)
{
    moveToThread(&thread);
}

QProcessInterface::~QProcessInterface()
{
    Stop();
}

void QProcessInterface::Start()
{
    thread.markRunning();
    thread.start(QThread::InheritPriority);
}

void QProcessInterface::Stop()
{
    thread.quit();
    thread.markStopped();
    thread.wait();
    thread.hasEnded(); // what the thread did is now ordered before what follows, for the checker
}

bool QProcessInterface::Stop(int timeoutMs)
{
    thread.quit();
    thread.markStopped();
    if (!thread.wait(QDeadlineTimer(qMax(0, timeoutMs))))
        return false;
    thread.hasEnded();
    return true;
}

bool QProcessInterface::IsRunning()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !thread.isStopped() && !thread.isFinished();
}

bool QProcessInterface::TryLock(int timeoutMs)
{
    const QDeadlineTimer deadline(qMax(0, timeoutMs));
    ++lockWaiters;
    bool locked = mutex.try_lock();
    while (!locked && !deadline.hasExpired()) {
        QThread::usleep(500);
        locked = mutex.try_lock();
    }
    --lockWaiters;
    return locked;
}

void QProcessInterface::handOverLock()
{
    // Bounded all the same: the worker keeps taking its queued calls and stop requests.
    const QDeadlineTimer deadline(LockHandOverMs);
    while (lockWaiters.load() > 0 && !deadline.hasExpired())
        QThread::yieldCurrentThread();
}
