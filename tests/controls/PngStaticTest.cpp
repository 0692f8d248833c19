// CPngStatic on screen: the image at natural size from the top-left, clipped
// by a smaller control, nothing painted outside it or without an image, no
// erasing, and clicks reported to the parent.
#include "controls/PngStatic.h"

#include <gtest/gtest.h>

#include "controls/Premultiply.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

const COLORREF kBackground = RGB(255, 0, 255);
const int kStaticId = 1010;

// A 24-bit image whose every pixel tells where it is.
COLORREF Marker(int x, int y)
{
    return RGB(10 + x * 5, 10 + y * 5, 77);
}

void MakeMarkerImage(CImage& image, int width, int height)
{
    ASSERT_TRUE(image.Create(width, height, 24));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            BYTE* p = static_cast<BYTE*>(image.GetPixelAddress(x, y));
            const COLORREF c = Marker(x, y);
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    }
}

// A 32-bit image with alpha, premultiplied as LoadPngImage leaves it.
void MakeAlphaImage(CImage& image, const std::vector<Rgba>& row)
{
    ASSERT_TRUE(image.Create(static_cast<int>(row.size()), 1, 32, CImage::createAlphaChannel));
    for (size_t x = 0; x < row.size(); ++x) {
        BYTE* p = static_cast<BYTE*>(image.GetPixelAddress(static_cast<int>(x), 0));
        p[0] = PremultipliedChannel(row[x].b, row[x].a);
        p[1] = PremultipliedChannel(row[x].g, row[x].a);
        p[2] = PremultipliedChannel(row[x].r, row[x].a);
        p[3] = row[x].a;
    }
}

class PngStaticOnScreen : public testing::Test {
protected:
    // A PNG static at (10, 10) of the given size on a magenta host.
    void Place(int width, int height, DWORD style = SS_NOTIFY)
    {
        m_static.SubclassWindow(m_host.CreateChild(L"STATIC", L"Static", style, kStaticId, 10, 10, width, height));
    }
    WindowPixels Shown()
    {
        m_host.RepaintAll();
        return WindowPixels(m_host.m_hWnd);
    }

    TestHost m_host{120, 80, kBackground};
    CPngStatic m_static;
};

TEST_F(PngStaticOnScreen, SmallerControlShowsTheImagesTopLeftPart)
{
    CImage image;
    MakeMarkerImage(image, 40, 30);
    Place(20, 15);
    m_static.m_pImage = &image;
    const WindowPixels shown = Shown();
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 20; ++x) ASSERT_EQ(shown.At(10 + x, 10 + y), Marker(x, y)) << x << "," << y;
    }
    // The rest of the image lies beyond the control: clipped.
    EXPECT_EQ(shown.At(30, 10), kBackground);
    EXPECT_EQ(shown.At(10, 25), kBackground);
    EXPECT_EQ(shown.At(49, 39), kBackground);
}

TEST_F(PngStaticOnScreen, LargerControlLeavesTheRestUnpainted)
{
    CImage image;
    MakeMarkerImage(image, 40, 30);
    Place(70, 50);
    m_static.m_pImage = &image;
    const WindowPixels shown = Shown();
    EXPECT_EQ(shown.At(10, 10), Marker(0, 0));
    EXPECT_EQ(shown.At(49, 39), Marker(39, 29));  // natural size: not stretched
    EXPECT_EQ(shown.At(50, 10), kBackground);
    EXPECT_EQ(shown.At(10, 40), kBackground);
    EXPECT_EQ(shown.At(79, 59), kBackground);
}

TEST_F(PngStaticOnScreen, WithoutAnImageNothingIsPainted)
{
    CImage empty;
    for (CImage* image : {static_cast<CImage*>(nullptr), &empty}) {
        Place(40, 30);
        m_static.m_pImage = image;
        const WindowPixels shown = Shown();
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 40; ++x) ASSERT_EQ(shown.At(10 + x, 10 + y), kBackground) << x << "," << y;
        }
        ::DestroyWindow(m_static.m_hWnd);
    }
}

TEST_F(PngStaticOnScreen, NeverErasesSoANewImageBlendsOverTheOld)
{
    // Transparent, half-transparent red, opaque green.
    CImage first;
    MakeAlphaImage(first, {{0, 0, 0, 0}, {255, 0, 0, 128}, {0, 255, 0, 255}});
    Place(3, 1);
    m_static.m_pImage = &first;
    const WindowPixels before = Shown();
    EXPECT_EQ(before.At(10, 10), kBackground);  // the background shows through
    EXPECT_TRUE(Near(before.At(11, 10), RGB(255, 0, 127))) << Describe(before.At(11, 10));
    EXPECT_EQ(before.At(12, 10), RGB(0, 255, 0));

    // Replaced and invalidated without erasing the parent: the new
    // half-transparent blue lands on the old green, not on the background.
    CImage second;
    MakeAlphaImage(second, {{0, 0, 255, 128}, {0, 0, 0, 0}, {0, 0, 255, 128}});
    m_static.m_pImage = &second;
    ::InvalidateRect(m_static.m_hWnd, nullptr, TRUE);
    ::UpdateWindow(m_static.m_hWnd);
    const WindowPixels after(m_host.m_hWnd);
    EXPECT_TRUE(Near(after.At(10, 10), RGB(127, 0, 255))) << Describe(after.At(10, 10));
    EXPECT_TRUE(Near(after.At(11, 10), RGB(255, 0, 127))) << "untouched: " << Describe(after.At(11, 10));
    EXPECT_TRUE(Near(after.At(12, 10), RGB(0, 127, 128))) << Describe(after.At(12, 10));
}

TEST_F(PngStaticOnScreen, EraseCountsAsDoneAndDrawsNothing)
{
    CImage image;
    MakeMarkerImage(image, 4, 4);
    Place(4, 4);
    m_static.m_pImage = &image;
    MemoryCanvas canvas(4, 4, RGB(1, 2, 3));
    EXPECT_NE(::SendMessageW(m_static.m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0), 0);
    EXPECT_TRUE(canvas.AllAre(RGB(1, 2, 3)));
}

TEST_F(PngStaticOnScreen, ClicksReachTheParentThroughSsNotify)
{
    CImage image;
    MakeMarkerImage(image, 10, 10);
    Place(10, 10, SS_NOTIFY);
    m_static.m_pImage = &image;
    ::SendMessageW(m_static.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    ::SendMessageW(m_static.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    TestHost::PumpPosted();
    EXPECT_TRUE(m_host.Received(STN_CLICKED, kStaticId));
}

TEST(PngStatic, RunTimeClassIsItsOwn)
{
    CPngStatic control;
    EXPECT_STREQ(control.GetRuntimeClass()->m_lpszClassName, "CPngStatic");
    EXPECT_TRUE(control.GetRuntimeClass()->IsDerivedFrom(RUNTIME_CLASS(CStatic)));
}

}  // namespace
