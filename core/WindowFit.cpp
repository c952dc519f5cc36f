#include "core/WindowFit.h"

#include "platform/Platform.h"
#include "platform/PointerScreens.h"
#include "platform/Process.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cmath>

namespace {
constexpr int FrameWaitMs = 1000;
constexpr int FrameCheckMs = 20;
constexpr int ResizeSettledMs = 250;

// Each wait for a frame carries the window's count at its start; a placement made since then
// raises the count and ends the wait.
const char *const FitWaitProperty = "tovraFitWait";

bool framed(const QWidget *window)
{
    return window->frameGeometry() != window->geometry();
}

int fitWait(const QWidget *window)
{
    return window->property(FitWaitProperty).toInt();
}

void fitWhenFramed(QPointer<QWidget> window, QElapsedTimer waited, int wait)
{
    if (!window || !window->isVisible() || fitWait(window) != wait)
        return;
    if (framed(window) || waited.elapsed() >= FrameWaitMs) {
        fitToWorkArea(window);
        return;
    }
    QTimer::singleShot(FrameCheckMs, window,
                       [window, waited, wait] { fitWhenFramed(window, waited, wait); });
}
} // namespace

QRect logicalWorkArea()
{
    const QRect physical = platform::process().workArea();
    const double ratio = platform::pointerScreens().devicePixelRatio();
    if (!physical.isEmpty() && ratio > 0) {
        const int left = int(std::ceil(physical.x() / ratio));
        const int top = int(std::ceil(physical.y() / ratio));
        const int right = int(std::floor((physical.x() + physical.width()) / ratio));
        const int bottom = int(std::floor((physical.y() + physical.height()) / ratio));
        if (right > left && bottom > top)
            return QRect(left, top, right - left, bottom - top);
    }
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QRect fitFrameInto(const QRect &frame, const QRect &area)
{
    if (area.isEmpty())
        return frame;
    const int w = qMin(frame.width(), area.width());
    const int h = qMin(frame.height(), area.height());
    const int x = qBound(area.left(), frame.x(), area.left() + area.width() - w);
    const int y = qBound(area.top(), frame.y(), area.top() + area.height() - h);
    return {x, y, w, h};
}

void fitToWorkArea(QWidget *window)
{
    if (!window || !window->isWindow())
        return;
    const QRect area = logicalWorkArea();
    if (area.isEmpty())
        return;
    const QRect frame = window->frameGeometry();
    const QSize decoration = frame.size() - window->geometry().size();
    // A minimum larger than the work area would keep the window past its edges, maximised too.
    const QSize room = area.size() - decoration;
    if (!room.isEmpty() &&
        (window->minimumWidth() > room.width() || window->minimumHeight() > room.height()))
        window->setMinimumSize(window->minimumSize().boundedTo(room));
    if (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const QRect fitted = fitFrameInto(frame, area);
    if (fitted == frame)
        return;
    const QSize client = fitted.size() - decoration;
    if (client != window->size())
        window->resize(client);
    // A window's position is its frame's.
    window->move(fitted.topLeft());
}

bool onPrimaryScreen(const QWidget *window)
{
    QRect primary = platform::pointerScreens().logicalPrimaryScreen();
    if (primary.isEmpty()) {
        const QScreen *screen = QGuiApplication::primaryScreen();
        primary = screen ? screen->geometry() : QRect();
    }
    return window && primary.contains(window->frameGeometry().center());
}

void fitToWorkAreaOnceFramed(QWidget *window)
{
    if (!window)
        return;
    QElapsedTimer waited;
    waited.start();
    const int wait = fitWait(window) + 1;
    window->setProperty(FitWaitProperty, wait);
    fitWhenFramed(window, waited, wait);
}

void placedOnPurpose(QWidget *window)
{
    if (window)
        window->setProperty(FitWaitProperty, fitWait(window) + 1);
}

namespace {

// Restarts its timer on every resize of the window it watches, and fits the window once the
// resizes have settled.
class ResizeWatch : public QObject
{
public:
    explicit ResizeWatch(QWidget *window)
        : QObject(window)
        , window(window)
    {
        settled.setSingleShot(true);
        settled.setInterval(ResizeSettledMs);
        connect(&settled, &QTimer::timeout, this, [this] {
            const Qt::WindowStates whole =
                Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
            if (this->window->isVisible() && !(this->window->windowState() & whole) &&
                onPrimaryScreen(this->window))
                fitToWorkArea(this->window);
        });
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window && event->type() == QEvent::Resize && window->isVisible())
            settled.start();
        return false;
    }

private:
    QWidget *window;
    QTimer settled;
};

} // namespace

void keepInWorkAreaWhenResized(QWidget *window)
{
    if (window && window->isWindow())
        new ResizeWatch(window);
}
