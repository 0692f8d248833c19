#include "engine/ArchiveNames.h"

#include <array>

namespace {

// The four spellings of a ".." step between separators.
constexpr std::array<std::wstring_view, 4> kParentSteps = {L"\\..\\", L"\\../", L"/../", L"/..\\"};

bool IsDotsAndSpaces(std::wstring_view step)
{
    bool sawDot = false;
    for (wchar_t c : step) {
        if (c == L'.') sawDot = true;
        else if (c != L' ') return false;
    }
    return sawDot;
}

wchar_t Upper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool EqualsIgnoringCase(std::wstring_view text, std::wstring_view upperWord)
{
    if (text.size() != upperWord.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (Upper(text[i]) != upperWord[i]) return false;
    }
    return true;
}

bool IsDeviceDigit(wchar_t c)
{
    // Windows also takes the superscript digits as port numbers.
    return (c >= L'0' && c <= L'9') || c == L'\u00B9' || c == L'\u00B2' || c == L'\u00B3';
}

// Windows reads a step as a device when the part before its first dot,
// trailing spaces ignored, is a device name, whatever follows.
bool IsDeviceName(std::wstring_view step)
{
    std::wstring_view stem = step.substr(0, step.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.remove_suffix(1);
    for (std::wstring_view device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
        if (EqualsIgnoringCase(stem, device)) return true;
    }
    if (stem.size() == 4 && IsDeviceDigit(stem[3])) {
        std::wstring_view prefix = stem.substr(0, 3);
        return EqualsIgnoringCase(prefix, L"COM") || EqualsIgnoringCase(prefix, L"LPT");
    }
    return false;
}

}  // namespace

std::wstring_view SanitiseItemName(std::wstring_view name)
{
    for (;;) {
        if (name.size() >= 2 && name[1] == L':') {
            name.remove_prefix(2);
            continue;
        }
        if (!name.empty() && IsNameSeparator(name[0])) {
            name.remove_prefix(1);
            continue;
        }
        bool dropped = false;
        for (std::wstring_view step : kParentSteps) {
            const size_t at = name.find(step);
            if (at != std::wstring_view::npos) {
                name.remove_prefix(at + step.size());
                dropped = true;
                break;
            }
        }
        if (!dropped) return name;
    }
}

bool IsAbsoluteItemName(std::wstring_view name)
{
    return (!name.empty() && IsNameSeparator(name[0])) || (name.size() >= 2 && name[1] == L':');
}

bool StaysInsideBase(std::wstring_view name)
{
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = start;
        while (end < name.size() && !IsNameSeparator(name[end])) ++end;
        const std::wstring_view step = name.substr(start, end - start);
        if (IsDotsAndSpaces(step) || IsDeviceName(step)) return false;
        start = end + 1;
    }
    return true;
}

ItemNameParts SplitItemName(std::wstring_view name)
{
    const size_t last = name.find_last_of(L"\\/");
    if (last == std::wstring_view::npos) return {std::wstring_view(), name};
    return {name.substr(0, last + 1), name.substr(last + 1)};
}
