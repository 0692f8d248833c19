// The filled width of the skinned progress bar.
#include "controls/ProgressFill.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(ProgressFill, WidthTable)
{
    struct Case {
        int width, lower, upper, pos, filled;
    } const cases[] = {
        {408, 0, 100, 0, 0},
        {408, 0, 100, 50, 204},
        {408, 0, 100, 33, 134},  // 134.64, truncated
        {408, 0, 100, 100, 408},
        {408, 0, 100, 1, 4},
        {408, 0, 100, 99, 403},
        {408, 10, 20, 15, 204},   // the range need not start at 0
        {408, -50, 50, 0, 204},
        {7, 0, 3, 1, 2},
        {0, 0, 100, 50, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProgressFillWidth(c.width, c.lower, c.upper, c.pos), c.filled)
            << c.width << " " << c.lower << ".." << c.upper << " at " << c.pos;
    }
}

TEST(ProgressFill, EmptyOrReversedRangeFillsNothing)
{
    EXPECT_EQ(ProgressFillWidth(408, 0, 0, 0), 0);
    EXPECT_EQ(ProgressFillWidth(408, 50, 50, 50), 0);
    EXPECT_EQ(ProgressFillWidth(408, 100, 0, 50), 0);
}

TEST(ProgressFill, StaysWithinTheBar)
{
    // Positions outside the range, and a 32-bit range whose product with the
    // width would overflow 32 bits.
    EXPECT_EQ(ProgressFillWidth(408, 0, 100, -20), 0);
    EXPECT_EQ(ProgressFillWidth(408, 0, 100, 250), 408);
    EXPECT_EQ(ProgressFillWidth(408, 0, INT_MAX, INT_MAX / 2), 203);
    EXPECT_EQ(ProgressFillWidth(408, INT_MIN, INT_MAX, INT_MAX), 408);
}

}  // namespace
