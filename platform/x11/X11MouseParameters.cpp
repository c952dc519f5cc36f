#include "platform/x11/X11MouseParameters.h"

#include "platform/x11/PointerControl.h"

#include <QtGlobal>
#include <X11/Xlib.h>

namespace platform {

X11MouseParameters::X11MouseParameters()
    : display(XOpenDisplay(nullptr))
{
    if (!display)
        qWarning("Mouse parameters: cannot open the X display");
}

X11MouseParameters::~X11MouseParameters()
{
    if (display)
        XCloseDisplay(display);
}

MouseParameters::Snapshot X11MouseParameters::snapshot()
{
    std::lock_guard<std::mutex> lock(mutex);
    Snapshot s;
    s.speed = currentSpeed;
    s.wheelLines = lines;
    if (!display) {
        qWarning("Mouse parameters: no X display, nothing to save");
        return s;
    }
    XGetPointerControl(display, &s.accelNumerator, &s.accelDenominator, &s.threshold);
    s.valid = true;
    return s;
}

bool X11MouseParameters::restore(const Snapshot &saved)
{
    if (!saved.valid) {
        qWarning("Mouse parameters: nothing was saved, nothing to restore");
        return false;
    }
    std::lock_guard<std::mutex> lock(mutex);
    if (!writeControl(saved.accelNumerator, saved.accelDenominator, saved.threshold, "restore"))
        return false;
    currentSpeed = PointerControl::clampSpeed(saved.speed);
    lines = saved.wheelLines;
    return true;
}

bool X11MouseParameters::setSpeed(int speed)
{
    std::lock_guard<std::mutex> lock(mutex);
    speed = PointerControl::clampSpeed(speed);
    const PointerControl c = PointerControl::forSpeed(speed, precision);
    if (!writeControl(c.numerator, c.denominator, c.threshold, "set the pointer speed"))
        return false;
    currentSpeed = speed;
    return true;
}

int X11MouseParameters::speed()
{
    std::lock_guard<std::mutex> lock(mutex);
    return currentSpeed;
}

bool X11MouseParameters::setEnhancedPrecision(bool on)
{
    std::lock_guard<std::mutex> lock(mutex);
    const PointerControl c = PointerControl::forSpeed(currentSpeed, on);
    if (!writeControl(c.numerator, c.denominator, c.threshold, "set the pointer precision"))
        return false;
    precision = on;
    return true;
}

bool X11MouseParameters::setWheelLines(unsigned value)
{
    std::lock_guard<std::mutex> lock(mutex);
    lines = value;
    return true;
}

unsigned X11MouseParameters::wheelLines()
{
    std::lock_guard<std::mutex> lock(mutex);
    return lines;
}

bool X11MouseParameters::writeControl(int numerator, int denominator, int threshold,
                                      const char *what)
{
    if (!display) {
        qWarning("Mouse parameters: no X display, cannot %s", what);
        return false;
    }
    // The protocol carries 16-bit values; anything else would be a BadValue error, which
    // Xlib's default handler turns into an exit.
    const auto fits = [](int v, int low) { return v >= low && v <= 32767; };
    if (!fits(numerator, 1) || !fits(denominator, 1) || !fits(threshold, 0)) {
        qWarning("Mouse parameters: cannot %s: invalid values %d/%d above %d", what, numerator,
                 denominator, threshold);
        return false;
    }
    XChangePointerControl(display, True, True, numerator, denominator, threshold);
    XSync(display, False);
    int n = 0, d = 0, t = 0;
    XGetPointerControl(display, &n, &d, &t);
    if (n != numerator || d != denominator || t != threshold) {
        qWarning("Mouse parameters: cannot %s: the X server holds %d/%d above %d, not %d/%d "
                 "above %d",
                 what, n, d, t, numerator, denominator, threshold);
        return false;
    }
    return true;
}

} // namespace platform
