// The main window's layout from the banner's width: the shipped 479, a wider
// 640, and a narrow 101 where the bar's left edge goes negative (division
// truncating toward zero).
#include "ui/MainWindowLayout.h"

#include <gtest/gtest.h>

// Found by argument lookup, so beside LayoutRect in the global namespace.
std::ostream& operator<<(std::ostream& out, const LayoutRect& rect);
std::ostream& operator<<(std::ostream& out, const LayoutRect& rect)
{
    return out << "(" << rect.x << ", " << rect.y << ", " << rect.width << " x " << rect.height << ")";
}

namespace {

// Client sizes as the template's dialog units give them under the shipped font.
const MainWindowControlSizes kSizes = {{126, 13}, {147, 33}, {404, 23}, {29, 13}, {63, 13}, {68, 13}};

TEST(LayOutMainWindow, PlacesEveryControlFromTheBannersWidth)
{
    const struct {
        int bannerWidth;
        MainWindowLayout layout;
    } cases[] = {
        {479,
         {{0, 0, 479, 359}, {449, 15, 20, 20}, {419, 15, 20, 20}, {34, 284, 410, 10}, {34, 314, 146, 13},
          {166, 244, 147, 33}, {37, 294, 404, 33}, {30, 334, 29, 13}, {69, 334, 63, 13}, {142, 334, 68, 13}}},
        {640,
         {{0, 0, 640, 480}, {610, 15, 20, 20}, {580, 15, 20, 20}, {115, 384, 410, 10}, {115, 414, 146, 13},
          {246, 344, 147, 33}, {118, 394, 404, 33}, {30, 455, 29, 13}, {69, 455, 63, 13}, {142, 455, 68, 13}}},
        {101,
         {{0, 0, 101, 75}, {71, 15, 20, 20}, {41, 15, 20, 20}, {-154, 60, 410, 10}, {-154, 90, 146, 13},
          {-23, 20, 147, 33}, {-151, 70, 404, 33}, {30, 50, 29, 13}, {69, 50, 63, 13}, {142, 50, 68, 13}}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.bannerWidth);
        const MainWindowLayout layout = LayOutMainWindow(row.bannerWidth, kSizes);
        EXPECT_EQ(layout.window, row.layout.window);
        EXPECT_EQ(layout.close, row.layout.close);
        EXPECT_EQ(layout.minimise, row.layout.minimise);
        EXPECT_EQ(layout.progress, row.layout.progress);
        EXPECT_EQ(layout.status, row.layout.status);
        EXPECT_EQ(layout.install, row.layout.install);
        EXPECT_EQ(layout.folder, row.layout.folder);
        EXPECT_EQ(layout.toggle, row.layout.toggle);
        EXPECT_EQ(layout.agreeText, row.layout.agreeText);
        EXPECT_EQ(layout.licenceLink, row.layout.licenceLink);
    }
}

}  // namespace
