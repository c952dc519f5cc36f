#include "platform/x11/X11SystemCursors.h"

#include "platform/x11/CurFile.h"

#include <QtGlobal>
#include <X11/Xcursor/Xcursor.h>
#include <X11/Xlib.h>
#include <X11/cursorfont.h>
#include <X11/extensions/Xfixes.h>

namespace platform {

namespace {

unsigned fontGlyph(SystemCursors::Shape shape)
{
    switch (shape) {
    case SystemCursors::Shape::Arrow:
        return XC_left_ptr;
    case SystemCursors::Shape::Cross:
        return XC_crosshair;
    case SystemCursors::Shape::Hand:
        return XC_hand2;
    case SystemCursors::Shape::IBeam:
        return XC_xterm;
    }
    return XC_left_ptr;
}

XcursorPixel premultiplied(quint32 argb)
{
    const quint32 a = argb >> 24;
    const auto scale = [a](quint32 c) { return (c * a + 127) / 255; };
    return a << 24 | scale(argb >> 16 & 0xff) << 16 | scale(argb >> 8 & 0xff) << 8 |
           scale(argb & 0xff);
}

} // namespace

X11SystemCursors::X11SystemCursors()
    : display(XOpenDisplay(nullptr))
{
    if (!display) {
        qWarning("System cursors: cannot open the X display");
        return;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    xfixes = XFixesQueryExtension(display, &event, &error) &&
             XFixesQueryVersion(display, &major, &minor) && major >= 2;
    if (!xfixes)
        qWarning("System cursors: the X server lacks XFixes 2; cursors cannot be replaced");
}

X11SystemCursors::~X11SystemCursors()
{
    if (display)
        XCloseDisplay(display);
}

void X11SystemCursors::keepCursorsAfterExit()
{
    std::lock_guard<std::mutex> lock(mutex);
    if (display)
        XSetCloseDownMode(display, RetainPermanent);
}

bool X11SystemCursors::usable(const char *what)
{
    if (display && xfixes)
        return true;
    qWarning("System cursors: cannot %s without an X display with XFixes", what);
    return false;
}

bool X11SystemCursors::replace(Shape shape, const QString &curFile, Failure *failure)
{
    QVector<CurFile::Image> images;
    Failure ignored;
    if (!CurFile::read(curFile, &images, failure ? failure : &ignored))
        return false;

    std::lock_guard<std::mutex> lock(mutex);
    if (!usable("replace a cursor"))
        return false;
    const CurFile::Image &image = CurFile::closestTo(images, XcursorGetDefaultSize(display));
    XcursorImage *xImage = XcursorImageCreate(image.width, image.height);
    if (!xImage) {
        qWarning("System cursors: out of memory for %s", qPrintable(curFile));
        return false;
    }
    xImage->xhot = XcursorDim(image.hotX);
    xImage->yhot = XcursorDim(image.hotY);
    for (int i = 0; i < image.argb.size(); ++i)
        xImage->pixels[i] = premultiplied(image.argb[i]);
    bool shown = true;
    for (const QString &name : names(shape)) {
        const Cursor cursor = XcursorImageLoadCursor(display, xImage);
        if (!cursor) {
            shown = false;
            continue;
        }
        changeByName(cursor, name.toLatin1().constData());
    }
    XcursorImageDestroy(xImage);
    XSync(display, False);
    if (!shown)
        qWarning("System cursors: the X server refused the cursor of %s", qPrintable(curFile));
    return shown;
}

void X11SystemCursors::changeByName(unsigned long cursor, const char *name)
{
    // Windows take the replacing cursor itself, name and all: unnamed, it could never be
    // found by name again to be put back.
    XFixesSetCursorName(display, cursor, name);
    XFixesChangeCursorByName(display, cursor, name);
    XFreeCursor(display, cursor);
}

bool X11SystemCursors::restore(Shape shape)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (!usable("restore the cursors"))
        return false;
    const char *theme = XcursorGetTheme(display); // null: the "default" theme
    const int size = XcursorGetDefaultSize(display);
    for (const QString &name : names(shape)) {
        const QByteArray latin = name.toLatin1();
        Cursor cursor = 0;
        if (XcursorImages *images = XcursorLibraryLoadImages(latin.constData(), theme, size)) {
            cursor = XcursorImagesLoadCursor(display, images);
            XcursorImagesDestroy(images);
        }
        if (!cursor)
            cursor = XCreateFontCursor(display, fontGlyph(shape));
        if (cursor)
            changeByName(cursor, latin.constData());
    }
    XSync(display, False);
    return true;
}

} // namespace platform
