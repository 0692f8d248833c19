#pragma once
// CImage: a bitmap in a DIB section, as far as the program uses MFC's class.
// Rows are stored bottom-up, so GetPitch is negative and GetBits points at
// the top row; GetPixelAddress(x, y) counts rows from the top either way.
// A 32-bit pixel is blue, green, red, alpha.

#include <windows.h>
#include <objidl.h>

class CImage {
public:
    // Create's flag for a 32-bit image whose fourth byte is alpha.
    static constexpr DWORD createAlphaChannel = 0x01;

    CImage() = default;
    ~CImage();
    CImage(const CImage&) = delete;
    CImage& operator=(const CImage&) = delete;

    BOOL Create(int nWidth, int nHeight, int nBPP, DWORD dwFlags = 0);
    void Destroy();

    // Decodes an image through GDI+, which the caller keeps running. An
    // image with alpha becomes 32 bits per pixel with the alpha flag, colours
    // not premultiplied; any other becomes 24 bits without it. On failure
    // the image is left empty.
    HRESULT Load(IStream* pStream);

    bool IsNull() const { return m_hBitmap == nullptr; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetBPP() const { return m_nBPP; }
    int GetPitch() const { return m_nPitch; }
    void* GetBits() { return m_pBits; }
    const void* GetBits() const { return m_pBits; }
    void* GetPixelAddress(int x, int y);
    const void* GetPixelAddress(int x, int y) const;

    void SetHasAlphaChannel(bool bHasAlpha) { m_bHasAlphaChannel = bHasAlpha; }
    bool HasAlphaChannel() const { return m_bHasAlphaChannel; }

    // Scales the source rectangle onto the destination: AlphaBlend with
    // per-pixel alpha over premultiplied colours for an image with the alpha
    // flag, StretchBlt SRCCOPY otherwise. An empty image draws nothing.
    BOOL Draw(HDC hDestDC, int xDest, int yDest, int nDestWidth, int nDestHeight, int xSrc, int ySrc,
              int nSrcWidth, int nSrcHeight) const;
    BOOL Draw(HDC hDestDC, const RECT& rectDest, const RECT& rectSrc) const;
    // At natural size with its top-left corner at (xDest, yDest).
    BOOL Draw(HDC hDestDC, int xDest, int yDest) const;

    operator HBITMAP() const { return m_hBitmap; }

private:
    HBITMAP m_hBitmap = nullptr;
    void* m_pBits = nullptr;  // the top row
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nBPP = 0;
    int m_nPitch = 0;
    bool m_bHasAlphaChannel = false;
};
