#pragma once
// A memory device context with a bitmap of its own selected into it: the
// banner's drawing surface and the area saved under a frame. The bitmap the
// context held before goes back in before both are deleted.

#include <windows.h>

#include "framework/Handles.h"

class OffscreenBitmap {
public:
    OffscreenBitmap() = default;
    ~OffscreenBitmap() { Reset(); }
    OffscreenBitmap(const OffscreenBitmap&) = delete;
    OffscreenBitmap& operator=(const OffscreenBitmap&) = delete;

    // A context compatible with reference holding a width x height bitmap
    // compatible with reference. False, and nothing kept, on failure.
    bool Create(HDC reference, int width, int height);
    void Reset();

    HDC Dc() const { return m_dc.get(); }
    explicit operator bool() const { return m_dc.valid(); }

private:
    tn::UniqueMemoryDc m_dc;
    tn::UniqueGdiObject m_bitmap;
    HGDIOBJ m_previousBitmap = nullptr;
};
