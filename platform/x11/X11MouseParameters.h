#pragma once

#include "platform/MouseParameters.h"

#include <mutex>

struct _XDisplay; // Xlib's Display, kept out of this header

// Mouse parameters on the X server's pointer control (XGetPointerControl and
// XChangePointerControl). Speed and wheel lines have no X11 counterpart: the layer keeps them.
// Everything set here lives only as long as the X session, so a crash cannot leave the user's
// mouse changed for good. One Display connection of its own, guarded by a mutex: the GUI and
// the worker thread may both call.
namespace platform {

class X11MouseParameters : public MouseParameters
{
public:
    X11MouseParameters();
    ~X11MouseParameters() override;
    X11MouseParameters(const X11MouseParameters &) = delete;
    X11MouseParameters &operator=(const X11MouseParameters &) = delete;

    Snapshot snapshot() override;
    bool restore(const Snapshot &saved) override;
    bool setSpeed(int speed) override;
    int speed() override;
    bool setEnhancedPrecision(bool on) override;
    bool setWheelLines(unsigned lines) override;
    unsigned wheelLines() override;

private:
    // Writes the control, waits for the server and reads it back. Mutex held.
    bool writeControl(int numerator, int denominator, int threshold, const char *what);

    std::mutex mutex;
    _XDisplay *display = nullptr;
    int currentSpeed = 10;
    bool precision = false;
    unsigned lines = 3;
};

} // namespace platform
