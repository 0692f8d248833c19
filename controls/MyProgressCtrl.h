#pragma once
// The skinned progress bar: a track image drawn on the first erase of the
// process and a fill image drawn at every paint over the filled part, both
// "PNG" resources drawn 1:1 at their own height. Range and position are the
// system control's own.

#include "framework/Controls.h"
#include "framework/DC.h"
#include "framework/GdiplusHandles.h"

class CMyProgressCtrl : public CProgressCtrl {
public:
    CMyProgressCtrl() = default;
    ~CMyProgressCtrl() override;

    // Track 150 and fill 151, type "PNG", from the given module.
    void SetImageSource(HMODULE hModule);

    // A new GDI+ image decoded from one found resource; null when the
    // resource cannot be loaded or copied, or does not decode.
    static tn::UniqueGdiplusImage LoadResourceImage(HMODULE hModule, HRSRC hResource);
    // Draws resource (type, id) of the module over the columns rect.left to
    // rect.right, from rect.top down at the image's own height, unscaled and
    // blended over what is there. False when there was no image to draw.
    static bool DrawResourceImage(HDC hDC, HMODULE hModule, const wchar_t* type, UINT id, const RECT& rect);

    UINT m_barImageId = 0;
    UINT m_backImageId = 0;
    wchar_t m_imageType[260] = {};
    HMODULE m_hImageModule = nullptr;

    // Set until the track has been drawn: once per process, shared by every
    // bar. Later erases draw nothing.
    static bool s_backPending;

protected:
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();

    DECLARE_MESSAGE_MAP()
};
