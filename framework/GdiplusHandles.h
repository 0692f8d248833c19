#pragma once
// Owners for GDI+ objects made through the flat interface, beside the
// system's handle owners (Handles.h). GDI+ must be running while they live.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "framework/Handles.h"

namespace tn {

struct GdiplusImageTraits {
    using Handle = Gdiplus::GpImage*;
    static Handle Null() { return nullptr; }
    static void Release(Handle handle) { (void)Gdiplus::DllExports::GdipDisposeImage(handle); }
};

struct GdiplusBitmapTraits {
    using Handle = Gdiplus::GpBitmap*;
    static Handle Null() { return nullptr; }
    static void Release(Handle handle) { (void)Gdiplus::DllExports::GdipDisposeImage(handle); }
};

struct GdiplusGraphicsTraits {
    using Handle = Gdiplus::GpGraphics*;
    static Handle Null() { return nullptr; }
    static void Release(Handle handle) { (void)Gdiplus::DllExports::GdipDeleteGraphics(handle); }
};

using UniqueGdiplusImage = UniqueResource<GdiplusImageTraits>;
using UniqueGdiplusBitmap = UniqueResource<GdiplusBitmapTraits>;
using UniqueGdiplusGraphics = UniqueResource<GdiplusGraphicsTraits>;

// Runs GDI+ for one scope (tests and tools; the program starts it itself).
class GdiplusSession {
public:
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        m_started = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession()
    {
        if (m_started) Gdiplus::GdiplusShutdown(m_token);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool started() const { return m_started; }

private:
    ULONG_PTR m_token = 0;
    bool m_started = false;
};

}  // namespace tn
