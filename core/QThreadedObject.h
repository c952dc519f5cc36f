#pragma once

#include <QThread>

#include <atomic>

class QProcessInterface;

// The thread of a worker: calls the worker's ProcessSlot once (the worker then loops on its
// own) or on every tick of a timer.
class QThreadedObject : public QThread
{
    Q_OBJECT
public:
    QThreadedObject(QProcessInterface *owner, int intervalMs);

    bool isStopped() const { return stopped.load(); }
    void markStopped() { stopped.store(true); }
    // Cleared before the thread starts, so a Stop right after Start is never lost.
    void markRunning() { stopped.store(false); }

protected:
    void run() override;

private:
    QProcessInterface *owner;
    int interval;
    std::atomic<bool> stopped{true};
};
