// GDI+: decoding the skin's PNG images and drawing the progress bar's.
#include "framework/SystemImports.h"

#include <objidl.h>
#include <gdiplus.h>

namespace {
constexpr wchar_t kGdiplus[] = L"gdiplus.dll";
}

namespace Gdiplus {

extern "C" {
TN_SYSTEM_IMPORT(kGdiplus, GdiplusNotInitialized, GpStatus, GdiplusStartup,
                 (ULONG_PTR * token, const GdiplusStartupInput* input, GdiplusStartupOutput* output),
                 (token, input, output))

VOID WINAPI GdiplusShutdown(ULONG_PTR token)
{
    const auto shutdown = SystemImport<&GdiplusShutdown>::Address(kGdiplus, "GdiplusShutdown");
    if (shutdown != nullptr) shutdown(token);
}
}  // extern "C"

namespace DllExports {
extern "C" {
TN_SYSTEM_IMPORT(kGdiplus, GdiplusNotInitialized, GpStatus, GdipCreateBitmapFromStream,
                 (IStream * stream, GpBitmap** bitmap), (stream, bitmap))
TN_SYSTEM_IMPORT(kGdiplus, GdiplusNotInitialized, GpStatus, GdipLoadImageFromStream,
                 (IStream * stream, GpImage** image), (stream, image))
TN_SYSTEM_IMPORT(kGdiplus, GdiplusNotInitialized, GpStatus, GdipDisposeImage, (GpImage * image), (image))
TN_SYSTEM_IMPORT(kGdiplus, GdiplusNotInitialized, GpStatus, GdipGetImageWidth, (GpImage * image, UINT* width),
                 (image, width))
TN_SYSTEM_IMPORT(kGdiplus, GdiplusNotInitialized, GpStatus, GdipGetImageHeight, (GpImage * image, UINT* height),
                 (image, height))
TN_SYSTEM_IMPORT(kGdiplus, GdiplusNotInitialized, GpStatus, GdipGetImagePixelFormat,
                 (GpImage * image, PixelFormat* format), (image, format))
TN_SYSTEM_IMPORT(kGdiplus, GdiplusNotInitialized, GpStatus, GdipBitmapLockBits,
                 (GpBitmap * bitmap, const GpRect* rect, UINT flags, PixelFormat format, BitmapData* data),
                 (bitmap, rect, flags, format, data))
TN_SYSTEM_IMPORT(kGdiplus, GdiplusNotInitialized, GpStatus, GdipBitmapUnlockBits,
                 (GpBitmap * bitmap, BitmapData* data), (bitmap, data))
TN_SYSTEM_IMPORT(kGdiplus, GdiplusNotInitialized, GpStatus, GdipCreateFromHDC, (HDC dc, GpGraphics** graphics),
                 (dc, graphics))
TN_SYSTEM_IMPORT(kGdiplus, GdiplusNotInitialized, GpStatus, GdipDeleteGraphics, (GpGraphics * graphics),
                 (graphics))
TN_SYSTEM_IMPORT(kGdiplus, GdiplusNotInitialized, GpStatus, GdipDrawImageRectRectI,
                 (GpGraphics * graphics, GpImage* image, INT destinationX, INT destinationY, INT destinationWidth,
                  INT destinationHeight, INT sourceX, INT sourceY, INT sourceWidth, INT sourceHeight, GpUnit unit,
                  const GpImageAttributes* attributes, DrawImageAbort abort, VOID* abortData),
                 (graphics, image, destinationX, destinationY, destinationWidth, destinationHeight, sourceX, sourceY,
                  sourceWidth, sourceHeight, unit, attributes, abort, abortData))
}  // extern "C"
}  // namespace DllExports

}  // namespace Gdiplus
