#pragma once
// Where the main window goes, from the banner's width. Platform-free.

#include <cstdint>

struct WindowPlacement {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// At the screen's top-left corner, as wide as the banner and three quarters
// of that high (division truncated toward zero): 479 x 359 for the shipped
// banner.
WindowPlacement MainWindowPlacement(int32_t bannerWidth);
