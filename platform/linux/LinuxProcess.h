#pragma once

#include "platform/Process.h"

#include <atomic>

// Process services on Linux.
namespace platform {

class LinuxProcess : public Process
{
public:
    // Nice -5 for every thread of the process (Linux keeps a nice value per thread; threads
    // started later inherit their creator's). Threads already above it are left alone.
    bool raisePriority() override;

    static constexpr int raisedNice = -5;

private:
    std::atomic<bool> warned{false};
};

} // namespace platform
