#include "feedback/CountdownTimer.h"

#include "feedback/OverlayShape.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

CountdownTimer::CountdownTimer(QWidget *parent, int countdownTime, int centerX, int centerY,
                               int dia, int thickness, QColor color)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus)
    , timer(this)
    , total(countdownTime)
    , remaining(countdownTime)
    , centerX(centerX)
    , centerY(centerY)
    , side(dia)
    , thickness(thickness)
    , color(color)
{
    connect(&timer, &QTimer::timeout, this, &CountdownTimer::updateTimer);
    setFixedSize(dia + 20, dia + 20);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    new OverlayShape(this);
    // By signature: this window needs nothing of the application object but its signals.
    if (QCoreApplication *app = QCoreApplication::instance()) {
        connect(app, SIGNAL(cdtSetAttributes(int, int, int, int, int, QColor)), this,
                SLOT(OnSetAttributes(int, int, int, int, int, QColor)));
        connect(app, SIGNAL(cdtStartTimer()), this, SLOT(OnStartTimer()));
        connect(app, SIGNAL(cdtStopTimer()), this, SLOT(OnStopTimer()));
    }
}

void CountdownTimer::OnSetAttributes(int countdownTime, int cx, int cy, int innerDia, int thick,
                                     QColor c)
{
    if (timer.isActive()) {
        timer.stop();
        remaining = 0;
        repaint();
        hide();
    }
    total = countdownTime;
    remaining = countdownTime;
    centerX = cx;
    centerY = cy;
    thickness = thick;
    side = innerDia + 2 * thick;
    color = c;
    setFixedSize(side, side);
    move(centerX - side / 2, centerY - side / 2);
    repaint();
}

void CountdownTimer::OnStartTimer()
{
    if (!timer.isActive())
        timer.start(TickMs);
    repaint();
    show();
}

void CountdownTimer::OnStopTimer()
{
    timer.stop();
    remaining = 0;
    repaint();
    hide();
}

void CountdownTimer::updateTimer()
{
    remaining -= TickMs;
    if (remaining <= 0) {
        remaining = 0;
        timer.stop();
        hide();
    }
    repaint();
}

int CountdownTimer::spanAngle() const
{
    // A countdown of no time at all has run out: the ring is full.
    const double done = total > 0 ? 1.0 - double(remaining) / total : 1.0;
    return int(done * 360 * -16);
}

QRect CountdownTimer::arcRect() const
{
    return QRect(thickness, thickness, side - 2 * thickness, side - 2 * thickness);
}

void CountdownTimer::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QBrush(color), thickness, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin));
    // 12 o'clock is 90 degrees in Qt's counter-clockwise sixteenths.
    painter.drawArc(arcRect(), 90 * 16, spanAngle());
}

// The ring lets every mouse event through to the window below.
void CountdownTimer::mousePressEvent(QMouseEvent *event)
{
    event->ignore();
    QWidget::mousePressEvent(event);
}

void CountdownTimer::mouseReleaseEvent(QMouseEvent *event)
{
    event->ignore();
    QWidget::mouseReleaseEvent(event);
}

void CountdownTimer::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->ignore();
    QWidget::mouseDoubleClickEvent(event);
}

void CountdownTimer::mouseMoveEvent(QMouseEvent *event)
{
    event->ignore();
    QWidget::mouseMoveEvent(event);
}

void CountdownTimer::wheelEvent(QWheelEvent *event)
{
    event->ignore();
    QWidget::wheelEvent(event);
}
