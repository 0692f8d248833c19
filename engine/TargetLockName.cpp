#include "engine/TargetLockName.h"

#include <cstdint>

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

}  // namespace

std::wstring TargetLockName(const std::wstring& caseFoldedFolder)
{
    std::wstring folded;
    for (const wchar_t c : caseFoldedFolder) {
        if (IsSeparator(c)) {
            if (!folded.empty() && folded.back() == L'\\') continue;
            folded.push_back(L'\\');
        } else {
            folded.push_back(c);
        }
    }
    while (!folded.empty() && folded.back() == L'\\') folded.pop_back();

    // FNV-1a over the 16-bit units.
    uint64_t hash = 14695981039346656037ull;
    for (const wchar_t c : folded) {
        for (const unsigned byte : {static_cast<unsigned>(c) & 0xFFu, (static_cast<unsigned>(c) >> 8) & 0xFFu}) {
            hash ^= byte;
            hash *= 1099511628211ull;
        }
    }
    static const wchar_t kHexDigits[] = L"0123456789abcdef";
    std::wstring name = L"TNInstaller.TargetFolder.";
    for (int shift = 60; shift >= 0; shift -= 4) name.push_back(kHexDigits[(hash >> shift) & 0xF]);
    return name;
}
