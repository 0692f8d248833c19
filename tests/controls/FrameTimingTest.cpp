// How long the banner shows a frame, the 32-bit wrap of a frame without a
// control extension included.
#include <gtest/gtest.h>

#include "controls/FrameTiming.h"
#include "controls/GifSplitter.h"

namespace {

TEST(FrameTiming, ShortDelaysWaitATenthAndLongerOnesTheirOwnLength)
{
    const struct {
        uint32_t delay;
        uint32_t milliseconds;
    } cases[] = {
        {0, 100}, {1, 100}, {4, 100}, {5, 50}, {9, 90}, {10, 100}, {300, 3000}, {0xFFFF, 655350},
        {kGifNoDelay, 4294967286u},  // wraps: the animation rests there, but not for INFINITE
        {429496730, 4},              // the first delay whose product wraps
    };
    for (const auto& item : cases) EXPECT_EQ(FrameWaitMilliseconds(item.delay), item.milliseconds) << item.delay;
}

}  // namespace
