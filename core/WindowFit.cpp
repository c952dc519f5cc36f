#include "core/WindowFit.h"

#include "platform/Platform.h"
#include "platform/PointerScreens.h"
#include "platform/Process.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace {
constexpr int FrameWaitMs = 1000;
constexpr int FrameCheckMs = 20;

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
    const QRect area = platform::pointerScreens().toLogical(platform::process().workArea());
    if (!area.isEmpty())
        return area;
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
    // The frame's side and bottom borders may stand past the edges, as those of a window the
    // window manager pushes to an edge: the title bar and the client area stay inside.
    const int border = decoration.width() / 2;
    const QRect fitted = fitFrameInto(frame, area.adjusted(-border, 0, border, border));
    if (fitted == frame)
        return;
    const QSize client = fitted.size() - decoration;
    if (client != window->size())
        window->resize(client);
    // A window's position is its frame's.
    window->move(fitted.topLeft());
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
