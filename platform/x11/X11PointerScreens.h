#pragma once

#include "platform/PointerScreens.h"

#include <QRect>
#include <memory>
#include <mutex>

struct _XDisplay;

// The pointer from XQueryPointer on the calling thread's own X connection. The screens from
// XRandR, read once and kept: a connection of this service's own listens for XRandR's change
// notifications, and the next read after one reads the screens anew. So a read costs no trip
// to the X server, however often per frame or per timer tick it comes. While someone asks
// whether the pointer may have moved, the same connection hears of every motion of any pointer
// device (XInput 2's raw motion), so that the answer costs no trip either.
namespace platform {

class X11PointerScreens : public PointerScreens
{
public:
    X11PointerScreens();
    ~X11PointerScreens() override;
    X11PointerScreens(const X11PointerScreens &) = delete;
    X11PointerScreens &operator=(const X11PointerScreens &) = delete;

    bool pointerPosition(QPoint *physical) override;
    bool pointerMayHaveMoved() override;
    void stopWatchingPointerMotion() override;
    QRect primaryScreen() override;
    QRect virtualScreen() override;

    // The screens asked of the server now, on the given connection.
    static QRect readPrimaryScreen(_XDisplay *display);
    static QRect readVirtualScreen(_XDisplay *display);

private:
    // Under the lock: opens the listening connection at the first use, and reads the screens
    // when a change was notified since the last read.
    void refresh();

    std::mutex lock;
    _XDisplay *listener = nullptr;
    bool opened = false;
    bool stale = true;
    // XInput 2's major opcode on the listening connection; 0 when the server has no XInput 2.
    int inputOpcode = 0;
    bool watching = false;
    bool moved = true;
    QRect primary, whole;
};

} // namespace platform
