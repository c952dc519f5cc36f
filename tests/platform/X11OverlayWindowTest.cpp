// Overlay windows on the test run's X server: never managed, never focused, click-through,
// translucent with a compositing manager and cut to their pixels without one.

#include "platform/x11/X11OverlayWindow.h"
#include "tests/platform/XTestClient.h"

#include <memory>
#include <thread>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>
#undef None
#undef Bool
#include <gtest/gtest.h>

using platform::OverlayWindow;
using platform::X11OverlayWindow;

namespace {

QVector<QRect> shapeRects(Display *display, Window window, int kind)
{
    int count = 0, ordering = 0;
    XRectangle *rects = XShapeGetRectangles(display, window, kind, &count, &ordering);
    QVector<QRect> result;
    for (int i = 0; i < count; ++i)
        result.append(QRect(rects[i].x, rects[i].y, rects[i].width, rects[i].height));
    if (rects)
        XFree(rects);
    return result;
}

bool covers(const QVector<QRect> &rects, QPoint p)
{
    return std::any_of(rects.begin(), rects.end(), [p](const QRect &r) { return r.contains(p); });
}

// A ring of the progress meter's default size at (200, 200), filled all round.
void showRing(X11OverlayWindow &window)
{
    window.setGeometry(QRect(200, 200, 160, 160));
    window.setBackground(Qt::transparent);
    window.setRingShape(60);
    window.setArc({QRect(29, 29, 100, 100), 30, Qt::blue, -90, 360});
    window.show();
}

// The test connection plays a compositing manager while it lives.
struct CompositorStandIn
{
    explicit CompositorStandIn(Display *display)
        : display(display)
        , owner(XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0))
        , selection(XInternAtom(display, "_NET_WM_CM_S0", False))
    {
        XSetSelectionOwner(display, selection, owner, CurrentTime);
        XSync(display, False);
    }
    ~CompositorStandIn()
    {
        XDestroyWindow(display, owner); // gives up the selection
        XSync(display, False);
    }
    Display *display;
    Window owner;
    Atom selection;
};

} // namespace

TEST(X11OverlayWindow, IsAHiddenUnmanagedUnfocusableWindowThatTakesNoInput)
{
    XTestClient x;
    X11OverlayWindow window;
    ASSERT_TRUE(window.open(0.8));
    EXPECT_FALSE(window.isComposited());
    const Window id = window.windowId();

    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(x.display, id, &attributes));
    EXPECT_TRUE(attributes.override_redirect);
    EXPECT_EQ(attributes.map_state, IsUnmapped);
    EXPECT_TRUE(shapeRects(x.display, id, ShapeInput).isEmpty());
    XWMHints *hints = XGetWMHints(x.display, id);
    ASSERT_TRUE(hints);
    EXPECT_TRUE(hints->flags & InputHint);
    EXPECT_FALSE(hints->input);
    XFree(hints);
}

TEST(X11OverlayWindow, WithoutACompositorItIsCutToThePixelsItDraws)
{
    XTestClient x;
    X11OverlayWindow window;
    ASSERT_TRUE(window.open(200 / 255.0));
    showRing(window);
    ASSERT_TRUE(waitUntil([&] { return !x.overlayWindows().isEmpty(); }));
    XWindowAttributes attributes;
    XGetWindowAttributes(x.display, window.windowId(), &attributes);
    EXPECT_EQ(attributes.depth, DefaultDepth(x.display, 0));

    const QVector<QRect> bounding = shapeRects(x.display, window.windowId(), ShapeBounding);
    EXPECT_TRUE(covers(bounding, QPoint(80, 30)));  // on the arc at 12 o'clock
    EXPECT_TRUE(covers(bounding, QPoint(130, 80))); // at 3 o'clock
    EXPECT_FALSE(covers(bounding, QPoint(80, 80))); // the hole
    EXPECT_FALSE(covers(bounding, QPoint(2, 2)));   // outside the ring
    EXPECT_TRUE(shapeRects(x.display, window.windowId(), ShapeInput).isEmpty());

    // Half a turn: the left half of the ring is gone.
    window.setArc({QRect(29, 29, 100, 100), 30, Qt::blue, -90, 180});
    window.update();
    const QVector<QRect> half = shapeRects(x.display, window.windowId(), ShapeBounding);
    EXPECT_TRUE(covers(half, QPoint(130, 80)));
    EXPECT_FALSE(covers(half, QPoint(30, 80)));
}

TEST(X11OverlayWindow, WithACompositorItIsTranslucent)
{
    XTestClient x;
    CompositorStandIn compositor(x.display);
    X11OverlayWindow window;
    ASSERT_TRUE(window.open(0.5));
    EXPECT_TRUE(window.isComposited());
    showRing(window);
    XWindowAttributes attributes;
    XGetWindowAttributes(x.display, window.windowId(), &attributes);
    EXPECT_EQ(attributes.depth, 32);
    EXPECT_TRUE(shapeRects(x.display, window.windowId(), ShapeInput).isEmpty());
}

