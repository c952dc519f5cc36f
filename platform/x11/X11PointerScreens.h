#pragma once

#include "platform/PointerScreens.h"

// The pointer from XQueryPointer, the screens from XRandR, each read on the calling thread's
// own X connection.
namespace platform {

class X11PointerScreens : public PointerScreens
{
public:
    bool pointerPosition(QPoint *physical) override;
    QRect primaryScreen() override;
    QRect virtualScreen() override;
};

} // namespace platform
