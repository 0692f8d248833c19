// The skin's images as the program loads them: every "PNG" resource of the
// shipped program with its size, depth, alpha flag and file format, the
// background bitmap and the icon, and the quiet empty image of a missing id.
#include "controls/PngImage.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "res/resource.h"
#include "tests/controls/ControlsTestSupport.h"

namespace {

constexpr WORD kChinesePrc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);  // 2052

// The shipped program, next to this test.
class ShippedProgram : public testing::Test {
protected:
    static void SetUpTestSuite() { s_program = ShippedProgramModule(); }
    static std::string Bytes(const wchar_t* type, WORD id)
    {
        HRSRC found = ::FindResourceExW(s_program, type, MAKEINTRESOURCEW(id), kChinesePrc);
        if (found == nullptr) return {};
        const char* data = static_cast<const char*>(::LockResource(::LoadResource(s_program, found)));
        return std::string(data, ::SizeofResource(s_program, found));
    }

    static inline HMODULE s_program = nullptr;
};

struct SkinImage {
    WORD id;
    int width, height;
    bool alpha;
};
const SkinImage kSkinImages[] = {
    {IDB_PROGRESS_BACK, 420, 8, true},   {IDB_PROGRESS_BAR, 420, 8, true},
    {IDB_AGREE_ON, 17, 17, true},        {IDB_INSTALL_ON, 168, 30, true},
    {IDB_INSTALL_OFF, 168, 30, true},    {IDB_LICENSE_BOTTOM, 438, 35, false},
    {IDB_LICENSE_CLOSE_MARK, 10, 10, true}, {IDB_LICENSE_CLOSE, 75, 25, true},
    {IDB_LICENSE_TITLE, 438, 36, false}, {IDB_BROWSE_FACE, 16, 16, true},
    {IDB_AGREE_OFF, 17, 17, true},       {IDB_CLOSE, 10, 10, true},
    {IDB_LOGO, 74, 20, true},            {IDB_MINIMIZE, 10, 10, true},
};

