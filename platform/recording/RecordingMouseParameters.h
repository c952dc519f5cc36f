#pragma once

#include "platform/MouseParameters.h"

#include <mutex>

// Mouse parameters kept in memory. Starts from the X server's defaults (acceleration 2/1
// above 4 pixels, speed 10, 3 wheel lines) and composes speed and precision the way the X11
// back end does. Each call is logged to recordingLog() under "mouse".
namespace platform {

class RecordingMouseParameters : public MouseParameters
{
public:
    Snapshot snapshot() override;
    bool restore(const Snapshot &saved) override;
    bool setSpeed(int speed) override;
    int speed() override;
    bool setEnhancedPrecision(bool on) override;
    bool setWheelLines(unsigned lines) override;
    unsigned wheelLines() override;

    // For tests: what the "desktop" holds now (valid is always true), without logging.
    Snapshot current() const;
    bool enhancedPrecision() const;
    // For tests: sets the "user's" parameters that snapshot() will find.
    void setCurrent(const Snapshot &values);
    // When failing, snapshot() is invalid and every setter and restore() returns false.
    void setFailing(bool failing);
    // Back to the initial state (called by installRecording()).
    void reset();

private:
    static Snapshot initial();

    mutable std::mutex mutex;
    Snapshot state = initial();
    bool precision = false;
    bool failing = false;
};

// The process's recording mouse parameters (owned by the registry).
RecordingMouseParameters &recordingMouseParameters();

} // namespace platform
