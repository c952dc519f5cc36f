#pragma once

#include "platform/x11/X11HeldInput.h"

#include <array>
#include <cstdint>

struct _XDisplay; // Xlib's Display, kept out of this header

// What a desktop looked like before the program changed it, noted on a connection of its
// own, and put back from there when the program went without doing it: the buttons and keys
// the program held (as it told) are released where the X server still shows them down, the
// spare keycodes it bound are emptied where they still hold its keysym, and the pointer's
// acceleration and the key repeat (global and per key) are set as noted. What other programs
// hold or bound is left alone; but a button or key that the program and another XTEST client
// both hold goes up for both, since the server keeps one state per device for all of them.
// The cursors are not kept here: they are put back by name (SystemCursors).
namespace platform {

class X11DesktopSnapshot
{
public:
    // For a process that lives for this alone: the X server going ends the process quietly
    // (exit code 0), and a refused request is one log line, not an exit.
    static void endProcessWithServer();

    X11DesktopSnapshot() = default;
    ~X11DesktopSnapshot();
    X11DesktopSnapshot(const X11DesktopSnapshot &) = delete;
    X11DesktopSnapshot &operator=(const X11DesktopSnapshot &) = delete;

    // Opens the connection and notes the desktop. False (and one log line) when the display
    // cannot be opened or lacks XTEST.
    bool take();
    // The connection's socket, to wait on beside other files; -1 before take().
    int connectionFd() const;
    // Reads what the server sent; false when the server has gone (the session ended).
    bool serverStillThere();
    // Releases and unbinds what the program held, restores the rest and waits until the
    // server has done it all.
    void putBack(const X11HeldInput &held);

private:
    _XDisplay *display = nullptr;
    int accelNumerator = 1;
    int accelDenominator = 1;
    int threshold = 0;
    bool globalRepeat = true;
    std::array<char, 32> repeatingKeys{}; // one bit per keycode
};

} // namespace platform
