// CImage: decoding a PNG through GDI+ into a DIB section by the decoding
// rule, pixel addressing, and drawing with and without per-pixel alpha.
#include "framework/Image.h"

#include <gtest/gtest.h>

#include "controls/PngImage.h"
#include "controls/Premultiply.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

// Distinct colours with every kind of alpha, three wide and two high.
const std::vector<Rgba> kPixels = {
    {200, 100, 50, 128}, {10, 20, 30, 255}, {255, 255, 255, 0},
    {0, 0, 255, 64},     {90, 180, 240, 1}, {1, 2, 3, 254},
};

const BYTE* Pixel(const CImage& image, int x, int y)
{
    return static_cast<const BYTE*>(image.GetPixelAddress(x, y));
}

TEST(Image, ColourType6DecodesTo32BitsWithStraightAlpha)
{
    CImage image;
    ASSERT_EQ(image.Load(StreamOver(BuildPng(3, 2, true, kPixels)).Get()), S_OK);
    EXPECT_EQ(image.GetWidth(), 3);
    EXPECT_EQ(image.GetHeight(), 2);
    EXPECT_EQ(image.GetBPP(), 32);
    EXPECT_TRUE(image.HasAlphaChannel());
    EXPECT_EQ(image.GetPitch(), -12);  // bottom-up
    EXPECT_EQ(image.GetBits(), image.GetPixelAddress(0, 0));
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            const Rgba& p = kPixels[static_cast<size_t>(y * 3 + x)];
            const BYTE* stored = Pixel(image, x, y);
            SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
            // Not premultiplied by the decoder: even the transparent white stays white.
            EXPECT_EQ(stored[0], p.b);
            EXPECT_EQ(stored[1], p.g);
            EXPECT_EQ(stored[2], p.r);
            EXPECT_EQ(stored[3], p.a);
        }
    }
}

TEST(Image, ColourType2DecodesTo24BitsWithoutAlpha)
{
    CImage image;
    ASSERT_EQ(image.Load(StreamOver(BuildPng(3, 2, false, kPixels)).Get()), S_OK);
    EXPECT_EQ(image.GetBPP(), 24);
    EXPECT_FALSE(image.HasAlphaChannel());
    EXPECT_EQ(image.GetPitch(), -12);  // 9 bytes padded to 12
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            const Rgba& p = kPixels[static_cast<size_t>(y * 3 + x)];
            const BYTE* stored = Pixel(image, x, y);
            EXPECT_EQ(stored[0], p.b);
            EXPECT_EQ(stored[1], p.g);
            EXPECT_EQ(stored[2], p.r);
        }
    }
}

TEST(Image, UndecodableBytesLeaveAnEmptyImage)
{
    for (const std::string& bytes : {std::string(), std::string("not a picture at all"),
                                     BuildPng(3, 2, true, kPixels).substr(0, 40)}) {
        CImage image;
        image.Create(4, 4, 32, CImage::createAlphaChannel);  // what was there goes
        EXPECT_NE(image.Load(StreamOver(bytes).Get()), S_OK);
        EXPECT_TRUE(image.IsNull());
        EXPECT_EQ(image.GetWidth(), 0);
        EXPECT_EQ(image.GetHeight(), 0);
        EXPECT_EQ(image.GetBPP(), 0);
        EXPECT_FALSE(image.HasAlphaChannel());
    }
}

TEST(Image, PremultiplyAlphaScalesThirtyTwoBitImagesOnly)
{
    CImage alpha;
    ASSERT_EQ(alpha.Load(StreamOver(BuildPng(3, 2, true, kPixels)).Get()), S_OK);
    PremultiplyAlpha(alpha);
    const BYTE* first = Pixel(alpha, 0, 0);  // (200, 100, 50, 128)
    EXPECT_EQ(first[0], 25);
    EXPECT_EQ(first[1], 50);
    EXPECT_EQ(first[2], 100);
    EXPECT_EQ(first[3], 128);
    const BYTE* clear = Pixel(alpha, 2, 0);  // white at alpha 0
    EXPECT_EQ(clear[0] | clear[1] | clear[2], 0);
    const BYTE* almost = Pixel(alpha, 2, 1);  // (1, 2, 3, 254)
    EXPECT_EQ(almost[0], 2);
    EXPECT_EQ(almost[1], 1);
    EXPECT_EQ(almost[2], 0);

    CImage opaque;
    ASSERT_EQ(opaque.Load(StreamOver(BuildPng(3, 2, false, kPixels)).Get()), S_OK);
    PremultiplyAlpha(opaque);
    EXPECT_EQ(Pixel(opaque, 0, 0)[0], 50);
    EXPECT_EQ(Pixel(opaque, 0, 0)[2], 200);
}

// AlphaBlend's rule for premultiplied colours: source + destination x (255 - alpha) / 255.
COLORREF Blended(const Rgba& straight, COLORREF under)
{
    auto channel = [&](uint8_t c, int d) {
        return PremultipliedChannel(c, straight.a) + d * (255 - straight.a) / 255;
    };
    return RGB(channel(straight.r, GetRValue(under)), channel(straight.g, GetGValue(under)),
               channel(straight.b, GetBValue(under)));
}

TEST(Image, AlphaImageBlendsOverWhatIsThere)
{
    CImage image;
    ASSERT_EQ(image.Load(StreamOver(BuildPng(3, 2, true, kPixels)).Get()), S_OK);
    PremultiplyAlpha(image);
    const COLORREF under = RGB(40, 160, 220);
    MemoryCanvas canvas(5, 4, under);
    const RECT destination = {1, 1, 4, 3};
    const RECT source = {0, 0, 3, 2};
    ASSERT_TRUE(image.Draw(canvas.Dc(), destination, source));
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            const COLORREF expected = Blended(kPixels[static_cast<size_t>(y * 3 + x)], under);
            const COLORREF drawn = canvas.At(1 + x, 1 + y);
            EXPECT_TRUE(Near(drawn, expected)) << x << "," << y << ": " << Describe(drawn) << " for "
                                               << Describe(expected);
        }
    }
    // Outside the destination nothing changed.
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(canvas.At(x, 0), under);
        EXPECT_EQ(canvas.At(x, 3), under);
    }
    EXPECT_EQ(canvas.At(0, 1), under);
    EXPECT_EQ(canvas.At(4, 2), under);
}

TEST(Image, ImageWithoutAlphaIsCopiedAndScaled)
{
    CImage image;
    ASSERT_EQ(image.Load(StreamOver(BuildPng(3, 2, false, kPixels)).Get()), S_OK);
    const COLORREF under = RGB(40, 160, 220);
    MemoryCanvas canvas(6, 4, under);
    // Twice the size: every source pixel covers two by two.
    ASSERT_TRUE(image.Draw(canvas.Dc(), 0, 0, 6, 4, 0, 0, 3, 2));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            const Rgba& p = kPixels[static_cast<size_t>((y / 2) * 3 + x / 2)];
            // The alpha of the fixture's pixels plays no part: a plain copy.
            EXPECT_EQ(canvas.At(x, y), RGB(p.r, p.g, p.b)) << x << "," << y;
        }
    }
}

TEST(Image, EmptyImageDrawsNothing)
{
    CImage image;
    MemoryCanvas canvas(4, 4, RGB(1, 2, 3));
    EXPECT_FALSE(image.Draw(canvas.Dc(), 0, 0));
    EXPECT_FALSE(image.Draw(canvas.Dc(), 0, 0, 4, 4, 0, 0, 4, 4));
    EXPECT_TRUE(canvas.AllAre(RGB(1, 2, 3)));
}

}  // namespace
