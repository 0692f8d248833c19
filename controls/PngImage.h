#pragma once
// Skin images from the program's "PNG" resources.

#include <windows.h>

#include "framework/Image.h"

// Decodes "PNG" resource nID of the program's own executable into a new
// image the caller owns, premultiplied when it has 32 bits per pixel. A
// missing or undecodable resource gives an empty image (0 x 0) that draws
// nothing; null only when no image object can be allocated. GDI+ must be
// running.
CImage* LoadPngImage(WORD nID);
// The same from a given module.
CImage* LoadPngImageFrom(HMODULE module, WORD nID);

// Scales the colours of a 32-bit image by their alpha, in place, as
// AlphaBlend expects them. Images of any other depth are left as they are.
void PremultiplyAlpha(CImage& image);
