#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a signal on the GUI thread, so that a terminated program
// still leaves through its normal exit path and puts the user's mouse settings back.
class TerminationWatcher : public QObject
{
    Q_OBJECT
public:
    explicit TerminationWatcher(QObject *parent = nullptr);
    ~TerminationWatcher() override;

    bool requested() const { return wasRequested; }

signals:
    void terminationRequested();

private:
    void onSignal();

    QSocketNotifier *notifier = nullptr;
    bool wasRequested = false;
};
