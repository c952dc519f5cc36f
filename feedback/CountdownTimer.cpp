#include "feedback/CountdownTimer.h"

#include <QCoreApplication>
#include <QPainter>

namespace {
constexpr int kTickMs = 25;
}

CountdownTimer::CountdownTimer(QWidget *parent, int countdownTime, int centerX, int centerY,
                               int dia, int thickness, QColor color)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus)
    , total(countdownTime)
    , remaining(countdownTime)
    , centerX(centerX)
    , centerY(centerY)
    , size(dia)
    , thickness(thickness)
    , color(color)
{
    connect(&timer, &QTimer::timeout, this, &CountdownTimer::updateTimer);
    setFixedSize(dia + 20, dia + 20);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    // By signature, so this window needs nothing of the application object but its signals.
    if (QCoreApplication *app = QCoreApplication::instance()) {
        connect(app, SIGNAL(cdtSetAttributes(int, int, int, int, int, QColor)), this,
                SLOT(setAttributes(int, int, int, int, int, QColor)));
        connect(app, SIGNAL(cdtStartTimer()), this, SLOT(startTimer()));
        connect(app, SIGNAL(cdtStopTimer()), this, SLOT(stopTimer()));
    }
}

void CountdownTimer::setAttributes(int countdownTime, int cx, int cy, int dia, int thick, QColor c)
{
    total = countdownTime;
    remaining = countdownTime;
    centerX = cx;
    centerY = cy;
    size = dia;
    thickness = thick;
    color = c;
    setFixedSize(dia + 20, dia + 20);
}

void CountdownTimer::startTimer()
{
    remaining = total;
    move(centerX - width() / 2, centerY - height() / 2);
    show();
    timer.start(kTickMs);
}

void CountdownTimer::stopTimer()
{
    timer.stop();
    hide();
}

void CountdownTimer::updateTimer()
{
    remaining -= kTickMs;
    if (remaining <= 0) {
        stopTimer();
        return;
    }
    update();
}

void CountdownTimer::paintEvent(QPaintEvent *)
{
    if (total <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, thickness, Qt::SolidLine, Qt::FlatCap));
    const QRectF ring(10, 10, size, size);
    const double done = double(total - remaining) / total;
    // Qt angles are counter-clockwise in 1/16 degree; start at 12 o'clock, fill clockwise.
    painter.drawArc(ring, 90 * 16, -int(done * 360 * 16));
}
