// The name rules on arbitrary text: the sanitised name is a suffix that no
// rule applies to any more, and what StaysInsideBase accepts has no step that
// Windows could read as "..".
#include "engine/ArchiveNames.h"
#include "tests/archive/ArchiveNamesFuzzInput.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition) std::abort();
}

bool HasParentStep(std::wstring_view name)
{
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = start;
        while (end < name.size() && !IsNameSeparator(name[end])) ++end;
        if (name.substr(start, end - start) == L"..") return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Biased towards the characters the rules look at.
    const std::wstring name = tn::test::ItemNameFromBytes(data, size);

    const std::wstring_view result = SanitiseItemName(name);
    Check(result.size() <= name.size());
    Check(result == std::wstring_view(name).substr(name.size() - result.size()));
    Check(!IsAbsoluteItemName(result));
    for (std::wstring_view step : {L"\\..\\", L"\\../", L"/../", L"/..\\"}) {
        Check(result.find(step) == std::wstring_view::npos);
    }
    Check(SanitiseItemName(result) == result);

    if (StaysInsideBase(result)) Check(!HasParentStep(result));

    const ItemNameParts parts = SplitItemName(result);
    Check(parts.folderPart.size() + parts.filePart.size() == result.size());
    Check(parts.filePart.find_first_of(L"\\/") == std::wstring_view::npos);
    return 0;
}
