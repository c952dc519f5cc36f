#include "platform/recording/RecordingMouseParameters.h"

#include "platform/recording/CallLog.h"
#include "platform/x11/PointerControl.h"

namespace platform {

namespace {
void logCall(const char *call, const QString &args = QString())
{
    recordingLog().add(QStringLiteral("mouse"), QString::fromLatin1(call), args);
}

QString describe(const MouseParameters::Snapshot &s)
{
    return QStringLiteral("valid=%1 accel=%2/%3 threshold=%4 speed=%5 wheelLines=%6")
        .arg(s.valid)
        .arg(s.accelNumerator)
        .arg(s.accelDenominator)
        .arg(s.threshold)
        .arg(s.speed)
        .arg(s.wheelLines);
}
} // namespace

MouseParameters::Snapshot RecordingMouseParameters::initial()
{
    Snapshot s;
    s.valid = true;
    s.accelNumerator = 2;
    s.accelDenominator = 1;
    s.threshold = 4;
    return s;
}

MouseParameters::Snapshot RecordingMouseParameters::snapshot()
{
    logCall("snapshot");
    std::lock_guard<std::mutex> lock(mutex);
    if (failing)
        return Snapshot();
    return state;
}

bool RecordingMouseParameters::restore(const Snapshot &saved)
{
    logCall("restore", describe(saved));
    std::lock_guard<std::mutex> lock(mutex);
    if (failing || !saved.valid)
        return false;
    state = saved;
    state.speed = PointerControl::clampSpeed(saved.speed);
    return true;
}

bool RecordingMouseParameters::setSpeed(int speed)
{
    logCall("setSpeed", QString::number(speed));
    std::lock_guard<std::mutex> lock(mutex);
    if (failing)
        return false;
    state.speed = PointerControl::clampSpeed(speed);
    const PointerControl c = PointerControl::forSpeed(state.speed, precision);
    state.accelNumerator = c.numerator;
    state.accelDenominator = c.denominator;
    state.threshold = c.threshold;
    return true;
}

int RecordingMouseParameters::speed()
{
    logCall("speed");
    std::lock_guard<std::mutex> lock(mutex);
    return state.speed;
}

bool RecordingMouseParameters::setEnhancedPrecision(bool on)
{
    logCall("setEnhancedPrecision", on ? QStringLiteral("true") : QStringLiteral("false"));
    std::lock_guard<std::mutex> lock(mutex);
    if (failing)
        return false;
    precision = on;
    const PointerControl c = PointerControl::forSpeed(state.speed, on);
    state.accelNumerator = c.numerator;
    state.accelDenominator = c.denominator;
    state.threshold = c.threshold;
    return true;
}

bool RecordingMouseParameters::setWheelLines(unsigned lines)
{
    logCall("setWheelLines", QString::number(lines));
    std::lock_guard<std::mutex> lock(mutex);
    if (failing)
        return false;
    state.wheelLines = lines;
    return true;
}

unsigned RecordingMouseParameters::wheelLines()
{
    logCall("wheelLines");
    std::lock_guard<std::mutex> lock(mutex);
    return state.wheelLines;
}

MouseParameters::Snapshot RecordingMouseParameters::current() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return state;
}

bool RecordingMouseParameters::enhancedPrecision() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return precision;
}

void RecordingMouseParameters::setCurrent(const Snapshot &values)
{
    std::lock_guard<std::mutex> lock(mutex);
    state = values;
    state.valid = true;
}

void RecordingMouseParameters::setFailing(bool value)
{
    std::lock_guard<std::mutex> lock(mutex);
    failing = value;
}

void RecordingMouseParameters::reset()
{
    std::lock_guard<std::mutex> lock(mutex);
    state = initial();
    precision = false;
    failing = false;
}

} // namespace platform
