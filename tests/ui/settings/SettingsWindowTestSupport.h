#pragma once

#include "tracking/QTracker.h"

#include <QStringList>

#include <mutex>

class FacialDetectionApp;
class QWidget;

// A tracker whose worker loop does nothing but take the requests queued to it, as the real
// loop does between frames, and record them.
class SessionRecorder : public QTracker
{
    Q_OBJECT
public:
    SessionRecorder();
    ~SessionRecorder() override;

    QStringList requests() const;

public slots:
    void ProcessSlot() override;
    void startTrackingSession(bool force);
    void recenterPointer();

private:
    // A standard mutex, which ThreadSanitizer sees: Qt's is built without it.
    mutable std::mutex mutex;
    QStringList received;
};

FacialDetectionApp *app();
// The store on a fresh settings file holding every load default.
void freshSettings();
// The settings file, line by line.
QStringList settingsFileLines();
// The lines of `after` that `before` does not hold.
QStringList changedLines(const QStringList &before, const QStringList &after);
