#pragma once

#include <memory>

// Makes the windows drawn over other programs (see OverlayWindow).
namespace platform {

class OverlayWindow;

class OverlayWindows
{
public:
    virtual ~OverlayWindows() = default;
    // A new window, not yet open. Any thread may create one; it then belongs to the thread
    // that opens it, and is to be destroyed there.
    virtual std::unique_ptr<OverlayWindow> create() = 0;
};

} // namespace platform
