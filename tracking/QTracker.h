#pragma once

#include "core/QProcessInterface.h"

#include <QString>

#include <atomic>

// The worker that owns the camera and runs the frame loop on its own thread.
class QTracker : public QProcessInterface
{
    Q_OBJECT
public:
    explicit QTracker(QObject *parent = nullptr);
    ~QTracker() override;

    // Opens the camera the user chose; false when none can be opened (the program stops).
    virtual bool openCamera();
    virtual void closeCamera();
    void createFaceTracker();
    // Applies the settings changed since the last call (all of them on the first call).
    void applyChangedSettings(bool firstCall);

    bool isPaused() const { return paused; }
    void setPaused(bool value) { paused = value; }

signals:
    void TrackerProcessCompleted();

public slots:
    void ProcessSlot() override;

private:
    std::atomic<bool> paused{false};
};
