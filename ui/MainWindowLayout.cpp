#include "ui/MainWindowLayout.h"

WindowPlacement MainWindowPlacement(int32_t bannerWidth)
{
    WindowPlacement window;
    window.width = bannerWidth;
    // In 64 bits, so that no width can overflow the product.
    window.height = static_cast<int32_t>(3 * int64_t{bannerWidth} / 4);
    return window;
}
