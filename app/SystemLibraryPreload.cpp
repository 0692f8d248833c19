#include "app/SystemLibraryPreload.h"

#include "framework/SystemLibrary.h"

namespace {

const wchar_t* const kLibrariesLoadedByName[] = {
    L"uxtheme.dll",
};

}  // namespace

void PreloadSystemLibraries()
{
    // Kept loaded to the process's end: that is the point.
    for (const wchar_t* name : kLibrariesLoadedByName) (void)LoadSystemLibrary(name);
}
