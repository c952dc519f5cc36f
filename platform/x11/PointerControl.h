#pragma once

// How our pointer speed (1..20, 10 = unscaled) and "enhanced precision" map onto the X
// server's pointer control: motion above `threshold` pixels is multiplied by
// numerator / denominator.
namespace platform {

struct PointerControl
{
    int numerator = 1;
    int denominator = 1;
    int threshold = 1;

    static int clampSpeed(int speed) { return speed < 1 ? 1 : speed > 20 ? 20 : speed; }
    // Precision off: a linear gain of speed/10 on all motion (threshold 1; the X server
    // treats threshold 0 as a polynomial curve). Precision on: 2*speed/10 above 4 pixels.
    static PointerControl forSpeed(int speed, bool enhancedPrecision);

    bool operator==(const PointerControl &o) const
    {
        return numerator == o.numerator && denominator == o.denominator && threshold == o.threshold;
    }
};

} // namespace platform
