// The skinned progress bar: the track on the first erase of the process
// only, the fill over the filled width at the images' own height, and
// nothing from an inert bar.
#include "controls/MyProgressCtrl.h"

#include <gtest/gtest.h>

#include <memory>

#include "controls/PngImage.h"
#include "res/resource.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

const COLORREF kBackground = RGB(255, 0, 255);
const int kBarId = 1005;

// A pixel of one of the opaque skin images this test links, as drawn 1:1.
COLORREF SkinPixel(WORD id, int x, int y)
{
    const std::unique_ptr<CImage> image(LoadPngImage(id));
    const BYTE* p = static_cast<const BYTE*>(image->GetPixelAddress(x, y));
    return RGB(p[2], p[1], p[0]);
}

class ProgressBar : public testing::Test {
protected:
    void SetUp() override
    {
        CMyProgressCtrl::s_backPending = true;  // as the process starts
        // 410 x 12 with a border: a client area of 408 x 10, two rows taller than the images.
        m_bar.SubclassWindow(m_host.CreateChild(PROGRESS_CLASSW, L"", WS_BORDER, kBarId, 10, 10, 410, 12));
        m_bar.SetRange(0, 100);
        m_bar.SetPos(0);
    }
    void TearDown() override { CMyProgressCtrl::s_backPending = true; }

    // The bar's client area as the host shows it.
    COLORREF Bar(const WindowPixels& shown, int x, int y) const
    {
        POINT origin = {0, 0};
        ::MapWindowPoints(m_bar.m_hWnd, m_host.m_hWnd, &origin, 1);
        return shown.At(origin.x + x, origin.y + y);
    }

    TestHost m_host{440, 40, kBackground};
    CMyProgressCtrl m_bar;
};

TEST_F(ProgressBar, ClientAreaIsAsPlanned)
{
    RECT client = {};
    m_bar.GetClientRect(&client);
    ASSERT_EQ(client.right, 408);
    ASSERT_EQ(client.bottom, 10);
}

TEST_F(ProgressBar, FillCoversItsShareAndTheTrackTheRest)
{
    m_bar.SetImageSource(::GetModuleHandleW(nullptr));
    EXPECT_EQ(m_bar.m_backImageId, 150u);
    EXPECT_EQ(m_bar.m_barImageId, 151u);
    EXPECT_STREQ(m_bar.m_imageType, L"PNG");
    m_bar.SetPos(33);
    const WindowPixels shown = (m_host.RepaintAll(), WindowPixels(m_host.m_hWnd));
    for (int y = 0; y < 8; ++y) {
        SCOPED_TRACE(y);
        // 408 x 33 / 100 = 134.64: columns 0 to 133 filled.
        EXPECT_EQ(Bar(shown, 0, y), SkinPixel(IDB_PROGRESS_BAR, 0, y));
        EXPECT_EQ(Bar(shown, 133, y), SkinPixel(IDB_PROGRESS_BAR, 133, y));
        EXPECT_EQ(Bar(shown, 134, y), SkinPixel(IDB_PROGRESS_BACK, 134, y));
        EXPECT_EQ(Bar(shown, 407, y), SkinPixel(IDB_PROGRESS_BACK, 407, y));
    }
    // Below the images' eight rows nothing is drawn: the host's background.
    EXPECT_EQ(Bar(shown, 10, 8), kBackground);
    EXPECT_EQ(Bar(shown, 300, 9), kBackground);
    EXPECT_FALSE(CMyProgressCtrl::s_backPending);
}

