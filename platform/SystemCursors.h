#pragma once

#include <QString>
#include <QStringList>

// The desktop's cursors, shown over every program, replaced by shapes from Windows cursor
// (.cur) files and put back. Each shape stands for the cursor names the desktop's programs
// ask for (the arrow for "left_ptr", "default", ...). Cursors that programs made without a
// name cannot be reached and keep their look.
namespace platform {

class SystemCursors
{
public:
    enum class Shape
    {
        Arrow,
        Cross,
        Hand,
        IBeam
    };

    // Why a cursor file could not be used: an errno value (or EINVAL for a file that is not a
    // usable cursor) and its text.
    struct Failure
    {
        int code = 0;
        QString text;
    };

    virtual ~SystemCursors() = default;

    // Shows the image of a .cur file for every name of the shape. False when the file cannot
    // be read (failure tells why; nothing is logged, the caller reports it) or the desktop
    // refuses (one log line).
    virtual bool replace(Shape shape, const QString &curFile, Failure *failure) = 0;
    // Puts the user's own cursors back for every name of the shape.
    virtual bool restore(Shape shape) = 0;

    // The cursor names a shape stands for, the usual one first.
    static QStringList names(Shape shape);
};

} // namespace platform
