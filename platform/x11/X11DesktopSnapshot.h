#pragma once

#include <array>
#include <cstdint>

struct _XDisplay; // Xlib's Display, kept out of this header

// What a desktop looked like before the program changed it, noted on a connection of its
// own, and put back from there when the program went without doing it: the buttons and keys
// the X server shows held are released (only those a synthetic device holds go up: the server
// ignores a release of what that device never pressed), the pointer's acceleration and the
// key repeat (global and per key) are set as noted, and keycodes that had no symbols are
// emptied again. The cursors are not kept here: they are put back by name (SystemCursors).
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
    // Releases, restores and waits until the server has done it all.
    void putBack();

private:
    _XDisplay *display = nullptr;
    int accelNumerator = 1;
    int accelDenominator = 1;
    int threshold = 0;
    bool globalRepeat = true;
    std::array<char, 32> repeatingKeys{}; // one bit per keycode
    std::array<char, 32> emptyKeycodes{}; // keycodes without symbols, one bit each
};

} // namespace platform
