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
    void markRunning()
    {
        stopped.store(false);
        ended.store(false);
    }
    // Read after wait(): QThread::wait orders its caller after the thread's end in code that
    // ThreadSanitizer cannot see (Qt is built without it); this flag, set last by the thread,
    // shows it the same order.
    bool hasEnded() const { return ended.load(std::memory_order_acquire); }

protected:
    void run() override;

private:
    QProcessInterface *owner;
    int interval;
    std::atomic<bool> stopped{true};
    std::atomic<bool> ended{false};
};
