#pragma once

struct _XDisplay; // Xlib's Display, kept out of this header

// The calling thread's own connection to the X server, opened on first use and closed when
// the thread ends. invalidateAll() makes every thread open a fresh one at its next use (the
// back ends were installed anew, perhaps for another display).
namespace platform {

class ThreadDisplay
{
public:
    // Null (and one log line per thread) when the display cannot be opened.
    static _XDisplay *get();
    static void invalidateAll();
    // Closes a connection of any kind; one whose server has gone is dropped instead, since
    // closing it would end the process through Xlib's I/O error handler.
    static void close(_XDisplay *connection);
    // False when the connection's server has gone (nothing is read from it).
    static bool serverStillThere(_XDisplay *connection);
};

} // namespace platform
