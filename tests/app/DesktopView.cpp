#include "tests/app/DesktopView.h"

#include <QProcess>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QWidget>
#include <QtTest/QTest>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

DesktopView::DesktopView()
    : dpy(XOpenDisplay(nullptr))
{}

DesktopView::~DesktopView()
{
    if (dpy)
        XCloseDisplay(dpy);
}

QList<QRect> DesktopView::windows(const QString &title)
{
    QList<QRect> found;
    collect(DefaultRootWindow(dpy), title, found);
    return found;
}

QRect DesktopView::waitForWindow(const QString &title, int count)
{
    QRect found;
    (void)QTest::qWaitFor(
        [&] {
            const QList<QRect> all = windows(title);
            if (all.size() < count)
                return false;
            found = all.last();
            return true;
        },
        30000);
    return found;
}

bool DesktopView::waitUntilGone(const QString &title, int remaining)
{
    return QTest::qWaitFor([&] { return windows(title).size() <= remaining; }, 30000);
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

void DesktopView::collect(unsigned long window, const QString &title, QList<QRect> &found)
{
    XWindowAttributes attributes;
    if (XGetWindowAttributes(dpy, window, &attributes) && attributes.map_state == IsViewable) {
        char *name = nullptr;
        if (XFetchName(dpy, window, &name) && name) {
            if (QString::fromUtf8(name) == title) {
                int x = 0, y = 0;
                Window child;
                XTranslateCoordinates(dpy, window, DefaultRootWindow(dpy), 0, 0, &x, &y, &child);
                found << QRect(x, y, attributes.width, attributes.height);
            }
            XFree(name);
        }
    }
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(dpy, window, &root, &parent, &children, &count))
        return;
    for (unsigned i = 0; i < count; ++i)
        collect(children[i], title, found);
    if (children)
        XFree(children);
}

void xdotool(const QStringList &args)
{
    QProcess::execute(QStringLiteral("xdotool"), args);
}

void clickAt(const QPoint &at)
{
    xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"});
}

void giveFocus(QWidget *window)
{
    window->show();
    (void)QTest::qWaitForWindowExposed(window);
    xdotool({"windowactivate", "--sync", QString::number(window->winId())});
    (void)QTest::qWaitFor([window] { return window->isActiveWindow(); }, 10000);
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

bool pointerMovesWithin(DesktopView &desktop, int timeoutMs)
{
    const QPoint start = desktop.pointer();
    return QTest::qWaitFor([&] { return (desktop.pointer() - start).manhattanLength() > 4; },
                           timeoutMs);
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
