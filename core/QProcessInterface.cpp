#include "core/QProcessInterface.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

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
    while (!mutex.try_lock()) {
        if (deadline.hasExpired())
            return false;
        QThread::usleep(500);
    }
    return true;
}
