// The main window's place from the banner's width.
#include <gtest/gtest.h>

#include "ui/MainWindowLayout.h"

namespace {

TEST(MainWindowLayout, TheWindowIsAsWideAsTheBannerAndThreeQuartersOfThatHighAtTheOrigin)
{
    const struct {
        int32_t bannerWidth;
        int32_t height;
    } cases[] = {
        {479, 359},  // the shipped banner
        {640, 480},
        {101, 75},   // 303 / 4, truncated
        {1, 0},
        {0, 0},      // a banner that did not load
        {-5, -3},    // -15 / 4 truncates toward zero
        {2147483647, 1610612735},
    };
    for (const auto& item : cases) {
        const WindowPlacement window = MainWindowPlacement(item.bannerWidth);
        EXPECT_EQ(window.x, 0);
        EXPECT_EQ(window.y, 0);
        EXPECT_EQ(window.width, item.bannerWidth);
        EXPECT_EQ(window.height, item.height) << item.bannerWidth;
    }
}

}  // namespace
