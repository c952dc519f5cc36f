#pragma once

#include <functional>
#include <string>

// Pointer moves, button presses, wheel turns and key strokes sent to the desktop as if the
// user had made them. Each event is sent on its own and reaches the desktop before the call
// returns. The service remembers what it holds down, so releaseAll() can let everything go:
// no button or key is ever left down by the program. What it remembers and what the desktop
// holds never disagree, whichever threads press and release at once.
namespace platform {

enum class MouseButton
{
    Left,
    Right
};

// The keys the program can press, by the symbol they produce (not by their place on a
// keyboard layout).
enum class Key
{
    Space,
    Return,
    One, // the "1" key
    F12,
    F13,
    F14
};

class InputSynthesis
{
public:
    // Units of one wheel notch.
    static constexpr int WheelNotch = 120;

    virtual ~InputSynthesis() = default;

    // Moves the pointer to a point of the virtual screen, in physical pixels.
    virtual bool moveAbsolute(int x, int y) = 0;
    // Moves the pointer by a step in physical pixels. Sent as an absolute move, so the
    // desktop's pointer acceleration never applies to it.
    virtual bool moveRelative(int dx, int dy) = 0;

    virtual bool buttonDown(MouseButton button) = 0;
    virtual bool buttonUp(MouseButton button) = 0;

    // Turns the wheel by delta units, positive away from the user (scrolling up). Whole
    // notches are sent at once; the remainder is carried into the next call.
    virtual bool wheel(int delta) = 0;

    virtual bool keyDown(Key key) = 0;
    virtual bool keyUp(Key key) = 0;

    // Releases every button and key this service holds down.
    virtual void releaseAll() = 0;
    virtual bool isHeld(MouseButton button) const = 0;
    virtual bool isHeld(Key key) const = 0;

    // Told everything the service holds on the desktop, in the desktop's own terms, whenever
    // that changes: before a press or a key binding reaches the desktop, after a release. For
    // a process that lets go of it should this one end without doing so. Called at once with
    // what is held now, then on the thread that made each change, in the order of the
    // changes: it must be quick and must not call the service. An empty one stops the calls.
    using HeldListener = std::function<void(const std::string &held)>;
    virtual void setHeldListener(HeldListener listener) { static_cast<void>(listener); }
};

} // namespace platform
