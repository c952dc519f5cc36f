#include "tests/ui/FakeTracker.h"

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
    std::lock_guard<std::mutex> lock(mutex);
    // A copy of its own: Qt's shared one would let the next record write in place unordered.
    return QStringList(received.cbegin(), received.cend());
}

bool FakeTracker::waitForRequests(const QString &request, int count)
{
    return QTest::qWaitFor([&] { return requests().count(request) >= count; }, 5000);
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
    {
        std::lock_guard<std::mutex> lock(mutex);
        received << request + where;
    }
    if (requestMs > 0)
        QThread::msleep(unsigned(requestMs.load()));
}
