#pragma once

struct _XDisplay; // Xlib's Display, kept out of this header

// The X connections of overlay windows, kept open for the program's life and handed from one
// window to the next. Closing the last connection that used an extension frees records that
// libXext shares between connections, while another overlay thread may be reading them; a
// connection that is never closed while the program runs cannot race that way.
namespace platform {

class OverlayConnections
{
public:
    // An idle connection to the display named by DISPLAY, or a new one; null (and one log
    // line) when the display cannot be opened. It belongs to the caller until given back.
    static _XDisplay *take();
    // Back to the idle ones, its windows destroyed; what it still had queued is dropped. A
    // connection whose server has gone is dropped instead (closing it would end the process).
    static void giveBack(_XDisplay *connection);
};

} // namespace platform
