// Premultiplied alpha: each colour byte becomes floor(c * a / 255).
#include "controls/Premultiply.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

using Pixel = std::array<uint8_t, 4>;  // blue, green, red, alpha

Pixel Premultiplied(Pixel pixel)
{
    PremultiplyPixels(pixel.data(), 1, 1, 4);
    return pixel;
}

TEST(Premultiply, PixelTable)
{
    struct Case {
        Pixel in;
        Pixel out;
    } const cases[] = {
        {{200, 100, 50, 128}, {100, 50, 25, 128}},
        {{200, 100, 50, 255}, {200, 100, 50, 255}},  // opaque: unchanged
        {{255, 255, 255, 255}, {255, 255, 255, 255}},
        {{200, 100, 50, 0}, {0, 0, 0, 0}},           // transparent: black
        {{128, 128, 128, 128}, {64, 64, 64, 128}},
        {{1, 1, 1, 254}, {0, 0, 0, 254}},            // truncated, never rounded up
        {{255, 254, 0, 1}, {1, 0, 0, 1}},
        {{255, 128, 3, 127}, {127, 63, 1, 127}},
    };
    for (const Case& c : cases) EXPECT_EQ(Premultiplied(c.in), c.out);
}

TEST(Premultiply, ChannelTruncatesEveryProduct)
{
    for (int c = 0; c < 256; ++c) {
        for (int a = 0; a < 256; ++a) {
            const int exact = c * a / 255;
            ASSERT_EQ(PremultipliedChannel(static_cast<uint8_t>(c), static_cast<uint8_t>(a)), exact) << c << "," << a;
        }
    }
}

TEST(Premultiply, BottomUpRowsAreEachVisitedOnce)
{
    // Three rows of two pixels with padding, stored bottom-up: the top row is
    // the last in memory and the pitch is negative. Padding bytes stay as
    // they are, and a second pass would halve the colours again.
    const int width = 2, height = 3;
    const std::ptrdiff_t stride = 12;  // 8 bytes of pixels, 4 of padding
    std::vector<uint8_t> memory(static_cast<size_t>(stride * height), 0xEE);
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            uint8_t* pixel = memory.data() + row * stride + x * 4;
            pixel[0] = pixel[1] = pixel[2] = 200;
            pixel[3] = 128;
        }
    }
    uint8_t* topRow = memory.data() + (height - 1) * stride;
    PremultiplyPixels(topRow, width, height, -stride);
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* pixel = memory.data() + row * stride + x * 4;
            EXPECT_EQ(pixel[0], 100);
            EXPECT_EQ(pixel[2], 100);
            EXPECT_EQ(pixel[3], 128);
        }
        for (int pad = 8; pad < 12; ++pad) EXPECT_EQ(memory[static_cast<size_t>(row * stride + pad)], 0xEE);
    }
}

}  // namespace
