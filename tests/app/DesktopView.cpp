#include "tests/app/DesktopView.h"

#include "tests/support/Patience.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Windows come and go while the test looks at them: an X error about one that has gone is no
// fault of the test's, and Xlib's default handler would end the whole test program.
int ignoreXErrors(Display *, XErrorEvent *)
{
    return 0;
}

// The first value of a window's 32-bit property, when it has one.
bool firstValue(Display *dpy, Window window, const char *property, long &value)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    const bool read =
        XGetWindowProperty(dpy, window, XInternAtom(dpy, property, False), 0, 1, False,
                           AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
        data && format == 32 && count >= 1;
    if (read)
        value = reinterpret_cast<long *>(data)[0];
    if (data)
        XFree(data);
    return read;
}

} // namespace

DesktopView::DesktopView()
    : dpy(XOpenDisplay(nullptr))
{
    XSetErrorHandler(ignoreXErrors);
}

DesktopView::~DesktopView()
{
    if (dpy)
        XCloseDisplay(dpy);
}

QList<QRect> DesktopView::windows(const QString &title)
{
    QList<QRect> found;
    for (const Seen &w : titled())
        if (w.title == title)
            found << w.area;
    return found;
}

QList<unsigned long> DesktopView::windowIds(const QString &title)
{
    QList<unsigned long> found;
    for (const Seen &w : titled())
        if (w.title == title)
            found << w.id;
    return found;
}

QRect DesktopView::waitForWindow(const QString &title, int count)
{
    QRect found;
    const bool came = QTest::qWaitFor(
        [&] {
            const QList<QRect> all = windows(title);
            if (all.size() < count)
                return false;
            found = all.last();
            return true;
        },
        patientMs(60000));
    if (!came)
        ADD_FAILURE() << count << " window(s) \"" << title.toStdString() << "\" did not come; "
                      << describe().toStdString();
    return found;
}

bool DesktopView::waitUntilGone(const QString &title, int remaining)
{
    const bool gone =
        QTest::qWaitFor([&] { return windows(title).size() <= remaining; }, patientMs(60000));
    if (!gone)
        ADD_FAILURE() << "more than " << remaining << " window(s) \"" << title.toStdString()
                      << "\" stayed; " << describe().toStdString();
    return gone;
}

bool DesktopView::activate(unsigned long window)
{
    const QString id = QString::number(window);
    for (int attempt = 0; attempt < 6; ++attempt) {
        xdotool({"windowactivate", id});
        if (QTest::qWaitFor([&] { return hasFocus(window); }, patientMs(5000)))
            return true;
    }
    ADD_FAILURE() << "window " << window << " did not get the focus; " << describe().toStdString();
    return false;
}

bool DesktopView::activate(const QString &title, int count)
{
    if (waitForWindow(title, count).isNull())
        return false;
    const QList<unsigned long> ids = windowIds(title);
    if (ids.isEmpty()) {
        ADD_FAILURE() << "window \"" << title.toStdString() << "\" went before it got the focus; "
                      << describe().toStdString();
        return false;
    }
    return activate(ids.last());
}

unsigned long DesktopView::focusWindow()
{
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(dpy, &focus, &revert);
    return focus;
}

bool DesktopView::hasFocus(unsigned long window)
{
    // The focus may sit on a window inside the one asked about.
    Window w = focusWindow();
    while (w != 0 && w != PointerRoot && w != DefaultRootWindow(dpy)) {
        if (w == window)
            return true;
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(dpy, w, &root, &parent, &children, &count))
            return false;
        if (children)
            XFree(children);
        w = parent;
    }
    return false;
}

