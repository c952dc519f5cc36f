#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// A window drawn over every other program: topmost, never focused, without a taskbar entry,
// and transparent to the mouse (every click reaches the window below). It shows a small
// scene: a background, one line of text and one arc, cut to a rounded rectangle or a ring.
// Where the desktop composites, the window is translucent at its opacity; where it does not,
// it is an opaque window cut to the pixels drawn.
//
// A window belongs to the thread that opens it, which talks to the desktop over a connection
// of its own: every call but wake() comes from that thread.
namespace platform {

class OverlayWindow
{
public:
    struct Font
    {
        QString family;
        int pointSize = 16;
        int weight = 400; // 400 normal, 600 and above bold
    };
    struct Text
    {
        QString text;
        QPoint origin; // top-left corner of the line, inside the window
        Font font;
        QColor color;
    };
    // A stroke along the ellipse inscribed in `square`, `penWidth` wide and centred on it,
    // with flat ends. Angles in degrees, clockwise, 0 at 3 o'clock (-90 is 12 o'clock).
    struct Arc
    {
        QRect square;
        int penWidth = 1;
        QColor color;
        double startDegrees = -90.0;
        double sweepDegrees = 0.0; // 0 draws nothing
    };
    enum class Shape
    {
        Rectangle,
        RoundedRectangle, // corner: the diameter of the rounded corners
        Ring              // the inscribed ellipse less the one inset by `inset` on every side
    };
    struct Scene
    {
        QRect geometry{0, 0, 10, 10}; // screen pixels
        double opacity = 1.0;
        Shape shape = Shape::Rectangle;
        int corner = 0;
        int inset = 0;
        QColor background = Qt::transparent;
        Text text;
        Arc arc;
    };
    enum class Wake
    {
        Timeout,
        Woken,
        Failed // the connection to the desktop is gone
    };

    virtual ~OverlayWindow() = default;

    // Opens the thread's connection and makes the window, hidden, 10 by 10 at (0, 0). False
    // when the desktop cannot give a click-through window.
    virtual bool open(double opacity) = 0;

    // The advance width and line height of a text in a font; an invalid size on failure.
    virtual QSize textExtent(const QString &text, const Font &font) = 0;

    // Scene changes take effect on screen at the next update().
    virtual void setGeometry(const QRect &geometry) = 0;
    virtual void setRoundedShape(int corner) = 0;
    virtual void setRingShape(int inset) = 0;
    virtual void setBackground(const QColor &color) = 0;
    virtual void setText(const Text &text) = 0;
    virtual void setArc(const Arc &arc) = 0;
    virtual Scene scene() const = 0;

    // Maps the window on top of every other and draws it.
    virtual void show() = 0;
    virtual void raise() = 0;
    // Draws the scene now.
    virtual void update() = 0;

    // Handles the desktop's events (redrawing what was uncovered) until wake() is called or
    // timeoutMs passes (never when negative).
    virtual Wake waitForEvents(int timeoutMs) = 0;
    // Ends the current or the next waitForEvents(). Any thread.
    virtual void wake() = 0;
};

} // namespace platform
