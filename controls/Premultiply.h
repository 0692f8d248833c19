#pragma once
// Premultiplied alpha for 32-bit pixels stored blue, green, red, alpha:
// AlphaBlend with per-pixel alpha expects colours already scaled by alpha.
// Platform-free.

#include <cstddef>
#include <cstdint>

// floor(c * a / 255), in integers: truncated, never rounded.
constexpr uint8_t PremultipliedChannel(uint8_t c, uint8_t a)
{
    return static_cast<uint8_t>(c * a / 255);
}

// Scales the three colour bytes of every pixel of a width x height image
// by its alpha byte. topRow is the first byte of the top row and pitch the
// distance to the next row down (negative for rows stored bottom-up).
void PremultiplyPixels(uint8_t* topRow, int width, int height, std::ptrdiff_t pitch);