void DesktopView::parkPointer()
{
    // The top-level windows the window manager looks after (frames included); the program's
    // overlays follow the pointer and take no clicks.
    QList<QRect> covered;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes a;
            if (XGetWindowAttributes(dpy, children[i], &a) && a.map_state == IsViewable &&
                !a.override_redirect)
                covered << QRect(a.x, a.y, a.width + 2 * a.border_width,
                                 a.height + 2 * a.border_width);
        }
        if (children)
            XFree(children);
    }
    // From the bottom right corner up and leftwards, well inside the screen; where windows fill
    // the screen (a scaled screen), any uncovered pixel, edges included.
    const QSize screen = screenSize();
    for (const int margin : {30, 0}) {
        const int step = margin ? 40 : 5;
        for (int x = screen.width() - (margin ? 40 : 1); x >= 0; x -= step) {
            for (int y = screen.height() - (margin ? 40 : 1); y >= 0; y -= step) {
                const QPoint at(x, y);
                if (std::none_of(covered.begin(), covered.end(), [&](const QRect &r) {
                        return r.adjusted(-margin, -margin, margin, margin).contains(at);
                    })) {
                    xdotool({"mousemove", QString::number(x), QString::number(y)});
                    return;
                }
            }
        }
    }
    ADD_FAILURE() << "no bare desktop to put the pointer on; " << describe().toStdString();
}

QString DesktopView::describe()
{
    QStringList shown;
    const unsigned long focus = focusWindow();
    QString focused = QStringLiteral("none");
    for (const Seen &w : titled()) {
        shown << QStringLiteral("\"%1\" %2 at %3,%4 %5x%6")
                     .arg(w.title)
                     .arg(w.id)
                     .arg(w.area.x())
                     .arg(w.area.y())
                     .arg(w.area.width())
                     .arg(w.area.height());
        if (hasFocus(w.id))
            focused = QStringLiteral("\"%1\" %2").arg(w.title).arg(w.id);
    }
    if (focused == QLatin1String("none") && focus != 0)
        focused = QStringLiteral("untitled window %1").arg(focus);
    const QPoint at = pointer();
    // Windows left on another virtual desktop are not shown: which one is shown tells.
    long current = 0;
    const QString desktop = firstValue(dpy, DefaultRootWindow(dpy), "_NET_CURRENT_DESKTOP", current)
                                ? QString::number(current + 1)
                                : QStringLiteral("unknown");
    return QStringLiteral(
               "windows shown (bottom to top): %1; focus: %2; pointer at %3,%4; virtual desktop %5")
        .arg(shown.isEmpty() ? QStringLiteral("none") : shown.join(QStringLiteral(", ")))
        .arg(focused)
        .arg(at.x())
        .arg(at.y())
        .arg(desktop);
}

QPoint DesktopView::pointer()
{
    Window root, child;
    int rootX = 0, rootY = 0, x, y;
    unsigned mask;
    XQueryPointer(dpy, DefaultRootWindow(dpy), &root, &child, &rootX, &rootY, &x, &y, &mask);
    return QPoint(rootX, rootY);
}

QList<int> DesktopView::keysDown()
{
    char keys[32] = {};
    XQueryKeymap(dpy, keys);
    QList<int> down;
    for (int code = 0; code < 256; ++code) {
        if (keys[code / 8] & (1 << (code % 8)))
            down << code;
    }
    return down;
}

void DesktopView::stopAutoRepeat()
{
    // All keys: the program may bind the key it sends to a spare keycode only when it sends it.
    XAutoRepeatOff(dpy);
    XSync(dpy, False);
}

QSize DesktopView::screenSize()
{
    return QSize(DisplayWidth(dpy, DefaultScreen(dpy)), DisplayHeight(dpy, DefaultScreen(dpy)));
}

unsigned long DesktopView::topLevelOf(unsigned long window)
{
    Window w = window;
    for (;;) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(dpy, w, &root, &parent, &children, &count))
            return 0;
        if (children)
            XFree(children);
        if (parent == root || parent == 0)
            return w;
        w = parent;
    }
}

