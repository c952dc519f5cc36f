#pragma once

#include "platform/SystemCursors.h"

#include <mutex>

struct _XDisplay;

// System cursors through XFixes: every cursor of a name takes the image of our .cur file
// (XFixesChangeCursorByName), and takes the user's theme image for that name back on
// restore (the core cursor font's shape when the theme has none). One connection of its own,
// guarded by a mutex: the GUI and the worker thread both call.
namespace platform {

class X11SystemCursors : public SystemCursors
{
public:
    X11SystemCursors();
    ~X11SystemCursors() override;
    X11SystemCursors(const X11SystemCursors &) = delete;
    X11SystemCursors &operator=(const X11SystemCursors &) = delete;

    // The X server frees what a connection made when it closes, and a cursor changed by name
    // from a connection that is gone no longer shows. A process that restores the cursors and
    // ends at once (the guardian) keeps them past its end with this: the server keeps the
    // connection's resources until it resets.
    void keepCursorsAfterExit();

    bool replace(Shape shape, const QString &curFile, Failure *failure) override;
    bool restore(Shape shape) override;

private:
    bool usable(const char *what); // mutex held
    // Gives every cursor of that name the image of `cursor`, and frees it. mutex held.
    void changeByName(unsigned long cursor, const char *name);

    std::mutex mutex;
    _XDisplay *display = nullptr;
    bool xfixes = false;
};

} // namespace platform
