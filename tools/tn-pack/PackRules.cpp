#include "tools/tn-pack/PackRules.h"

#include "app/DefaultInstallFolder.h"
#include "engine/ArchiveNames.h"
#include "engine/ArchivePath.h"

bool FitsUnderDefaultFolder(std::wstring_view name)
{
    // The reader's own path arithmetic: the base folder with "/" appended,
    // then the name; a folder entry without its trailing separator.
    while (!name.empty() && IsNameSeparator(name.back())) name.remove_suffix(1);
    ArchivePath path;
    return MakeBaseFolder(kDefaultInstallFolder, &path) && path.Append(name);
}

bool IsWrittenAsNamed(std::wstring_view name)
{
    while (!name.empty() && name.back() == L'/') name.remove_suffix(1);
    return !name.empty() && !IsAbsoluteItemName(name) && SanitiseItemName(name) == name && StaysInsideBase(name);
}
