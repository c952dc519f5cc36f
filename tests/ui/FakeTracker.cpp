#include "tests/ui/FakeTracker.h"

#include <QMutexLocker>
#include <QThread>
#include <QtTest/QTest>

FakeTracker::FakeTracker(Ending ending)
    : ending(ending)
{}

FakeTracker::~FakeTracker()
{
    // The loop reads this object's members: end it before they go.
    Stop();
}

QStringList FakeTracker::requests() const
{
    QMutexLocker lock(&mutex);
    return received;
}

bool FakeTracker::waitForRequests(int count)
{
    return QTest::qWaitFor([&] { return requests().size() >= count; }, 5000);
}

void FakeTracker::ProcessSlot()
{
    // IsRunning delivers the queued requests, as the real loop does between frames.
    while (IsRunning() && (ending == Ending::Stuck || !closing))
        QThread::msleep(1);
    ended = true;
    if (ending == Ending::Reports)
        emit TrackerProcessCompleted();
}

void FakeTracker::closeCamera()
{
    ++closedCameras;
}

void FakeTracker::onWindowClosing()
{
    closing = true;
}

void FakeTracker::startTrackingSession(bool force)
{
    record(QStringLiteral("startTrackingSession(%1)").arg(force ? "true" : "false"));
}

void FakeTracker::recenterPointer()
{
    record(QStringLiteral("recenterPointer"));
}

void FakeTracker::resetGestureState()
{
    record(QStringLiteral("resetGestureState"));
}

void FakeTracker::restoreSystemCursors()
{
    record(QStringLiteral("restoreSystemCursors"));
}

void FakeTracker::record(const QString &request)
{
    // Requests must run on the worker, never beside its loop on the GUI thread.
    const QString where = QThread::currentThread() == QObject::thread()
                              ? QString()
                              : QStringLiteral(" (off the worker)");
    QMutexLocker lock(&mutex);
    received << request + where;
}
