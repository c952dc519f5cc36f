#pragma once

#include "platform/OverlayWindows.h"

// Overlay windows on X11 (see X11OverlayWindow); each opens its own connection.
namespace platform {

class X11OverlayWindows : public OverlayWindows
{
public:
    std::unique_ptr<OverlayWindow> create() override;
};

} // namespace platform
