#include "platform/x11/X11OverlayWindows.h"

#include "platform/x11/X11OverlayWindow.h"

namespace platform {

std::unique_ptr<OverlayWindow> X11OverlayWindows::create()
{
    return std::make_unique<X11OverlayWindow>();
}

} // namespace platform
