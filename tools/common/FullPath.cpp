#include "tools/common/FullPath.h"

#include <windows.h>

std::optional<std::wstring> FullPathOf(const std::wstring& path)
{
    if (path.empty()) return std::nullopt;
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return std::nullopt;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, &full[0], nullptr);
    if (length == 0 || length >= size) return std::nullopt;
    full.resize(length);
    return full;
}
