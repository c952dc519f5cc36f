#pragma once

#include <QDialog>
#include <QPoint>
#include <QString>

class OverlayShape;

// A small image that travels with the mouse pointer: a frameless, translucent window on top
// of every other, that takes neither the mouse nor the focus and that no window manager
// places. While it is shown with an image that draws something, it moves whenever the pointer
// has moved: every 10 ms one pointer read serves all such windows. Hidden by showing the fully
// transparent "invisible.png", never by hiding the window; it does not follow the pointer then,
// and comes back at the pointer's place.
class NotificationWidget : public QDialog
{
    Q_OBJECT
public:
    explicit NotificationWidget(QWidget *parent = nullptr);
    ~NotificationWidget() override;

    void setImagePath(const QString &path);
    void setDelta(int dx, int dy);
    void setSize(int w, int h);
    void setKeepOnScreen(bool keep);
    void setScrollParams(int index, int direction);
    void moveToPointer();

    QString imagePath() const { return image; }
    QPoint delta() const { return QPoint(deltaX, deltaY); }
    bool keepsOnScreen() const { return keep; }

    // Where the window goes for a pointer position (logical pixels).
    QPoint keepOnScreen(QPoint pointer) const;
    // Where the scroll image goes for a pointer position (logical pixels).
    QPoint placeForScroll(QPoint pointer) const;
    // Whether it moves with the pointer now: shown, with an image that draws something.
    bool followsPointer() const;
    // Moves to a pointer position read for all the following windows, if it has moved.
    void follow(QPoint pointer);

public slots:
    void mpUpdateMousePosition();

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void place(QPoint topLeft);
    void updateFollowing();
    static QPoint pointer();

    QString image;
    int pointerX = 0;
    int pointerY = 0;
    int deltaX = -100;
    int deltaY = -100;
    int w = 200;
    int h = 200;
    bool keep = true;
    int scrollIndex = 0;
    int scrollDirection = 0;
    bool drawsNothing = true; // the image is empty, unreadable or fully transparent
    OverlayShape *shape;
    quintptr framelessWindow = 0; // the native window last declared frameless
};
