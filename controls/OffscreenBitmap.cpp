#include "controls/OffscreenBitmap.h"

bool OffscreenBitmap::Create(HDC reference, int width, int height)
{
    Reset();
    tn::UniqueMemoryDc dc(::CreateCompatibleDC(reference));
    if (!dc) return false;
    tn::UniqueGdiObject bitmap(::CreateCompatibleBitmap(reference, width, height));
    if (!bitmap) return false;
    m_previousBitmap = ::SelectObject(dc.get(), bitmap.get());
    m_dc = std::move(dc);
    m_bitmap = std::move(bitmap);
    return true;
}

void OffscreenBitmap::Reset()
{
    if (m_dc && m_previousBitmap != nullptr) ::SelectObject(m_dc.get(), m_previousBitmap);
    m_previousBitmap = nullptr;
    m_dc.reset();
    m_bitmap.reset();
}
