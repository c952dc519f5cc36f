#pragma once

#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>
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
    // Names what the window draws (an image file, say). While it names the same drawing at the
    // same size, a paint keeps the cut it has: a window that only moves is not rendered again
    // to find its shape. Empty (the default): every paint looks at the drawing anew.
    void setDrawingKey(const QString &key) { drawingKey = key; }

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
    QString drawingKey;
    // What the current cut was made from; empty when no cut stands for the drawing.
    QString shapedKey;
    QSize shapedSize;
    qreal shapedRatio = 0;
};
