#include "platform/HeldInput.h"

#include <algorithm>
#include <utility>

namespace platform {

namespace {
template<class T> void add(std::vector<T> &held, T item)
{
    if (std::find(held.begin(), held.end(), item) == held.end())
        held.push_back(item);
}
template<class T> void remove(std::vector<T> &held, T item)
{
    held.erase(std::remove(held.begin(), held.end(), item), held.end());
}
} // namespace

void HeldInput::press(MouseButton button)
{
    std::lock_guard<std::mutex> lock(mutex);
    add(buttons, button);
}

void HeldInput::release(MouseButton button)
{
    std::lock_guard<std::mutex> lock(mutex);
    remove(buttons, button);
}

void HeldInput::press(Key key)
{
    std::lock_guard<std::mutex> lock(mutex);
    add(keys, key);
}

void HeldInput::release(Key key)
{
    std::lock_guard<std::mutex> lock(mutex);
    remove(keys, key);
}

bool HeldInput::isHeld(MouseButton button) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return std::find(buttons.begin(), buttons.end(), button) != buttons.end();
}

bool HeldInput::isHeld(Key key) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

bool HeldInput::anything() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return !buttons.empty() || !keys.empty();
}

std::vector<MouseButton> HeldInput::takeButtons()
{
    std::lock_guard<std::mutex> lock(mutex);
    return std::exchange(buttons, {});
}

std::vector<Key> HeldInput::takeKeys()
{
    std::lock_guard<std::mutex> lock(mutex);
    return std::exchange(keys, {});
}

int HeldInput::takeNotches(int delta)
{
    std::lock_guard<std::mutex> lock(mutex);
    // Kept in 64 bits: a caller's huge delta must not overflow the carry.
    const long long total = (long long)wheelCarry + delta;
    const long long notches = total / InputSynthesis::WheelNotch; // toward zero
    wheelCarry = int(total - notches * InputSynthesis::WheelNotch);
    return int(notches);
}

int HeldInput::wheelRemainder() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return wheelCarry;
}

void HeldInput::clear()
{
    std::lock_guard<std::mutex> lock(mutex);
    buttons.clear();
    keys.clear();
    wheelCarry = 0;
}

} // namespace platform
