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
}

bool QProcessInterface::IsRunning()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !thread.isStopped() && !thread.isFinished();
}