uint32_t BigEndian(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

TEST_F(ShippedProgram, EveryPngIsStoredAsListed)
{
    ASSERT_NE(s_program, nullptr);
    for (const SkinImage& listed : kSkinImages) {
        SCOPED_TRACE(listed.id);
        const std::string png = Bytes(L"PNG", listed.id);
        ASSERT_GE(png.size(), 33u);
        EXPECT_EQ(png.compare(0, 8, "\x89PNG\r\n\x1a\n"), 0);
        EXPECT_EQ(png.compare(12, 4, "IHDR"), 0);
        EXPECT_EQ(BigEndian(png, 16), static_cast<uint32_t>(listed.width));
        EXPECT_EQ(BigEndian(png, 20), static_cast<uint32_t>(listed.height));
        EXPECT_EQ(png[24], 8);                      // bits per sample
        EXPECT_EQ(png[25], listed.alpha ? 6 : 2);   // colour type
        EXPECT_EQ(png[28], 0);                      // not interlaced
    }
    EXPECT_TRUE(Bytes(L"PNG", 152).empty()) << "there is no 152";
}

TEST_F(ShippedProgram, EveryPngLoadsWithItsSizeDepthAndAlpha)
{
    ASSERT_NE(s_program, nullptr);
    for (const SkinImage& listed : kSkinImages) {
        SCOPED_TRACE(listed.id);
        // From the shipped file, and from this program's own module, which
        // links the same resources.
        for (HMODULE module : {s_program, ::GetModuleHandleW(nullptr)}) {
            const std::unique_ptr<CImage> image(LoadPngImageFrom(module, listed.id));
            ASSERT_NE(image, nullptr);
            EXPECT_EQ(image->GetWidth(), listed.width);
            EXPECT_EQ(image->GetHeight(), listed.height);
            EXPECT_EQ(image->GetBPP(), listed.alpha ? 32 : 24);
            EXPECT_EQ(image->HasAlphaChannel(), listed.alpha);
        }
        const std::unique_ptr<CImage> own(LoadPngImage(listed.id));
        EXPECT_EQ(own->GetWidth(), listed.width);
    }
}

TEST_F(ShippedProgram, LoadedImagesArePremultiplied)
{
    // No colour byte may exceed its alpha once premultiplied; the white close
    // marks, drawn with soft edges, have every colour byte equal to alpha.
    for (const SkinImage& listed : kSkinImages) {
        if (!listed.alpha) continue;
        SCOPED_TRACE(listed.id);
        const std::unique_ptr<CImage> image(LoadPngImageFrom(s_program, listed.id));
        for (int y = 0; y < image->GetHeight(); ++y) {
            for (int x = 0; x < image->GetWidth(); ++x) {
                const BYTE* p = static_cast<const BYTE*>(image->GetPixelAddress(x, y));
                ASSERT_TRUE(p[0] <= p[3] && p[1] <= p[3] && p[2] <= p[3]) << x << "," << y;
            }
        }
    }
    const std::unique_ptr<CImage> cross(LoadPngImageFrom(s_program, IDB_LICENSE_CLOSE_MARK));
    int partial = 0;
    for (int y = 0; y < cross->GetHeight(); ++y) {
        for (int x = 0; x < cross->GetWidth(); ++x) {
            const BYTE* p = static_cast<const BYTE*>(cross->GetPixelAddress(x, y));
            EXPECT_TRUE(p[0] == p[3] && p[1] == p[3] && p[2] == p[3]) << x << "," << y;
            if (p[3] != 0 && p[3] != 255) ++partial;
        }
    }
    EXPECT_GT(partial, 0) << "soft edges";
}

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int ThreadWindowCount()
{
    int count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST_F(ShippedProgram, MissingPngGivesAnEmptyImageQuietly)
{
    const int windowsBefore = ThreadWindowCount();

    for (WORD id : {WORD{152}, WORD{IDB_BACKGROUND}, WORD{1}, WORD{65535}}) {
        SCOPED_TRACE(id);
        const std::unique_ptr<CImage> image(LoadPngImage(id));
        ASSERT_NE(image, nullptr);
        EXPECT_TRUE(image->IsNull());
        EXPECT_EQ(image->GetWidth(), 0);
        EXPECT_EQ(image->GetHeight(), 0);
        EXPECT_EQ(image->GetBPP(), 0);
        EXPECT_FALSE(image->HasAlphaChannel());
        MemoryCanvas canvas(8, 8, RGB(9, 8, 7));
        EXPECT_FALSE(image->Draw(canvas.Dc(), 0, 0, 8, 8, 0, 0, 8, 8));
        EXPECT_TRUE(canvas.AllAre(RGB(9, 8, 7)));
    }

    EXPECT_EQ(ThreadWindowCount(), windowsBefore) << "no message was shown";
}

TEST_F(ShippedProgram, BackgroundBitmapIsLightGreyWithDarkerCorners)
{
    ASSERT_NE(s_program, nullptr);
    const std::string bitmap = Bytes(RT_BITMAP, IDB_BACKGROUND);
    ASSERT_GE(bitmap.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    memcpy(&header, bitmap.data(), sizeof(header));
    EXPECT_EQ(header.biWidth, 479);
    EXPECT_EQ(header.biHeight, 383);
    EXPECT_EQ(header.biBitCount, 32);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    ASSERT_EQ(bitmap.size(), header.biSize + 479u * 383u * 4u);

    // Rows bottom-up, pixels blue, green, red, unused.
    auto pixel = [&](int x, int y) {
        const size_t at = header.biSize + (static_cast<size_t>(382 - y) * 479 + static_cast<size_t>(x)) * 4;
        return RGB(static_cast<uint8_t>(bitmap[at + 2]), static_cast<uint8_t>(bitmap[at + 1]),
                   static_cast<uint8_t>(bitmap[at]));
    };
    const COLORREF grey = RGB(247, 247, 247);
    EXPECT_EQ(pixel(239, 191), grey);
    EXPECT_EQ(pixel(5, 0), grey);
    EXPECT_EQ(pixel(478, 200), grey);
    for (POINT corner : {POINT{0, 0}, POINT{478, 0}, POINT{0, 382}, POINT{478, 382}}) {
        const COLORREF c = pixel(corner.x, corner.y);
        EXPECT_TRUE(GetRValue(c) < 247 && GetRValue(c) >= 200 && GetRValue(c) == GetGValue(c) &&
                    GetGValue(c) == GetBValue(c))
            << corner.x << "," << corner.y << " " << Describe(c);
    }

    HBITMAP loaded = static_cast<HBITMAP>(
        ::LoadImageW(s_program, MAKEINTRESOURCEW(IDB_BACKGROUND), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(loaded, nullptr);
    BITMAP info = {};
    ::GetObjectW(loaded, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 479);
    EXPECT_EQ(info.bmHeight, 383);
    EXPECT_EQ(info.bmBitsPixel, 32);
    ::DeleteObject(loaded);
}

TEST_F(ShippedProgram, IconGroupHoldsTheUsualSizes)
{
    ASSERT_NE(s_program, nullptr);
    const std::string group = Bytes(RT_GROUP_ICON, IDR_MAINFRAME);
    ASSERT_GE(group.size(), 6u);
    const size_t count = static_cast<uint8_t>(group[4]) | (static_cast<uint8_t>(group[5]) << 8);
    ASSERT_EQ(group.size(), 6 + count * 14);
    std::vector<int> sizes;
    for (size_t i = 0; i < count; ++i) {
        const int width = static_cast<uint8_t>(group[6 + i * 14]);
        sizes.push_back(width == 0 ? 256 : width);
        EXPECT_EQ(static_cast<uint8_t>(group[6 + i * 14 + 6]), 32) << "bits per pixel";
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48, 256}));

    for (int size : {16, 32, 48}) {
        HICON icon = static_cast<HICON>(
            ::LoadImageW(s_program, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, 0));
        EXPECT_NE(icon, nullptr) << size;
        if (icon != nullptr) ::DestroyIcon(icon);
    }
}

}  // namespace
