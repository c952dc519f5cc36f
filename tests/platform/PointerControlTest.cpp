#include "platform/x11/PointerControl.h"

#include <gtest/gtest.h>

using platform::PointerControl;

TEST(PointerControl, WithoutPrecisionSpeedIsALinearGainOnAllMotion)
{
    const struct
    {
        int speed, num, den;
    } table[] = {{1, 1, 10}, {2, 1, 5}, {5, 1, 2}, {7, 7, 10}, {10, 1, 1}, {15, 3, 2}, {20, 2, 1}};
    for (const auto &row : table) {
        const PointerControl c = PointerControl::forSpeed(row.speed, false);
        EXPECT_EQ(c, (PointerControl{row.num, row.den, 1})) << row.speed;
    }
}

TEST(PointerControl, EnhancedPrecisionDoublesTheGainAboveFourPixels)
{
    EXPECT_EQ(PointerControl::forSpeed(10, true), (PointerControl{2, 1, 4}));
    EXPECT_EQ(PointerControl::forSpeed(15, true), (PointerControl{3, 1, 4}));
    EXPECT_EQ(PointerControl::forSpeed(1, true), (PointerControl{1, 5, 4}));
    EXPECT_EQ(PointerControl::forSpeed(7, true), (PointerControl{7, 5, 4}));
}

TEST(PointerControl, SpeedsOutsideOneToTwentyAreClamped)
{
    EXPECT_EQ(PointerControl::forSpeed(0, false), PointerControl::forSpeed(1, false));
    EXPECT_EQ(PointerControl::forSpeed(-5, true), PointerControl::forSpeed(1, true));
    EXPECT_EQ(PointerControl::forSpeed(99, false), PointerControl::forSpeed(20, false));
}
