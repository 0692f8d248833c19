#include "framework/EditBrowseRules.h"

#include <cstring>

namespace {
const char kModeOpen[] = "<MFCEditBrowse_Mode>";
const char kModeClose[] = "</MFCEditBrowse_Mode>";
const wchar_t kInvalidNameCharacters[] = L"*?<>|";
// White space as trimming sees it, the same in every build: the ASCII kinds
// and the ideographic space a Chinese input method types.
const wchar_t kWhiteSpace[] = L" \t\r\n\v\f\u3000";

// The file name without drive, folder and extension, as the runtime's path
// splitting gives it: after the last separator, before the last dot.
std::wstring NamePart(const std::wstring& text)
{
    const size_t separator = text.find_last_of(L"\\/");
    size_t start = separator == std::wstring::npos ? 0 : separator + 1;
    if (separator == std::wstring::npos && text.size() >= 2 && text[1] == L':') start = 2;
    const std::wstring name = text.substr(start);
    const size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

bool IsBlank(const std::wstring& text)
{
    return text.find_first_not_of(kWhiteSpace) == std::wstring::npos;
}
}  // namespace

std::optional<EditBrowseMode> BrowseModeFromInitData(const char* data, size_t size)
{
    if (data == nullptr) return std::nullopt;
    const std::string text(data, size);
    const size_t open = text.find(kModeOpen);
    if (open == std::string::npos) return std::nullopt;
    const size_t valueStart = open + strlen(kModeOpen);
    const size_t close = text.find(kModeClose, valueStart);
    if (close == std::string::npos) return std::nullopt;
    const std::string value = text.substr(valueStart, close - valueStart);
    if (value.size() != 1 || value[0] < '0' || value[0] > '3') return std::nullopt;
    return static_cast<EditBrowseMode>(value[0] - '0');
}

FileBrowseStart StartFileBrowse(const std::wstring& text)
{
    FileBrowseStart start;
    if (IsBlank(NamePart(text))) return start;
    if (text.find_first_of(kInvalidNameCharacters) != std::wstring::npos) {
        start.nameIsInvalid = true;
        return start;
    }
    start.presetName = text;
    return start;
}