TEST(X11OverlayWindow, FollowsACompositorEndingAndStartingAgainWhileShown)
{
    XTestClient x;
    auto compositor = std::make_unique<CompositorStandIn>(x.display);
    X11OverlayWindow window;
    ASSERT_TRUE(window.open(0.5));
    showRing(window);
    // The window's own thread reads its events.
    const auto waitForComposited = [&](bool composited) {
        for (int i = 0; i < 250 && window.isComposited() != composited; ++i)
            window.waitForEvents(20);
        return window.isComposited() == composited;
    };

    compositor.reset();
    ASSERT_TRUE(waitForComposited(false));
    const QVector<QRect> cut = shapeRects(x.display, window.windowId(), ShapeBounding);
    EXPECT_TRUE(covers(cut, QPoint(130, 80)));
    EXPECT_FALSE(covers(cut, QPoint(80, 80)));

    compositor = std::make_unique<CompositorStandIn>(x.display);
    ASSERT_TRUE(waitForComposited(true));
    EXPECT_TRUE(covers(shapeRects(x.display, window.windowId(), ShapeBounding), QPoint(80, 80)));
    EXPECT_TRUE(shapeRects(x.display, window.windowId(), ShapeInput).isEmpty());
}

TEST(X11OverlayWindow, ClicksGoToTheWindowBelow)
{
    XTestClient x;
    const Window below = x.createWindow(QRect(150, 150, 300, 300));
    X11OverlayWindow window;
    ASSERT_TRUE(window.open(1.0));
    window.setGeometry(QRect(200, 200, 160, 60));
    window.setBackground(Qt::gray);
    window.setRoundedShape(10);
    window.show();
    ASSERT_TRUE(waitUntil([&] { return x.overlayWindows().size() == 1; }));

    x.click(QPoint(280, 230));
    EXPECT_TRUE(x.waitFor([&] { return x.count(ButtonPress, 1) == 1; }));
    EXPECT_EQ(x.events.value(0).window, below);
    EXPECT_EQ(x.events.value(0).at, QPoint(280, 230));
    x.destroyWindow(below);
}

TEST(X11OverlayWindow, TextIsMeasuredInTheGivenFont)
{
    X11OverlayWindow window;
    ASSERT_TRUE(window.open(1.0));
    const OverlayWindow::Font font{"Tahoma", 16, 600};
    const QSize one = window.textExtent("W", font);
    const QSize four = window.textExtent("WWWW", font);
    ASSERT_TRUE(one.isValid());
    EXPECT_GT(one.height(), 10);
    EXPECT_NEAR(four.width(), 4 * one.width(), 4);
    EXPECT_EQ(four.height(), one.height());
    EXPECT_GT(window.textExtent("W", {"Tahoma", 32, 600}).height(), one.height());
}

TEST(X11OverlayWindow, WaitingEndsOnWakeFromAnotherThreadOrOnTime)
{
    X11OverlayWindow window;
    ASSERT_TRUE(window.open(1.0));
    EXPECT_EQ(window.waitForEvents(10), OverlayWindow::Wake::Timeout);
    std::thread waker([&] { window.wake(); });
    EXPECT_EQ(window.waitForEvents(-1), OverlayWindow::Wake::Woken);
    waker.join();
    window.wake(); // a wake before the wait is not lost
    EXPECT_EQ(window.waitForEvents(-1), OverlayWindow::Wake::Woken);
}

// The label and the ring each show a window from a thread of their own, one thread per
// showing; nothing else in this process talks to X. Closing a window must not free what
// libXext shares between connections while the other thread uses it (AddressSanitizer and
// glibc's heap checks see it when it does).
TEST(X11OverlayWindow, WindowsShownAndClosedQuicklyOnTwoThreadsAtOnceLeaveTheHeapWhole)
{
    const auto showings = [](const QRect &geometry, bool ring) {
        for (int i = 0; i < 150; ++i) {
            std::thread showing([&] {
                X11OverlayWindow window;
                if (!window.open(0.8))
                    return;
                window.setGeometry(geometry);
                if (ring)
                    window.setRingShape(20);
                else
                    window.setRoundedShape(12);
                window.setArc(
                    {QRect(0, 0, geometry.width(), geometry.height()), 8, Qt::blue, -90, 3.6 * i});
                window.show();
                window.update();
                window.waitForEvents(0);
            });
            showing.join();
        }
    };
    std::thread label(showings, QRect(100, 100, 200, 40), false);
    std::thread ring(showings, QRect(300, 300, 80, 80), true);
    label.join();
    ring.join();
    X11OverlayWindow after; // the display is still usable afterwards
    EXPECT_TRUE(after.open(1.0));
}
