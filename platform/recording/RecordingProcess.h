#pragma once

#include "platform/Process.h"

#include <atomic>

// Process services in memory; calls are logged under "process".
namespace platform {

class RecordingProcess : public Process
{
public:
    bool raisePriority() override;

    // For tests.
    bool priorityRaised() const { return raised; }
    void setFailing(bool value) { failing = value; }
    void reset();

private:
    std::atomic<bool> raised{false};
    std::atomic<bool> failing{false};
};

RecordingProcess &recordingProcess();

} // namespace platform
