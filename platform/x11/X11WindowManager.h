#pragma once

#include <QRect>
#include <QSize>
#include <QtGlobal>

// What the process service asks of the X window manager, through the desktop conventions
// (EWMH and ICCCM). The focus and work area are read on the calling thread's own connection;
// size hints are written on the toolkit's connection, after the toolkit's own writes of them.
namespace platform {

class X11WindowManager
{
public:
    // _NET_WORKAREA of the current desktop within the primary screen; the primary screen when
    // the window manager publishes none (or one that misses it).
    QRect workArea();
    // _NET_ACTIVE_WINDOW of the root window.
    quintptr activeWindow();
    // A _NET_ACTIVE_WINDOW request, sent as a pager would: window managers grant those
    // without their focus-stealing rules, which is what giving the focus back needs.
    bool activate(quintptr window);
    // The aspect fields of WM_NORMAL_HINTS, keeping every other field the toolkit wrote.
    bool setAspectRatio(quintptr window, QSize ratio);
};

} // namespace platform
