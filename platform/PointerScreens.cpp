#include "platform/PointerScreens.h"

namespace platform {

namespace {
int divide(int value, double ratio)
{
    return int(value / ratio); // truncates toward zero
}
int multiply(int value, double ratio)
{
    return int(value * ratio);
}
} // namespace

QPoint PointerScreens::toLogical(QPoint physical) const
{
    const double r = devicePixelRatio();
    return {divide(physical.x(), r), divide(physical.y(), r)};
}

QRect PointerScreens::toLogical(const QRect &physical) const
{
    if (physical.isEmpty())
        return {};
    const double r = devicePixelRatio();
    return {divide(physical.x(), r), divide(physical.y(), r), divide(physical.width(), r),
            divide(physical.height(), r)};
}

QPoint PointerScreens::toPhysical(QPoint logical) const
{
    const double r = devicePixelRatio();
    return {multiply(logical.x(), r), multiply(logical.y(), r)};
}

bool PointerScreens::logicalPointerPosition(QPoint *logical)
{
    QPoint physical;
    if (!pointerPosition(&physical))
        return false;
    *logical = toLogical(physical);
    return true;
}

} // namespace platform
