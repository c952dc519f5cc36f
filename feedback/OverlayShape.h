#pragma once

#include <QObject>
#include <QRect>
#include <QVector>

class QWidget;

// Keeps a translucent overlay window looking as drawn where no compositing manager runs (there
// its transparent pixels would show black): the window is cut to the pixels it draws before it
// is first mapped, cut anew whenever its drawing changes, and shown whole again while a
// compositing manager runs. Either way it takes the mouse nowhere, also in the frame a window
// manager puts around it. Made a child of the window it keeps. GUI thread.
class OverlayShape : public QObject
{
    Q_OBJECT
public:
    // A pixel counts as drawn from minimumAlpha (0 to 255) on: half covered for images and
    // rings, any coverage for a box that is translucent by design and shown opaque then.
    explicit OverlayShape(QWidget *window, int minimumAlpha = 128);

    // Whether the window is cut now, and to what (its own physical pixels).
    bool isCut() const { return cut; }
    QVector<QRect> shown() const { return current; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void reshape();
    void reshapeLater();

    QWidget *window;
    int minimumAlpha;
    bool rendering = false;
    bool pending = false;
    bool cut = false;
    bool firstPaint = false; // since the last show
    bool resend = false;     // the shape is to be set again even where it has not changed
    QVector<QRect> current;
};
