#pragma once

#include "platform/OverlayShapes.h"

#include <QAbstractNativeEventFilter>

// Window shapes (the SHAPE extension) on the toolkit's own X connection, where its windows
// are made, so each request follows the window it names. Whether a compositing manager runs
// is whether anyone owns the selection _NET_WM_CM_S<screen>; XFixes reports each change of
// owner as an event of that connection, which this service reads through the toolkit's native
// event filter. Starts at the first call (the toolkit must be running by then).
namespace platform {

class X11OverlayShapes : public OverlayShapes, private QAbstractNativeEventFilter
{
public:
    bool isCompositing() override;
    void cutTo(quintptr window, const QVector<QRect> &shown) override;
    void uncut(quintptr window) override;
    void declareFrameless(quintptr window) override;

private:
    bool nativeEventFilter(const QByteArray &eventType, void *message, long *result) override;
    void start();

    bool started = false;
    bool onX11 = false;
    bool compositing = true; // where the toolkit is not on X, nothing is cut
    unsigned long selection = 0;
    int fixesEvents = 0;
};

} // namespace platform
