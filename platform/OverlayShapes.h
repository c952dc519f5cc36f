#pragma once

#include <QObject>
#include <QRect>
#include <QVector>
#include <QtGlobal>

class QImage;

// Where no compositing manager draws the desktop, a translucent window shows its transparent
// pixels black. Such a window is then cut to the pixels it draws: only they are shown, and the
// window takes the mouse nowhere (overlays let every click through). Windows are the GUI
// toolkit's, named by their native ids. GUI thread only.
namespace platform {

class OverlayShapes : public QObject
{
    Q_OBJECT
public:
    // Whether a compositing manager runs now. Followed as managers start and end, each change
    // reported by compositingChanged.
    virtual bool isCompositing() = 0;
    // Shows only the given rectangles of the window (its own coordinates, physical pixels);
    // none shows nothing.
    virtual void cutTo(quintptr window, const QVector<QRect> &shown) = 0;
    // Shows the whole window again; it still takes the mouse nowhere.
    virtual void uncut(quintptr window) = 0;
    // Says on the window that it has no frame (an undecorated window no manager frames).
    // Without it the toolkit asks the server for the window's frame after every move, which
    // for a window that follows the pointer is several round trips a frame.
    virtual void declareFrameless(quintptr window) = 0;

signals:
    void compositingChanged(bool compositing);
};

// The pixels of an ARGB image drawn at least minimumAlpha opaque (0 to 255), as rectangles in
// rows from the top; rows of the same runs are joined into one band. What cutTo takes.
QVector<QRect> coveredPixels(const QImage &image, int minimumAlpha = 128);

} // namespace platform
