// msimg32: the skin's images drawn with their alpha.
#include "framework/SystemImports.h"

TN_SYSTEM_IMPORT_SLOT(L"msimg32.dll", FALSE, BOOL, AlphaBlend, 44,
                      (HDC destination, int destinationX, int destinationY, int destinationWidth,
                       int destinationHeight, HDC source, int sourceX, int sourceY, int sourceWidth,
                       int sourceHeight, BLENDFUNCTION blend),
                      (destination, destinationX, destinationY, destinationWidth, destinationHeight, source, sourceX,
                       sourceY, sourceWidth, sourceHeight, blend))
