#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>

// A ring around a point of the screen that fills clockwise from 12 o'clock in 25 ms steps
// while the dwell countdown runs, and disappears when it ends or is stopped. Over every
// other program, taking neither the mouse nor the focus. Driven by the application object's
// signals cdtSetAttributes, cdtStartTimer and cdtStopTimer, which it connects itself.
class CountdownTimer : public QWidget
{
    Q_OBJECT
public:
    static constexpr int TickMs = 25;

    CountdownTimer(QWidget *parent, int countdownTime, int centerX, int centerY, int dia,
                   int thickness, QColor color);

    int totalMs() const { return total; }
    int remainingMs() const { return remaining; }
    bool isCounting() const { return timer.isActive(); }
    // The arc drawn now, in 1/16 degree (negative: clockwise from 12 o'clock).
    int spanAngle() const;
    // The square the arc's centre line runs in, in widget coordinates.
    QRect arcRect() const;

public slots:
    void OnSetAttributes(int countdownTime, int centerX, int centerY, int innerDia, int thickness,
                         QColor color);
    void OnStartTimer();
    void OnStopTimer();

private slots:
    void updateTimer();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QTimer timer;
    int total;
    int remaining;
    int centerX;
    int centerY;
    int side; // of the square window, the outer diameter
    int thickness;
    QColor color;
};
