#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>

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
    // The same windows' X ids, in the same order.
    QList<unsigned long> windowIds(const QString &title);
    // The last of `count` such windows once there are that many; a null rectangle, and a
    // failure that says what the desktop showed, when they do not come within a minute (more
    // under a sanitizer).
    QRect waitForWindow(const QString &title, int count = 1);
    bool waitUntilGone(const QString &title, int remaining = 0);
    // Gives the window the keyboard focus as the user would (the window manager's activation,
    // as by a click on its frame or Alt+Tab) and waits until keys go to it; asks again while it
    // waits, as the user would click again. A failure that says what it saw when it does not.
    bool activate(unsigned long window);
    // The last of `count` windows with this title, once there are that many.
    bool activate(const QString &title, int count = 1);
    // Whether the keyboard focus is on `window` or within it.
    bool hasFocus(unsigned long window);
    // The pointer put where no window is, on the bare desktop: a dwell click there changes
    // nothing, so a dialog keeps the focus the test gave it.
    void parkPointer();
    // What the desktop shows, for failure messages: each titled window, where it is, which one
    // has the focus, and where the pointer is.
    QString describe();
    // One window that may no longer be shown: its title, whether it is mapped, and the state
    // the window manager gave it (iconic when minimised).
    QString describeWindow(unsigned long window);
    QPoint pointer();
    // The keycodes held down on the server's keyboard.
    QList<int> keysDown();
    // The server stops repeating held keys. A repeat reaches a window as a release and a
    // press with one time stamp, which a busy client can take for a real release and press.
    void stopAutoRepeat();
    // The window with the window manager's decoration around it: its ancestor just below the
    // root (the frame a reparenting window manager puts it in), borders included.
    QRect frameOf(unsigned long window);
    // What keeps part of `window` from being seen: the titles of the window manager's windows
    // stacked above its frame that overlap it, and "off the screen" when its frame does not lie
    // whole on the screen. Windows outside the window manager (the program's overlays, which
    // every click goes through) do not count. Empty when it is seen whole.
    QStringList coveredBy(unsigned long window);
    QSize screenSize();
    // The screen's pixels in `area`, as a window manager without a compositor shows them.
    QImage grab(const QRect &area);

private:
    struct Seen
    {
        unsigned long id;
        QString title;
        QRect area;
    };
    // Every viewable window with a title, bottom to top.
    QList<Seen> titled();
    // The window's ancestor just below the root (0 when it is gone).
    unsigned long topLevelOf(unsigned long window);
    void collect(unsigned long window, QList<Seen> &found);
    unsigned long focusWindow();

    Display *dpy;
};

// The user's keyboard and mouse: xdotool types and clicks through XTEST, as real input would.
// False, with what it said on the test's error output, when it fails.
bool xdotool(const QStringList &args);
void clickAt(const QPoint &at);
// Clicks the button at `at` while the head may move the pointer: the pointer goes back onto the
// button between press and release, so a press or release the head took elsewhere clicks
// nothing, and the click is made again until `clicked` holds. False when it never does.
bool clickWhileTheHeadMoves(const QPoint &at, const std::function<bool()> &clicked);
// Shows `window` and gives it the keyboard focus as the user would: the window they work in.
// The pointer stays where it is: a dwell click on another program's window would be a click
// the test did not ask for.
void giveFocus(QWidget *window);
// The centre of `widget` in the coordinates of its top-level `window`.
QPoint centreOf(QWidget *widget, QWidget *window);
QRect handleOf(QSlider *slider);
// Rests the pointer on `spot` as a user dwelling there would, until `begun` holds (within
// `timeoutMs`, stretched under a sanitizer). The program dwells nowhere near the place it first
// saw the pointer after its calibration until the pointer has left it, and a test that moves
// the pointer just as the calibration ends may get there before the program's first look: when
// nothing has begun after `attemptMs`, the pointer circles near the spot for a moment (never
// resting long enough to dwell) and comes back.
bool dwellAt(const QPoint &spot, const std::function<bool()> &begun, int attemptMs, int timeoutMs);
// Whether the pointer moves more than a few pixels within the time (stretched under a sanitizer).
bool pointerMovesWithin(DesktopView &desktop, int timeoutMs);
// With TOVRA_SCREENSHOTS naming a folder, the screen at each step lands there to look at.
void screenshot(const char *name);
// With TOVRA_SCREENSHOTS_COMPOSITED=1, a compositing manager on the desktop while `process`
// lives.
void startCompositorIfAsked(QProcess &process);
