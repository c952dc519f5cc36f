#pragma once

#include "platform/OverlayWindow.h"

#include <memory>

// An overlay window on X11: override-redirect (no window manager places, decorates or
// focuses it), input shape empty (XFixes: clicks go to the window below), drawn with cairo.
// When a compositing manager runs, the window has an ARGB visual and is translucent;
// otherwise it is an opaque window whose bounding shape is cut to the pixels drawn. A manager
// ending while the window lives makes it opaque and cut at its next events; one starting
// makes a window that has the ARGB visual translucent again.
namespace platform {

class X11OverlayWindow : public OverlayWindow
{
public:
    // The WM_CLASS class of every overlay window, by which tests find them.
    static const char *const WindowClass;

    X11OverlayWindow();
    ~X11OverlayWindow() override;
    X11OverlayWindow(const X11OverlayWindow &) = delete;
    X11OverlayWindow &operator=(const X11OverlayWindow &) = delete;

    bool open(double opacity) override;
    QSize textExtent(const QString &text, const Font &font) override;
    void setGeometry(const QRect &geometry) override;
    void setRoundedShape(int corner) override;
    void setRingShape(int inset) override;
    void setBackground(const QColor &color) override;
    void setText(const Text &text) override;
    void setArc(const Arc &arc) override;
    Scene scene() const override;
    void show() override;
    void raise() override;
    void update() override;
    Wake waitForEvents(int timeoutMs) override;
    void wake() override;

    // Whether the window is translucent now.
    bool isComposited() const;
    unsigned long windowId() const;

private:
    // True when the window is to be drawn anew.
    bool followCompositor(bool running);

    struct Native;
    std::unique_ptr<Native> native;
    Scene current;
};

} // namespace platform