QRect DesktopView::frameOf(unsigned long window)
{
    XWindowAttributes a;
    const unsigned long top = topLevelOf(window);
    if (!top || !XGetWindowAttributes(dpy, top, &a))
        return QRect();
    return QRect(a.x, a.y, a.width + 2 * a.border_width, a.height + 2 * a.border_width);
}

QStringList DesktopView::coveredBy(unsigned long window)
{
    const unsigned long top = topLevelOf(window);
    XWindowAttributes a;
    if (!top || !XGetWindowAttributes(dpy, top, &a))
        return {QStringLiteral("gone")};
    if (a.map_state != IsViewable)
        return {QStringLiteral("not shown")};
    const QRect frame = frameOf(window);
    QStringList over;
    if (!QRect(QPoint(), screenSize()).contains(frame))
        over << QStringLiteral("off the screen");
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count))
        return {QStringLiteral("no window tree")};
    bool above = false; // the root's children come bottom to top
    for (unsigned i = 0; i < count; ++i) {
        if (children[i] == top) {
            above = true;
            continue;
        }
        if (!above || !XGetWindowAttributes(dpy, children[i], &a) ||
            a.map_state != IsViewable || a.override_redirect)
            continue;
        const QRect other(a.x, a.y, a.width + 2 * a.border_width, a.height + 2 * a.border_width);
        if (!other.intersects(frame))
            continue;
        QList<Seen> inside;
        collect(children[i], inside);
        over << (inside.isEmpty() ? QStringLiteral("untitled window %1").arg(children[i])
                                  : inside.first().title);
    }
    if (children)
        XFree(children);
    return over;
}

QImage DesktopView::grab(const QRect &area)
{
    XImage *pixels = XGetImage(dpy, DefaultRootWindow(dpy), area.x(), area.y(),
                               unsigned(area.width()), unsigned(area.height()), AllPlanes, ZPixmap);
    if (!pixels)
        return QImage();
    QImage image(area.size(), QImage::Format_RGB32);
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x)
            image.setPixel(x, y, QRgb(XGetPixel(pixels, x, y) | 0xff000000u));
    XDestroyImage(pixels);
    return image;
}

QString DesktopView::describeWindow(unsigned long window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(dpy, window, &attributes))
        return QStringLiteral("window %1 is gone").arg(window);
    QString title = QStringLiteral("untitled");
    char *name = nullptr;
    if (XFetchName(dpy, window, &name) && name) {
        title = QStringLiteral("\"%1\"").arg(QString::fromUtf8(name));
        XFree(name);
    }
    const char *const mapStates[] = {"unmapped", "unviewable", "viewable"};
    QString wmState = QStringLiteral("none");
    long state = 0;
    if (firstValue(dpy, window, "WM_STATE", state))
        wmState = state == IconicState   ? QStringLiteral("iconic")
                  : state == NormalState ? QStringLiteral("normal")
                                         : QStringLiteral("withdrawn");
    return QStringLiteral("window %1 %2 is %3, WM_STATE %4")
        .arg(window)
        .arg(title)
        .arg(QString::fromLatin1(mapStates[qBound(0, attributes.map_state, 2)]))
        .arg(wmState);
}

QList<DesktopView::Seen> DesktopView::titled()
{
    QList<Seen> found;
    collect(DefaultRootWindow(dpy), found);
    return found;
}

void DesktopView::collect(unsigned long window, QList<Seen> &found)
{
    XWindowAttributes attributes;
    if (XGetWindowAttributes(dpy, window, &attributes) && attributes.map_state == IsViewable) {
        char *name = nullptr;
        if (XFetchName(dpy, window, &name) && name) {
            int x = 0, y = 0;
            Window child;
            XTranslateCoordinates(dpy, window, DefaultRootWindow(dpy), 0, 0, &x, &y, &child);
            found << Seen{window, QString::fromUtf8(name),
                          QRect(x, y, attributes.width, attributes.height)};
            XFree(name);
        }
    }
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(dpy, window, &root, &parent, &children, &count))
        return;
    for (unsigned i = 0; i < count; ++i)
        collect(children[i], found);
    if (children)
        XFree(children);
}

