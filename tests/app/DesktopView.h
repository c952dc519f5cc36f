#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

class QProcess;
class QSlider;
class QWidget;

typedef struct _XDisplay Display;

// The desktop as another client sees it: the program's windows by title, the pointer, and
// what is on the screen.
class DesktopView
{
public:
    DesktopView();
    ~DesktopView();
    DesktopView(const DesktopView &) = delete;
    DesktopView &operator=(const DesktopView &) = delete;

    bool isOpen() const { return dpy != nullptr; }

    // The client area of each viewable window with this title.
    QList<QRect> windows(const QString &title);
    // The last of `count` such windows once there are that many; a null rectangle after 30 s.
    QRect waitForWindow(const QString &title, int count = 1);
    bool waitUntilGone(const QString &title, int remaining = 0);
    QPoint pointer();
    // The keycodes held down on the server's keyboard.
    QList<int> keysDown();
    // The server stops repeating held keys. A repeat reaches a window as a release and a
    // press with one time stamp, which a busy client can take for a real release and press.
    void stopAutoRepeat();
    QSize screenSize();
    // The screen's pixels in `area`, as a window manager without a compositor shows them.
    QImage grab(const QRect &area);

private:
    void collect(unsigned long window, const QString &title, QList<QRect> &found);

    Display *dpy;
};

// The user's keyboard and mouse: xdotool types and clicks through XTEST, as real input would.
void xdotool(const QStringList &args);
void clickAt(const QPoint &at);
// Shows `window` and gives it the keyboard focus as the user would: the window they work in.
void giveFocus(QWidget *window);
// The centre of `widget` in the coordinates of its top-level `window`.
QPoint centreOf(QWidget *widget, QWidget *window);
QRect handleOf(QSlider *slider);
// Whether the pointer moves more than a few pixels within the time.
bool pointerMovesWithin(DesktopView &desktop, int timeoutMs);
// With TOVRA_SCREENSHOTS naming a folder, the screen at each step lands there to look at.
void screenshot(const char *name);
// With TOVRA_SCREENSHOTS_COMPOSITED=1, a compositing manager on the desktop while `process`
// lives.
void startCompositorIfAsked(QProcess &process);
