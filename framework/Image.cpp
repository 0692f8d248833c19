#include "framework/Image.h"

#include <cstring>

#include "framework/GdiplusHandles.h"
#include "framework/Handles.h"

namespace {
using namespace Gdiplus::DllExports;

// Bytes in one stored row: rows of a DIB are padded to whole 32-bit words.
int StoredRowBytes(int width, int bitsPerPixel)
{
    return ((width * bitsPerPixel + 31) / 32) * 4;
}
}  // namespace

CImage::~CImage()
{
    Destroy();
}

BOOL CImage::Create(int nWidth, int nHeight, int nBPP, DWORD dwFlags)
{
    Destroy();
    if (nWidth <= 0 || nHeight <= 0 || (nBPP != 24 && nBPP != 32)) return FALSE;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = nWidth;
    info.bmiHeader.biHeight = nHeight;  // positive: bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(nBPP);
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) {
        if (bitmap != nullptr) ::DeleteObject(bitmap);
        return FALSE;
    }

    const int stride = StoredRowBytes(nWidth, nBPP);
    m_hBitmap = bitmap;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nBPP = nBPP;
    m_nPitch = -stride;
    m_pBits = static_cast<BYTE*>(bits) + static_cast<ptrdiff_t>(stride) * (nHeight - 1);
    m_bHasAlphaChannel = nBPP == 32 && (dwFlags & createAlphaChannel) != 0;
    return TRUE;
}

void CImage::Destroy()
{
    if (m_hBitmap != nullptr) ::DeleteObject(m_hBitmap);
    m_hBitmap = nullptr;
    m_pBits = nullptr;
    m_nWidth = m_nHeight = m_nBPP = m_nPitch = 0;
    m_bHasAlphaChannel = false;
}

void* CImage::GetPixelAddress(int x, int y)
{
    return static_cast<BYTE*>(m_pBits) + static_cast<ptrdiff_t>(y) * m_nPitch + x * (m_nBPP / 8);
}

const void* CImage::GetPixelAddress(int x, int y) const
{
    return static_cast<const BYTE*>(m_pBits) + static_cast<ptrdiff_t>(y) * m_nPitch + x * (m_nBPP / 8);
}

HRESULT CImage::Load(IStream* pStream)
{
    Destroy();
    if (pStream == nullptr) return E_POINTER;
    tn::UniqueGdiplusBitmap bitmap;
    if (GdipCreateBitmapFromStream(pStream, bitmap.put()) != Gdiplus::Ok) return E_FAIL;

    UINT width = 0, height = 0;
    Gdiplus::PixelFormat format = 0;
    if (GdipGetImageWidth(bitmap.get(), &width) != Gdiplus::Ok ||
        GdipGetImageHeight(bitmap.get(), &height) != Gdiplus::Ok ||
        GdipGetImagePixelFormat(bitmap.get(), &format) != Gdiplus::Ok) {
        return E_FAIL;
    }
    const bool alpha = Gdiplus::IsAlphaPixelFormat(format) != FALSE;
    const int bitsPerPixel = alpha ? 32 : 24;
    if (!Create(static_cast<int>(width), static_cast<int>(height), bitsPerPixel, alpha ? createAlphaChannel : 0)) {
        return E_OUTOFMEMORY;
    }

    // GDI+ converts to the layout of the DIB: 32-bit straight ARGB or 24-bit RGB,
    // both blue first in memory.
    const Gdiplus::GpRect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data = {};
    if (GdipBitmapLockBits(bitmap.get(), &all, Gdiplus::ImageLockModeRead,
                           alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB, &data) != Gdiplus::Ok) {
        Destroy();
        return E_FAIL;
    }
    const size_t rowBytes = static_cast<size_t>(m_nWidth) * static_cast<size_t>(bitsPerPixel / 8);
    for (int y = 0; y < m_nHeight; ++y) {
        const BYTE* source = static_cast<const BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride;
        memcpy(GetPixelAddress(0, y), source, rowBytes);
    }
    (void)GdipBitmapUnlockBits(bitmap.get(), &data);
    return S_OK;
}

BOOL CImage::Draw(HDC hDestDC, int xDest, int yDest, int nDestWidth, int nDestHeight, int xSrc, int ySrc,
                  int nSrcWidth, int nSrcHeight) const
{
    if (IsNull() || hDestDC == nullptr) return FALSE;
    tn::UniqueMemoryDc source(::CreateCompatibleDC(hDestDC));
    if (!source) return FALSE;
    tn::SelectedObject selected(source.get(), m_hBitmap);
    if (m_bHasAlphaChannel) {
        const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        return ::AlphaBlend(hDestDC, xDest, yDest, nDestWidth, nDestHeight, source.get(), xSrc, ySrc, nSrcWidth,
                            nSrcHeight, blend);
    }
    return ::StretchBlt(hDestDC, xDest, yDest, nDestWidth, nDestHeight, source.get(), xSrc, ySrc, nSrcWidth,
                        nSrcHeight, SRCCOPY);
}

BOOL CImage::Draw(HDC hDestDC, const RECT& rectDest, const RECT& rectSrc) const
{
    return Draw(hDestDC, rectDest.left, rectDest.top, rectDest.right - rectDest.left, rectDest.bottom - rectDest.top,
                rectSrc.left, rectSrc.top, rectSrc.right - rectSrc.left, rectSrc.bottom - rectSrc.top);
}

BOOL CImage::Draw(HDC hDestDC, int xDest, int yDest) const
{
    return Draw(hDestDC, xDest, yDest, m_nWidth, m_nHeight, 0, 0, m_nWidth, m_nHeight);
}
