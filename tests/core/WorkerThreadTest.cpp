// The worker-thread framework: once mode, timer mode, stopping and queued calls.

#include "core/QProcessInterface.h"
#include "tests/support/Patience.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>

namespace {

// Loops like the tracker: works until told to stop, taking queued calls at each test.
class LoopingWorker : public QProcessInterface
{
    Q_OBJECT
public:
    LoopingWorker()
        : QProcessInterface(-1)
    {}
    ~LoopingWorker() override { Stop(); }

    std::atomic<int> passes{0};
    std::atomic<bool> finished{false};
    std::atomic<QThread *> queuedCallThread{nullptr};
    std::atomic<bool> returnAtOnce{false};
    // A pass that does not return while it holds true (a device that does not answer).
    std::atomic<bool> *stuckUntilReleased = nullptr;

public slots:
    void ProcessSlot() override
    {
        if (!returnAtOnce) {
            while (IsRunning()) {
                ++passes;
                while (stuckUntilReleased && *stuckUntilReleased)
                    QThread::msleep(2);
                QThread::msleep(2);
            }
        }
        finished = true;
    }
    void queuedCall() { queuedCallThread = QThread::currentThread(); }
};

// Holds the lock for the whole of each pass, passes following each other without a gap, as the
// tracker's do when frames take longer than the camera's period.
class LockingWorker : public QProcessInterface
{
    Q_OBJECT
public:
    LockingWorker()
        : QProcessInterface(-1)
    {}
    ~LockingWorker() override { Stop(); }
    std::atomic<int> passes{0};

public slots:
    void ProcessSlot() override
    {
        while (IsRunning()) {
            Lock();
            ++passes;
            QThread::msleep(1);
            Unlock();
            handOverLock();
        }
    }
};

class TickingWorker : public QProcessInterface
{
    Q_OBJECT
public:
    explicit TickingWorker(int interval)
        : QProcessInterface(interval)
    {}
    ~TickingWorker() override { Stop(); }
    std::atomic<int> ticks{0};
    std::atomic<QThread *> tickThread{nullptr};
public slots:
    void ProcessSlot() override
    {
        ++ticks;
        tickThread = QThread::currentThread();
    }
};

template<typename Condition> bool waitFor(Condition condition, int timeoutMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > patientMs(timeoutMs))
            return false;
        QTest::qWait(5);
    }
    return true;
}

TEST(WorkerThread, StopBeforeStartReturnsAtOnce)
{
    LoopingWorker worker;
    worker.Stop();
    EXPECT_FALSE(worker.isStarted());
}

TEST(WorkerThread, OnceModeLoopsUntilStopped)
{
    LoopingWorker worker;
    worker.Start();
    ASSERT_TRUE(waitFor([&] { return worker.passes > 3; }));
    worker.Stop();
    EXPECT_TRUE(worker.finished);
}

TEST(WorkerThread, StopRightAfterStartNeverHangs)
{
    for (int i = 0; i < 50; ++i) {
        LoopingWorker worker;
        worker.Start();
        worker.Stop();
        // Stop returned: the thread has ended, whether or not the work got to run.
        EXPECT_TRUE(static_cast<QObject &>(worker).thread()->isFinished());
    }
}

TEST(WorkerThread, AWorkerWhoseSlotReturnsIsNoLongerRunning)
{
    LoopingWorker worker;
    worker.returnAtOnce = true;
    worker.Start();
    ASSERT_TRUE(waitFor([&] { return worker.finished.load(); }));
    worker.Stop();
    EXPECT_FALSE(worker.IsRunning());
}

TEST(WorkerThread, QueuedCallsRunOnTheWorkerThreadAtItsNextTest)
{
    LoopingWorker worker;
    worker.Start();
    QMetaObject::invokeMethod(&worker, "queuedCall", Qt::QueuedConnection);
    ASSERT_TRUE(waitFor([&] { return worker.queuedCallThread.load() != nullptr; }));
    EXPECT_NE(worker.queuedCallThread.load(), QThread::currentThread());
    EXPECT_EQ(worker.queuedCallThread.load(), static_cast<QObject &>(worker).thread());
}

TEST(WorkerThread, TimerModeTicksOnTheWorkerThreadUntilStopped)
{
    TickingWorker worker(40);
    worker.Start();
    ASSERT_TRUE(waitFor([&] { return worker.ticks >= 3; }));
    worker.Stop();
    const int ticks = worker.ticks;
    EXPECT_NE(worker.tickThread.load(), QThread::currentThread());
    QTest::qWait(100);
    EXPECT_EQ(worker.ticks, ticks);
}

TEST(WorkerThread, AStopWithATimeLimitReturnsByItWhileTheWorkIsStuck)
{
    LoopingWorker worker;
    std::atomic<bool> stuck{true};
    worker.stuckUntilReleased = &stuck;
    worker.Start();
    ASSERT_TRUE(waitFor([&] { return worker.passes > 0; }));
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(worker.Stop(200));
    EXPECT_LT(timer.elapsed(), 2000);
    stuck = false; // the work returns after all: a later stop finds it ended
    EXPECT_TRUE(worker.Stop(5000));
    EXPECT_TRUE(worker.finished);
}

TEST(WorkerThread, AnotherThreadGetsTheLockAtTheEndOfThePassThatHoldsIt)
{
    LockingWorker worker;
    worker.Start();
    ASSERT_TRUE(waitFor([&] { return worker.passes > 0; }));
    // The worker takes the lock back at once: without a hand-over a waiter sits through many
    // passes (minutes under a sanitizer), however it waits.
    for (int round = 0; round < 20; ++round) {
        int before = worker.passes;
        ASSERT_TRUE(worker.TryLock(patientMs(5000))) << "round " << round;
        // The pass under way ends; the one after it has not started.
        EXPECT_LE(worker.passes - before, 1) << "round " << round;
        worker.Unlock();
        before = worker.passes;
        worker.Lock();
        EXPECT_LE(worker.passes - before, 1) << "round " << round;
        worker.Unlock();
    }
}

TEST(WorkerThread, DestroyingARunningWorkerJoinsIt)
{
    auto *worker = new LoopingWorker;
    worker->Start();
    ASSERT_TRUE(waitFor([&] { return worker->passes > 0; }));
    delete worker;
    SUCCEED();
}

} // namespace

#include "WorkerThreadTest.moc"
