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
