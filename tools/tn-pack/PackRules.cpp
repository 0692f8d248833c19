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

namespace {

// Windows drops a trailing dot or space from each step of a path it is
// given, so such a name would be installed under another one.
bool HasStepEndingInDotOrSpace(std::wstring_view name)
{
    for (size_t i = 0; i < name.size(); ++i) {
        const bool stepEnds = i + 1 == name.size() || IsNameSeparator(name[i + 1]);
        if (stepEnds && (name[i] == L'.' || name[i] == L' ')) return true;
    }
    return false;
}

}  // namespace

bool IsWrittenAsNamed(std::wstring_view name)
{
    while (!name.empty() && name.back() == L'/') name.remove_suffix(1);
    return !name.empty() && !IsAbsoluteItemName(name) && SanitiseItemName(name) == name && StaysInsideBase(name) &&
           !HasStepEndingInDotOrSpace(name);
}
