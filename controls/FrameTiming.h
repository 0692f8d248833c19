#pragma once
// How long the banner shows a frame. Platform-free.

#include <cstdint>

// delay x 10 ms for delays of 5 hundredths and more, 100 ms below that (such
// small delays usually mean "as fast as you can"). The product is taken in
// 32 bits on purpose: a frame without a graphic control extension (delay all
// ones) wraps to 4,294,967,286 ms, so the animation rests on it.
inline uint32_t FrameWaitMilliseconds(uint32_t delay)
{
    return delay >= 5 ? delay * 10u : 100u;
}