bool xdotool(const QStringList &args)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral("xdotool"), args);
    const bool done = tool.waitForFinished(patientMs(30000));
    if (done && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0)
        return true;
    std::fprintf(stderr, "xdotool %s: %s %s\n", qPrintable(args.join(' ')),
                 done ? "failed" : "did not finish", tool.readAll().constData());
    if (!done)
        tool.kill();
    return false;
}

void clickAt(const QPoint &at)
{
    xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"});
}

bool clickWhileTheHeadMoves(const QPoint &at, const std::function<bool()> &clicked)
{
    const QString x = QString::number(at.x()), y = QString::number(at.y());
    for (int attempt = 0; attempt < 10; ++attempt) {
        xdotool({"mousemove", x, y, "mousedown", "1", "mousemove", x, y, "mouseup", "1"});
        if (QTest::qWaitFor(clicked, patientMs(3000)))
            return true;
        const QPoint now = DesktopView().pointer();
        std::fprintf(stderr, "the click at %d,%d did nothing (pointer now at %d,%d): again\n",
                     at.x(), at.y(), now.x(), now.y());
    }
    return false;
}

void giveFocus(QWidget *window)
{
    window->show();
    (void)QTest::qWaitForWindowExposed(window, patientMs(30000));
    DesktopView desktop;
    desktop.activate(window->winId());
    (void)QTest::qWaitFor([window] { return window->isActiveWindow(); }, patientMs(10000));
}

QPoint centreOf(QWidget *widget, QWidget *window)
{
    return widget->mapTo(window, widget->rect().center());
}

QRect handleOf(QSlider *slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.singleStep = slider->singleStep();
    option.pageStep = slider->pageStep();
    option.tickPosition = slider->tickPosition();
    option.tickInterval = slider->tickInterval();
    option.upsideDown = slider->invertedAppearance();
    if (slider->orientation() == Qt::Horizontal)
        option.state |= QStyle::State_Horizontal;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle,
                                           slider);
}

bool dwellAt(const QPoint &spot, const std::function<bool()> &begun, int attemptMs, int timeoutMs)
{
    const auto moveTo = [](const QPoint &at) {
        return xdotool({"mousemove", QString::number(at.x()), QString::number(at.y())});
    };
    QElapsedTimer clock;
    clock.start();
    const qint64 limit = patientMs(timeoutMs);
    for (;;) {
        if (!moveTo(spot))
            return false;
        const int left = int(std::max<qint64>(0, limit - clock.elapsed()));
        if (QTest::qWaitFor(begun, std::min(patientMs(attemptMs), left)))
            return true;
        if (clock.elapsed() >= limit)
            return false;
        // Steps of 40 pixels on a circle of 100 around the spot, wider than any dwell zone the
        // tests use, for a while that gives a slow build a few frames.
        const int steps = std::max(16, patientMs(1000) / 50);
        for (int i = 1; i <= steps; ++i) {
            const double angle = i * 0.4;
            moveTo(spot + QPoint(int(100 * std::cos(angle)), int(100 * std::sin(angle))));
            QTest::qWait(50);
        }
    }
}

bool pointerMovesWithin(DesktopView &desktop, int timeoutMs)
{
    const QPoint start = desktop.pointer();
    return QTest::qWaitFor([&] { return (desktop.pointer() - start).manhattanLength() > 4; },
                           patientMs(timeoutMs));
}

void screenshot(const char *name)
{
    const QString folder = qEnvironmentVariable("TOVRA_SCREENSHOTS");
    if (!folder.isEmpty())
        QProcess::execute("import", {"-window", "root", folder + "/" + name + ".png"});
}

void startCompositorIfAsked(QProcess &process)
{
    if (qEnvironmentVariableIntValue("TOVRA_SCREENSHOTS_COMPOSITED"))
        process.start("xcompmgr", QStringList());
}