TEST_F(ProgressBar, TrackIsDrawnOnTheFirstEraseOnly)
{
    m_bar.SetImageSource(::GetModuleHandleW(nullptr));
    const COLORREF beneath = RGB(1, 2, 3);
    MemoryCanvas first(408, 10, beneath);
    EXPECT_NE(::SendMessageW(m_bar.m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(first.Dc()), 0), 0);
    EXPECT_EQ(first.At(0, 0), SkinPixel(IDB_PROGRESS_BACK, 0, 0));
    EXPECT_EQ(first.At(407, 7), SkinPixel(IDB_PROGRESS_BACK, 407, 7));
    EXPECT_EQ(first.At(200, 8), beneath);
    EXPECT_FALSE(CMyProgressCtrl::s_backPending);

    MemoryCanvas second(408, 10, beneath);
    EXPECT_NE(::SendMessageW(m_bar.m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(second.Dc()), 0), 0);
    EXPECT_TRUE(second.AllAre(beneath));

    // On screen as well: after the host painted over the bar, a repaint
    // brings back only the fill; the unfilled part shows the host.
    m_bar.SetPos(50);
    const WindowPixels shown = (m_host.RepaintAll(), WindowPixels(m_host.m_hWnd));
    EXPECT_EQ(Bar(shown, 203, 3), SkinPixel(IDB_PROGRESS_BAR, 203, 3));
    EXPECT_EQ(Bar(shown, 204, 3), kBackground);
}

TEST_F(ProgressBar, EmptyRangeDrawsNoFill)
{
    m_bar.SetImageSource(::GetModuleHandleW(nullptr));
    ::SendMessageW(m_bar.m_hWnd, PBM_SETRANGE32, 40, 40);
    const WindowPixels shown = (m_host.RepaintAll(), WindowPixels(m_host.m_hWnd));
    EXPECT_EQ(Bar(shown, 0, 3), SkinPixel(IDB_PROGRESS_BACK, 0, 3));
    EXPECT_EQ(Bar(shown, 407, 3), SkinPixel(IDB_PROGRESS_BACK, 407, 3));
}

TEST_F(ProgressBar, WithoutImageSourceItIsInert)
{
    MemoryCanvas canvas(408, 10, RGB(1, 2, 3));
    EXPECT_NE(::SendMessageW(m_bar.m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0), 0);
    EXPECT_TRUE(canvas.AllAre(RGB(1, 2, 3)));
    m_bar.SetPos(60);
    const WindowPixels shown = (m_host.RepaintAll(), WindowPixels(m_host.m_hWnd));
    EXPECT_EQ(Bar(shown, 5, 3), kBackground);
    EXPECT_EQ(Bar(shown, 300, 3), kBackground);
    // The first erase waits for the images.
    EXPECT_TRUE(CMyProgressCtrl::s_backPending);
}

TEST(ProgressBarImages, DrawResourceImageIsOneToOneOverTheSpan)
{
    HMODULE self = ::GetModuleHandleW(nullptr);
    const COLORREF beneath = RGB(1, 2, 3);
    MemoryCanvas canvas(420, 20, beneath);
    // Columns 100 to 159 of the fill, all eight rows, whatever the rectangle's height.
    const RECT span = {100, 0, 160, 3};
    EXPECT_TRUE(CMyProgressCtrl::DrawResourceImage(canvas.Dc(), self, L"PNG", IDB_PROGRESS_BAR, span));
    for (int y = 0; y < 8; ++y) {
        EXPECT_EQ(canvas.At(99, y), beneath) << y;
        EXPECT_EQ(canvas.At(100, y), SkinPixel(IDB_PROGRESS_BAR, 100, y)) << y;
        EXPECT_EQ(canvas.At(159, y), SkinPixel(IDB_PROGRESS_BAR, 159, y)) << y;
        EXPECT_EQ(canvas.At(160, y), beneath) << y;
    }
    EXPECT_EQ(canvas.At(130, 8), beneath);

    // Nothing to draw: no resource, no module, a resource that is no image.
    MemoryCanvas untouched(420, 20, beneath);
    const RECT all = {0, 0, 420, 20};
    EXPECT_FALSE(CMyProgressCtrl::DrawResourceImage(untouched.Dc(), self, L"PNG", 152, all));
    EXPECT_FALSE(CMyProgressCtrl::DrawResourceImage(untouched.Dc(), nullptr, L"PNG", IDB_PROGRESS_BAR, all));
    EXPECT_FALSE(CMyProgressCtrl::DrawResourceImage(untouched.Dc(), self, L"PNG", 0, all));
    EXPECT_FALSE(CMyProgressCtrl::DrawResourceImage(untouched.Dc(), self, RT_GROUP_ICON, IDR_MAINFRAME, all));
    EXPECT_TRUE(untouched.AllAre(beneath));
}

}  // namespace
