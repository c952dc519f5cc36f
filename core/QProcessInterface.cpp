#include "core/QProcessInterface.h"

#include <QCoreApplication>

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

bool QProcessInterface::IsRunning()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !thread.isStopped() && !thread.isFinished();
}
