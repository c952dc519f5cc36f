#pragma once

#include "platform/InputSynthesis.h"

#include <mutex>
#include <vector>

// What an input service holds down, and the wheel units not yet sent as a whole notch.
// Shared by the back ends; any thread may call.
namespace platform {

class HeldInput
{
public:
    void press(MouseButton button);
    void release(MouseButton button);
    void press(Key key);
    void release(Key key);
    bool isHeld(MouseButton button) const;
    bool isHeld(Key key) const;
    bool anything() const;
    // Everything held, oldest first; the record is cleared.
    std::vector<MouseButton> takeButtons();
    std::vector<Key> takeKeys();

    // Adds delta to the carried remainder and returns the whole notches to send now (signed).
    int takeNotches(int delta);
    int wheelRemainder() const;
    void clear();

private:
    mutable std::mutex mutex;
    std::vector<MouseButton> buttons;
    std::vector<Key> keys;
    int wheelCarry = 0;
};

} // namespace platform
