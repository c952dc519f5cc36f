#include "platform/x11/X11OverlayWindow.h"

#include "platform/OverlayShapes.h"
#include "platform/x11/OverlayConnections.h"

#include <QImage>
#include <QtGlobal>
#include <QtMath>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/shape.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

namespace platform {

const char *const X11OverlayWindow::WindowClass = "TovraMouseOverlay";

struct X11OverlayWindow::Native
{
    Display *display = nullptr;
    Window window = 0;
    Visual *visual = nullptr;
    Colormap colormap = 0; // ours to free when not 0
    bool composited = false;
    unsigned long compositorSelection = 0; // _NET_WM_CM_S<screen>
    int fixesEvents = 0;
    bool mapped = false;
    int wakeFd = -1;
    double dpi = 96.0;
    cairo_surface_t *surface = nullptr; // the window, for cairo
    QSize surfaceSize;
};

namespace {

void setSource(cairo_t *cr, const QColor &c)
{
    cairo_set_source_rgba(cr, c.redF(), c.greenF(), c.blueF(), c.alphaF());
}

void ellipse(cairo_t *cr, double x, double y, double w, double h)
{
    if (w <= 0 || h <= 0)
        return;
    cairo_save(cr);
    cairo_translate(cr, x + w / 2, y + h / 2);
    cairo_scale(cr, w / 2, h / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_close_path(cr);
    cairo_restore(cr);
}

void roundedRectangle(cairo_t *cr, double w, double h, double corner)
{
    const double r = qMin(corner / 2, qMin(w, h) / 2);
    if (r <= 0) {
        cairo_rectangle(cr, 0, 0, w, h);
        return;
    }
    cairo_new_sub_path(cr);
    cairo_arc(cr, w - r, r, r, -M_PI / 2, 0);
    cairo_arc(cr, w - r, h - r, r, 0, M_PI / 2);
    cairo_arc(cr, r, h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, r, r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void clipToShape(cairo_t *cr, const OverlayWindow::Scene &scene)
{
    const double w = scene.geometry.width(), h = scene.geometry.height();
    switch (scene.shape) {
    case OverlayWindow::Shape::Rectangle:
        return;
    case OverlayWindow::Shape::RoundedRectangle:
        roundedRectangle(cr, w, h, scene.corner);
        break;
    case OverlayWindow::Shape::Ring:
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        ellipse(cr, 0, 0, w, h);
        ellipse(cr, scene.inset, scene.inset, w - 2.0 * scene.inset, h - 2.0 * scene.inset);
        break;
    }
    cairo_clip(cr);
}

void selectFont(cairo_t *cr, const OverlayWindow::Font &font, double dpi)
{
    cairo_select_font_face(cr, font.family.toUtf8().constData(), CAIRO_FONT_SLANT_NORMAL,
                           font.weight >= 600 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font.pointSize * dpi / 72.0);
}

void drawScene(cairo_t *cr, const OverlayWindow::Scene &scene, double dpi, bool translucent)
{
    clipToShape(cr, scene);
    if (translucent)
        cairo_push_group(cr);
    if (scene.background.alpha() > 0) {
        setSource(cr, scene.background);
        cairo_paint(cr);
    }
    const OverlayWindow::Arc &arc = scene.arc;
    if (arc.sweepDegrees != 0 && arc.penWidth > 0 && arc.square.width() > 0) {
        const double radius = arc.square.width() / 2.0;
        const double cx = arc.square.x() + radius, cy = arc.square.y() + radius;
        const double start = qDegreesToRadians(arc.startDegrees);
        const double end = qDegreesToRadians(arc.startDegrees + qMin(arc.sweepDegrees, 360.0));
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, radius, start, end);
        cairo_set_line_width(cr, arc.penWidth);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        setSource(cr, arc.color);
        cairo_stroke(cr);
    }
    const OverlayWindow::Text &text = scene.text;
    if (!text.text.isEmpty()) {
        selectFont(cr, text.font, dpi);
        cairo_font_extents_t font;
        cairo_font_extents(cr, &font);
        cairo_move_to(cr, text.origin.x(), text.origin.y() + font.ascent);
        setSource(cr, text.color);
        cairo_show_text(cr, text.text.toUtf8().constData());
    }
    if (translucent) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, scene.opacity);
    }
}

// The bounding shape of an opaque window: every pixel drawn at least half covered.
std::vector<XRectangle> coveredPixels(cairo_surface_t *image)
{
    // Cairo's ARGB32 is premultiplied ARGB in native order, as is Qt's.
    const QImage pixels(cairo_image_surface_get_data(image), cairo_image_surface_get_width(image),
                        cairo_image_surface_get_height(image),
                        cairo_image_surface_get_stride(image), QImage::Format_ARGB32_Premultiplied);
    std::vector<XRectangle> rects;
    for (const QRect &r : platform::coveredPixels(pixels, 128))
        rects.push_back({short(r.x()), short(r.y()), ushort(r.width()), ushort(r.height())});
    return rects;
}

double fontDpi(Display *display)
{
    if (const char *value = XGetDefault(display, "Xft", "dpi")) {
        bool ok = false;
        const double dpi = QByteArray(value).toDouble(&ok);
        if (ok && dpi >= 48 && dpi <= 480)
            return dpi;
    }
    return 96.0;
}

void setAtoms(Display *display, Window window, const char *property, const char *type,
              std::initializer_list<const char *> values)
{
    std::vector<Atom> atoms;
    for (const char *name : values)
        atoms.push_back(XInternAtom(display, name, False));
    XChangeProperty(display, window, XInternAtom(display, property, False),
                    XInternAtom(display, type, False), 32, PropModeReplace,
                    reinterpret_cast<const unsigned char *>(atoms.data()), int(atoms.size()));
}

} // namespace

X11OverlayWindow::X11OverlayWindow()
    : native(std::make_unique<Native>())
{
    native->wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

X11OverlayWindow::~X11OverlayWindow()
{
    Native &n = *native;
    if (n.surface)
        cairo_surface_destroy(n.surface);
    if (n.display) {
        if (n.window)
            XDestroyWindow(n.display, n.window);
        if (n.colormap)
            XFreeColormap(n.display, n.colormap);
        OverlayConnections::giveBack(n.display);
    }
    if (n.wakeFd >= 0)
        close(n.wakeFd);
}

bool X11OverlayWindow::open(double opacity)
{
    Native &n = *native;
    if (n.display)
        return n.window != 0;
    current.opacity = qBound(0.0, opacity, 1.0);
    n.display = OverlayConnections::take();
    if (!n.display)
        return false;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XFixesQueryExtension(n.display, &n.fixesEvents, &error) ||
        !XFixesQueryVersion(n.display, &major, &minor) || major < 2 ||
        !XShapeQueryExtension(n.display, &event, &error)) {
        // Without them the window would catch the user's clicks: better none at all.
        qWarning("Overlay: the X server lacks XFixes 2 or SHAPE; no overlay can be shown");
        return false;
    }

    const int screen = DefaultScreen(n.display);
    const Window root = RootWindow(n.display, screen);
    const QByteArray manager = "_NET_WM_CM_S" + QByteArray::number(screen);
    n.compositorSelection = XInternAtom(n.display, manager, False);
    // Listening first, so that no compositing manager coming or going in between is missed.
    XFixesSelectSelectionInput(n.display, root, n.compositorSelection,
                               XFixesSetSelectionOwnerNotifyMask |
                                   XFixesSelectionWindowDestroyNotifyMask |
                                   XFixesSelectionClientCloseNotifyMask);
    n.composited = XGetSelectionOwner(n.display, n.compositorSelection) != 0;
    int depth = DefaultDepth(n.display, screen);
    n.visual = DefaultVisual(n.display, screen);
    XVisualInfo argb;
    if (n.composited && XMatchVisualInfo(n.display, screen, 32, TrueColor, &argb)) {
        n.visual = argb.visual;
        depth = 32;
        n.colormap = XCreateColormap(n.display, root, n.visual, AllocNone);
    } else {
        n.composited = false;
    }

    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.event_mask = ExposureMask;
    attributes.border_pixel = 0;
    attributes.background_pixel = 0; // transparent with the ARGB visual
    unsigned long mask = CWOverrideRedirect | CWEventMask | CWBorderPixel;
    if (n.colormap) {
        attributes.colormap = n.colormap;
        mask |= CWColormap | CWBackPixel;
    }
    const QRect &g = current.geometry;
    n.window =
        XCreateWindow(n.display, root, g.x(), g.y(), unsigned(g.width()), unsigned(g.height()), 0,
                      depth, InputOutput, n.visual, mask, &attributes);
    if (!n.window) {
        qWarning("Overlay: the X server refused the window");
        return false;
    }

    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = False;
    XSetWMHints(n.display, n.window, &hints);
    XClassHint classHint{const_cast<char *>("tovra-overlay"), const_cast<char *>(WindowClass)};
    XSetClassHint(n.display, n.window, &classHint);
    XStoreName(n.display, n.window, "Tovra Mouse overlay");
    setAtoms(n.display, n.window, "_NET_WM_WINDOW_TYPE", "ATOM",
             {"_NET_WM_WINDOW_TYPE_NOTIFICATION"});
    setAtoms(n.display, n.window, "_NET_WM_STATE", "ATOM",
             {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"});

    // No input region at all: every click and wheel turn reaches the window below.
    const XserverRegion none = XFixesCreateRegion(n.display, nullptr, 0);
    XFixesSetWindowShapeRegion(n.display, n.window, ShapeInput, 0, 0, none);
    XFixesDestroyRegion(n.display, none);
    if (!n.composited) // shows nothing until drawn
        XShapeCombineRectangles(n.display, n.window, ShapeBounding, 0, 0, nullptr, 0, ShapeSet,
                                YXBanded);

    n.dpi = fontDpi(n.display);
    XSync(n.display, False);
    return true;
}

QSize X11OverlayWindow::textExtent(const QString &text, const Font &font)
{
    cairo_surface_t *scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t *cr = cairo_create(scratch);
    selectFont(cr, font, native->dpi);
    cairo_text_extents_t extents;
    cairo_font_extents_t fontExtents;
    cairo_text_extents(cr, text.toUtf8().constData(), &extents);
    cairo_font_extents(cr, &fontExtents);
    const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    if (!ok)
        return {};
    return QSize(qCeil(extents.x_advance), qCeil(fontExtents.ascent + fontExtents.descent));
}

void X11OverlayWindow::setGeometry(const QRect &geometry)
{
    current.geometry = QRect(geometry.topLeft(), geometry.size().expandedTo(QSize(1, 1)));
    const QRect &g = current.geometry;
    if (native->window)
        XMoveResizeWindow(native->display, native->window, g.x(), g.y(), unsigned(g.width()),
                          unsigned(g.height()));
}

void X11OverlayWindow::setRoundedShape(int corner)
{
    current.shape = Shape::RoundedRectangle;
    current.corner = qMax(0, corner);
}

void X11OverlayWindow::setRingShape(int inset)
{
    current.shape = Shape::Ring;
    current.inset = qMax(0, inset);
}

void X11OverlayWindow::setBackground(const QColor &color)
{
    current.background = color;
}

void X11OverlayWindow::setText(const Text &text)
{
    current.text = text;
}

void X11OverlayWindow::setArc(const Arc &arc)
{
    current.arc = arc;
}

OverlayWindow::Scene X11OverlayWindow::scene() const
{
    return current;
}

void X11OverlayWindow::show()
{
    if (!native->window)
        return;
    XMapRaised(native->display, native->window);
    native->mapped = true;
    update();
}

void X11OverlayWindow::raise()
{
    if (!native->window)
        return;
    XRaiseWindow(native->display, native->window);
    XFlush(native->display);
}

void X11OverlayWindow::update()
{
    Native &n = *native;
    if (!n.window || !n.mapped)
        return;
    const int w = current.geometry.width(), h = current.geometry.height();
    cairo_surface_t *image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t *cr = cairo_create(image);
    // An opaque window is cut to its pixels: hard edges cut cleanly.
    if (!n.composited)
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    drawScene(cr, current, n.dpi, n.composited);
    cairo_destroy(cr);
    cairo_surface_flush(image);

    if (!n.composited) {
        std::vector<XRectangle> rects = coveredPixels(image);
        XShapeCombineRectangles(n.display, n.window, ShapeBounding, 0, 0, rects.data(),
                                int(rects.size()), ShapeSet, YXBanded);
    }
    if (!n.surface || n.surfaceSize != QSize(w, h)) {
        if (n.surface)
            cairo_surface_destroy(n.surface);
        n.surface = cairo_xlib_surface_create(n.display, n.window, n.visual, w, h);
        n.surfaceSize = QSize(w, h);
    }
    cairo_t *out = cairo_create(n.surface);
    cairo_set_operator(out, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(out, image, 0, 0);
    cairo_paint(out);
    cairo_destroy(out);
    cairo_surface_flush(n.surface);
    cairo_surface_destroy(image);
    XFlush(n.display);
}

OverlayWindow::Wake X11OverlayWindow::waitForEvents(int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    Native &n = *native;
    const auto deadline = Clock::now() + std::chrono::milliseconds(qMax(0, timeoutMs));
    const auto woken = [&n] {
        uint64_t count = 0;
        return n.wakeFd >= 0 && read(n.wakeFd, &count, sizeof count) == sizeof count;
    };
    for (;;) {
        bool exposed = false;
        while (n.display && XPending(n.display)) {
            XEvent event;
            XNextEvent(n.display, &event);
            exposed = exposed || (event.type == Expose && event.xexpose.count == 0);
            if (event.type == n.fixesEvents + XFixesSelectionNotify) {
                const auto &notify = reinterpret_cast<const XFixesSelectionNotifyEvent &>(event);
                if (notify.selection == n.compositorSelection)
                    exposed = followCompositor(notify.subtype == XFixesSetSelectionOwnerNotify &&
                                               notify.owner != 0) ||
                              exposed;
            }
        }
        if (exposed)
            update();
        if (woken())
            return Wake::Woken;

        int wait = -1;
        if (timeoutMs >= 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                return Wake::Timeout;
            wait = int(left.count());
        }
        pollfd fds[2] = {{n.wakeFd, POLLIN, 0},
                         {n.display ? ConnectionNumber(n.display) : -1, POLLIN, 0}};
        const int ready = poll(fds, 2, wait);
        if (ready < 0 && errno != EINTR)
            return Wake::Failed;
        if (fds[1].revents & (POLLERR | POLLHUP | POLLNVAL) && fds[1].fd >= 0)
            return Wake::Failed;
        if (ready == 0 && timeoutMs >= 0 && Clock::now() >= deadline)
            return Wake::Timeout;
    }
}

void X11OverlayWindow::wake()
{
    const uint64_t one = 1;
    if (native->wakeFd >= 0 && write(native->wakeFd, &one, sizeof one) < 0) {
        // The counter is full: a wake-up is pending anyway.
    }
}

bool X11OverlayWindow::followCompositor(bool running)
{
    Native &n = *native;
    // Only a window made with a visual of its own alpha can become translucent; one made
    // without stays cut to its pixels, which looks right either way.
    const bool composited = running && n.colormap != 0;
    if (composited == n.composited)
        return false;
    n.composited = composited;
    if (composited)
        XShapeCombineMask(n.display, n.window, ShapeBounding, 0, 0, 0 /* the whole window */,
                          ShapeSet);
    return true; // drawn anew, and cut when no longer composited
}

bool X11OverlayWindow::isComposited() const
{
    return native->composited;
}

unsigned long X11OverlayWindow::windowId() const
{
    return native->window;
}

} // namespace platform
