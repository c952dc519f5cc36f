#pragma once

#include "platform/HeldInput.h"
#include "platform/InputSynthesis.h"

#include <map>
#include <mutex>

struct _XDisplay;

// Input synthesis with the XTEST extension: one fake event per request, flushed at once, on
// the calling thread's own X connection. Keys are found by keysym; a keysym the keymap lacks
// (F13 and F14 on many layouts) or has only on a shifted level is bound to a spare keycode
// while it is held, and the keymap is put back after the release. A held key does not
// auto-repeat; its repeat comes back with its release.
//
// Presses, releases and the record of what is held are one step under one lock, which is
// let go only once the server has taken the event: threads on different connections cannot
// send a release before a press they raced, nor note a press the server never saw.
namespace platform {

class X11InputSynthesis : public InputSynthesis
{
public:
    X11InputSynthesis();
    ~X11InputSynthesis() override;

    bool moveAbsolute(int x, int y) override;
    bool moveRelative(int dx, int dy) override;
    bool buttonDown(MouseButton button) override;
    bool buttonUp(MouseButton button) override;
    bool wheel(int delta) override;
    bool keyDown(Key key) override;
    bool keyUp(Key key) override;
    void releaseAll() override;
    bool isHeld(MouseButton button) const override;
    bool isHeld(Key key) const override;
    void setHeldListener(HeldListener listener) override;

    static unsigned long keysymOf(Key key);

private:
    _XDisplay *connection(); // this thread's, with XTEST; null otherwise
    // The rest: inputMutex held.
    void sendButton(_XDisplay *display, unsigned button, bool press);
    // The keycode that types the key now, binding a spare one when needed. 0 on failure.
    unsigned keycodeFor(_XDisplay *display, Key key);
    bool pressKey(_XDisplay *display, Key key);
    void releaseKey(_XDisplay *display, Key key);
    // Per-key auto-repeat off while we hold the key, and back as it was.
    void stopRepeat(_XDisplay *display, unsigned keycode);
    void restoreRepeat(_XDisplay *display, unsigned keycode);
    void tellHeld();

    HeldInput held;
    // Every press, release and keymap change, with the records below, shared by all threads.
    std::mutex inputMutex;
    HeldListener heldListener;
    std::map<Key, unsigned> heldKeycodes; // keycode each held key was pressed with
    std::map<Key, unsigned> boundSpares;  // spare keycodes bound for a held key
    // Keycodes whose auto-repeat was on before we held them: switched off while held, so a
    // key held through a gesture types once, and back on at the release.
    std::map<unsigned, bool> repeatOff;
};

} // namespace platform
