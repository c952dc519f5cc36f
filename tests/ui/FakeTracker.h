#pragma once

#include "tracking/QTracker.h"

#include <QStringList>

#include <atomic>
#include <mutex>

// A tracker whose worker loop does no work. It takes the main window's queued requests on its
// own thread and records them, and it ends its loop when the main window closes, reporting
// the end the way the real loop does; or, standing for a worker stuck in a frame, it neither
// ends nor reports until it is stopped.
class FakeTracker : public QTracker
{
    Q_OBJECT
public:
    enum class Ending
    {
        Reports,
        Stuck
    };

    explicit FakeTracker(Ending ending = Ending::Reports);
    ~FakeTracker() override;

    // The requests that reached the worker, in order, e.g. "startTrackingSession(true)".
    QStringList requests() const;
    // Waits (running this thread's events) until `count` of the named request have arrived.
    bool waitForRequests(const QString &request, int count);
    int closeCameraCalls() const { return closedCameras.load(); }
    // Each request then keeps the worker busy this long after it is recorded: a slow worker.
    void setRequestTime(int ms) { requestMs = ms; }
    bool loopEnded() const { return ended.load(); }

public slots:
    void ProcessSlot() override;
    void closeCamera() override;
    // The main window's closing, as the real tracker's onMainWindowClosing takes it.
    void onWindowClosing();

    // The requests the main window invokes by name on the worker: these stand in for
    // QTracker's own.
    void startTrackingSession(bool force);
    void recenterPointer();
    void resetGestureState();
    void restoreSystemCursors();

private:
    void record(const QString &request);

    const Ending ending;
    // A standard mutex, which ThreadSanitizer sees: Qt's is built without it.
    mutable std::mutex mutex;
    QStringList received;
    std::atomic<int> requestMs{0};
    std::atomic<bool> closing{false};
    std::atomic<bool> ended{false};
    std::atomic<int> closedCameras{0};
};
