#include "platform/x11/PointerControl.h"

#include <numeric>

namespace platform {

PointerControl PointerControl::forSpeed(int speed, bool enhancedPrecision)
{
    const int numerator = clampSpeed(speed) * (enhancedPrecision ? 2 : 1);
    const int divisor = std::gcd(numerator, 10);
    return {numerator / divisor, 10 / divisor, enhancedPrecision ? 4 : 1};
}

} // namespace platform
