#pragma once

#include "platform/PointerScreens.h"

#include <mutex>

// A pointer and screens kept in memory: one 1920 by 1080 screen at first, the pointer in its
// middle. The recording input service moves this pointer. Reads are not logged (overlays
// read them many times a second); tests set what they need.
namespace platform {

class RecordingPointerScreens : public PointerScreens
{
public:
    bool pointerPosition(QPoint *physical) override;
    QRect primaryScreen() override;
    QRect virtualScreen() override;

    // For tests and the recording input service.
    void setPointer(QPoint physical);
    QPoint pointer() const;
    // An empty primary screen means none; the virtual screen defaults to the primary one.
    void setScreens(const QRect &primary, const QRect &virtualScreen = QRect());
    // When failing, the pointer position cannot be read.
    void setFailing(bool failing);
    void reset();

private:
    mutable std::mutex mutex;
    QPoint position{960, 540};
    QRect primary{0, 0, 1920, 1080};
    QRect whole{0, 0, 1920, 1080};
    bool failing = false;
};

RecordingPointerScreens &recordingPointerScreens();

} // namespace platform
