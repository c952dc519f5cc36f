#pragma once

#include "platform/Process.h"

#include <QHash>
#include <atomic>
#include <mutex>

// Process services in memory; calls are logged under "process" (reads of the work area and
// the focus are not: windows read them whenever the pointer comes by).
namespace platform {

class RecordingProcess : public Process
{
public:
    bool raisePriority() override;
    bool lowerPriority() override;
    QRect workArea() override;
    quintptr foregroundWindow() override;
    bool setForegroundWindow(quintptr window) override;
    bool setAspectRatio(quintptr window, QSize ratio) override;
    // Not logged: read on every frame.
    PointedWindow windowUnderPointer() override;

    // For tests.
    bool priorityRaised() const { return raised; }
    void setFailing(bool value) { failing = value; }
    // An empty work area stands for a window manager that publishes none: the recording
    // primary screen is then the work area.
    void setWorkArea(const QRect &physical);
    // The focus moves as setForegroundWindow asks; tests may also move it themselves.
    void setFocusedWindow(quintptr window);
    // The last ratio asked for the window; empty when none was.
    QSize aspectRatio(quintptr window) const;
    void setWindowUnderPointer(const PointedWindow &window);
    void reset();

private:
    std::atomic<bool> raised{false};
    std::atomic<bool> failing{false};
    mutable std::mutex mutex;
    QRect area;
    quintptr focused = 0;
    QHash<quintptr, QSize> ratios;
    PointedWindow underPointer;
};

RecordingProcess &recordingProcess();

} // namespace platform
