#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QtGlobal>

// Process-level services of the desktop session: priority, and what the window manager keeps
// for the whole session (the work area, which window has the focus, the hints of our windows).
namespace platform {

// The program window under the pointer, as the desktop's conventions describe it.
struct PointedWindow
{
    // False over the bare desktop (no window of a program there).
    bool found = false;
    // The window's title: _NET_WM_NAME, else WM_NAME; at most 128 characters.
    QString title;
    // Whether it is transient for another window (a dialog of a main window), and the
    // title of the window at the end of that chain.
    bool owned = false;
    QString ownerTitle;
    // Its window type says it is a dock (panels, docked on-screen keyboards).
    bool dock = false;
    // WM_CLASS: the instance and the class name.
    QString instanceName;
    QString className;
};

class Process
{
public:
    virtual ~Process() = default;

    // Raises the scheduling priority of the whole process a little above normal.
    // Ordinary users usually lack the privilege: false (and one log line) then.
    virtual bool raisePriority() = 0;
    // Undoes raisePriority: every thread it lifted goes back to the priority the process had
    // before. Never raises anything (which would need privilege); true when nothing failed.
    virtual bool lowerPriority() = 0;

    // The part of the primary screen that panels and docks leave to windows, in physical
    // pixels: the window manager's work area where it publishes one, else the whole primary
    // screen. Empty when there is no screen at all.
    virtual QRect workArea() = 0;

    // Windows are the desktop's native window ids (a QWidget's winId()); 0 is none.
    // The window that has the keyboard focus now, 0 when none or unknown.
    virtual quintptr foregroundWindow() = 0;
    // Asks the window manager to give the focus to the window; false when it cannot be asked.
    virtual bool setForegroundWindow(quintptr window) = 0;
    // Asks the window manager to keep the window's width to height at `ratio` while the user
    // resizes it. The toolkit rewrites these hints whenever it changes the window's size or
    // limits, so callers set it again afterwards. False when it cannot be asked.
    virtual bool setAspectRatio(quintptr window, QSize ratio) = 0;
    // The top-level window under the pointer now. Cheap enough for every frame: one query of
    // the pointer, the rest only when another window comes under it (or a second passed).
    virtual PointedWindow windowUnderPointer() = 0;
};

} // namespace platform
