#pragma once

#include "platform/Process.h"

#include <QRect>
#include <QSize>
#include <QtGlobal>

#include <mutex>

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
    // The client window (the one with WM_STATE, else the top-level itself) of the top-level
    // under the pointer, on the calling thread's connection. What is read of it is kept for a
    // second while the same top-level stays under the pointer.
    PointedWindow windowUnderPointer();

private:
    std::mutex cacheMutex;
    quintptr cachedTopLevel = 0;
    qint64 cachedAtMs = 0;
    PointedWindow cached;
};

} // namespace platform
