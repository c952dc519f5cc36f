#include "platform/recording/RecordingPointerScreens.h"

namespace platform {

bool RecordingPointerScreens::pointerPosition(QPoint *physical)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (failing)
        return false;
    *physical = position;
    return true;
}

QRect RecordingPointerScreens::primaryScreen()
{
    std::lock_guard<std::mutex> lock(mutex);
    return primary;
}

QRect RecordingPointerScreens::virtualScreen()
{
    std::lock_guard<std::mutex> lock(mutex);
    return whole;
}

void RecordingPointerScreens::setPointer(QPoint physical)
{
    std::lock_guard<std::mutex> lock(mutex);
    position = physical;
}

QPoint RecordingPointerScreens::pointer() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return position;
}

void RecordingPointerScreens::setScreens(const QRect &primaryScreen, const QRect &virtualScreen)
{
    std::lock_guard<std::mutex> lock(mutex);
    primary = primaryScreen;
    whole = virtualScreen.isEmpty() ? primaryScreen : virtualScreen;
}

void RecordingPointerScreens::setFailing(bool value)
{
    std::lock_guard<std::mutex> lock(mutex);
    failing = value;
}

void RecordingPointerScreens::reset()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        position = QPoint(960, 540);
        primary = whole = QRect(0, 0, 1920, 1080);
        failing = false;
    }
    setDevicePixelRatio(1.0);
}

} // namespace platform
