#include "controls/Premultiply.h"

void PremultiplyPixels(uint8_t* topRow, int width, int height, std::ptrdiff_t pitch)
{
    if (topRow == nullptr) return;
    for (int y = 0; y < height; ++y) {
        uint8_t* pixel = topRow + y * pitch;
        for (int x = 0; x < width; ++x, pixel += 4) {
            const uint8_t alpha = pixel[3];
            pixel[0] = PremultipliedChannel(pixel[0], alpha);
            pixel[1] = PremultipliedChannel(pixel[1], alpha);
            pixel[2] = PremultipliedChannel(pixel[2], alpha);
        }
    }
}
