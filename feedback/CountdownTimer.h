#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>

// A ring around a point of the screen that fills clockwise while a dwell countdown runs.
// Driven by the application object's countdown signals.
class CountdownTimer : public QWidget
{
    Q_OBJECT
public:
    CountdownTimer(QWidget *parent, int countdownTime, int centerX, int centerY, int dia,
                   int thickness, QColor color);

    int remainingMs() const { return remaining; }

public slots:
    void setAttributes(int countdownTime, int centerX, int centerY, int dia, int thickness,
                       QColor color);
    void startTimer();
    void stopTimer();
    void updateTimer();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QTimer timer;
    int total;
    int remaining;
    int centerX;
    int centerY;
    int size;
    int thickness;
    QColor color;
};
