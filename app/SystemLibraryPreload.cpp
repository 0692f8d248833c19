#include "app/SystemLibraryPreload.h"

#include "framework/SystemLibrary.h"

namespace {

// Measured with Wine's +loaddll trace over every path (propsys and
// windowscodecs come through COM, whose registration may name a library
// without its folder; dnsapi with iphlpapi), and what Windows' own
// libraries load by name on the same paths (the window's theme and
// composition, version resources, the shell's property system and image
// codecs, accessibility, the user profile, the compatibility layer).
const wchar_t* const kLibrariesLoadedByName[] = {
    L"propsys.dll",  L"windowscodecs.dll", L"dnsapi.dll", L"uxtheme.dll", L"dwmapi.dll", L"version.dll",
    L"cryptbase.dll", L"profapi.dll",      L"oleacc.dll", L"userenv.dll", L"apphelp.dll",
};

}  // namespace

void PreloadSystemLibraries()
{
    // Kept loaded to the process's end: that is the point.
    for (const wchar_t* name : kLibrariesLoadedByName) (void)LoadSystemLibrary(name);
}
