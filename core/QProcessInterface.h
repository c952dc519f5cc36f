#pragma once

#include "core/QThreadedObject.h"

#include <QObject>

#include <atomic>
#include <mutex>

// A worker object that runs on a thread of its own. It moves itself into that thread, so its
// slots and queued calls run there. The work is ProcessSlot, called once (the worker loops
// while IsRunning() is true) or on every tick of a timer.
class QProcessInterface : public QObject
{
    Q_OBJECT
public:
    // intervalMs <= 0: ProcessSlot runs once; otherwise every intervalMs. A worker that moves
    // itself must have no parent.
    explicit QProcessInterface(int intervalMs, QObject *parent = nullptr);
    ~QProcessInterface() override;

    void Start();
    // Ends the work and waits for the thread. Safe before Start and when already stopped.
    void Stop();
    // The same, waiting `timeoutMs` at most; false when the thread has not ended by then (it
    // is stuck in work that does not return, and is left alone).
    bool Stop(int timeoutMs);
    // On the worker's thread: delivers the queued calls waiting for it, then tells whether
    // the loop should go on.
    bool IsRunning();
    bool isStarted() const { return thread.isRunning() || thread.isFinished(); }

    void Lock()
    {
        ++lockWaiters;
        mutex.lock();
        --lockWaiters;
    }
    void Unlock() { mutex.unlock(); }
    // Lock(), waiting `timeoutMs` at most; false when the lock stays taken that long (a
    // worker stuck in the middle of its work).
    bool TryLock(int timeoutMs);

public slots:
    virtual void ProcessSlot() = 0;

protected:
    // On the worker's thread, between two stretches of work that each hold the lock: a thread
    // waiting for the lock gets it first. The mutex is not fair: a worker that takes it back at
    // once can keep another thread waiting for minutes.
    void handOverLock();

    // A standard mutex rather than Qt's: ThreadSanitizer sees it (Qt is built without it).
    std::recursive_mutex mutex;
    QThreadedObject thread;

private:
    // Threads in Lock() or TryLock() that have not got the lock yet.
    std::atomic<int> lockWaiters{0};
};
