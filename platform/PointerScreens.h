#pragma once

#include <QPoint>
#include <QRect>
#include <atomic>

// Where the pointer is and what the screens are. The desktop works in physical pixels; the
// program's windows work in logical ones (physical divided by the device pixel ratio). The
// two are converted here and nowhere else. The screens are kept by the service and renewed
// when the desktop reports a change: reading them is cheap enough for every frame and tick.
namespace platform {

class PointerScreens
{
public:
    virtual ~PointerScreens() = default;

    // The pointer position in physical pixels; false (and one log line) when unknown.
    virtual bool pointerPosition(QPoint *physical) = 0;
    // Whether the pointer may have moved since the last call: false only when the desktop
    // told of no motion meanwhile. A reader that polls the position skips the read then.
    virtual bool pointerMayHaveMoved() { return true; }
    // Nobody asks that for now: the desktop's motion need not be heard of until the next ask
    // (whose answer is then true).
    virtual void stopWatchingPointerMotion() {}
    // The primary screen in physical pixels (its origin need not be 0,0); empty when there
    // is none.
    virtual QRect primaryScreen() = 0;
    // The rectangle that holds every screen, in physical pixels; empty when there is none.
    virtual QRect virtualScreen() = 0;

    // The ratio of physical to logical pixels, 1 unless the application sets another.
    double devicePixelRatio() const { return ratio.load(); }
    void setDevicePixelRatio(double value) { ratio = value > 0 ? value : 1.0; }

    // Physical to logical: each coordinate divided by the ratio, truncated toward zero.
    QPoint toLogical(QPoint physical) const;
    QRect toLogical(const QRect &physical) const;
    // Logical to physical: each coordinate multiplied by the ratio, truncated toward zero.
    QPoint toPhysical(QPoint logical) const;

    // The same reads in logical pixels.
    bool logicalPointerPosition(QPoint *logical);
    QRect logicalPrimaryScreen() { return toLogical(primaryScreen()); }
    QRect logicalVirtualScreen() { return toLogical(virtualScreen()); }

private:
    std::atomic<double> ratio{1.0};
};

} // namespace platform
