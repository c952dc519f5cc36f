#pragma once

#include "platform/Process.h"
#include "platform/x11/X11WindowManager.h"

#include <atomic>
#include <sys/resource.h>

// Process services on Linux; what belongs to the window manager is asked of it over X11.
namespace platform {

class LinuxProcess : public Process
{
public:
    // Nice -5 for every thread of the process (Linux keeps a nice value per thread; threads
    // started later inherit their creator's). Threads already above it are left alone.
    bool raisePriority() override;
    bool lowerPriority() override;

    QRect workArea() override { return windowManager.workArea(); }
    quintptr foregroundWindow() override { return windowManager.activeWindow(); }
    bool setForegroundWindow(quintptr window) override { return windowManager.activate(window); }
    bool setAspectRatio(quintptr window, QSize ratio) override
    {
        return windowManager.setAspectRatio(window, ratio);
    }
    PointedWindow windowUnderPointer() override { return windowManager.windowUnderPointer(); }

    static constexpr int raisedNice = -5;

private:
    std::atomic<bool> warned{false};
    // The process's nice value before the first raise; above any nice value until then.
    std::atomic<int> niceBeforeRaise{PRIO_MAX + 1};
    X11WindowManager windowManager;
};

} // namespace platform
