#pragma once

#include <QObject>

#include <functional>
#include <thread>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a signal on the GUI thread, so that a terminated program
// still leaves through its normal exit path and puts the user's mouse settings back. A second
// SIGINT or SIGTERM ends the process at once (exit code 128 + the signal's number), after the
// last-resort clean-up, which gets two seconds at most.
class TerminationWatcher : public QObject
{
    Q_OBJECT
public:
    explicit TerminationWatcher(QObject *parent = nullptr);
    ~TerminationWatcher() override;

    bool requested() const { return wasRequested; }
    // What must not be left behind even by the at-once ending (held buttons, the mouse
    // settings). Runs on a thread of its own while the GUI thread may be busy or stuck.
    void setLastResort(std::function<void()> cleanup);

signals:
    void terminationRequested();

private:
    void onSignal();

    QSocketNotifier *notifier = nullptr;
    bool wasRequested = false;
    std::function<void()> lastResort;
    std::thread lastResortThread;
};
