#include "tools/tn-pack/AnsiName.h"

#include <windows.h>

std::optional<std::string> EncodeAnsiExactly(std::wstring_view name)
{
    if (name.empty()) return std::string();
    const int length = static_cast<int>(name.size());
    // UTF-8 as the ANSI code page takes neither flag nor a default character.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const usedDefaultOut = utf8 ? nullptr : &usedDefault;
    const int size = WideCharToMultiByte(CP_ACP, flags, name.data(), length, nullptr, 0, nullptr, usedDefaultOut);
    if (size <= 0 || usedDefault) return std::nullopt;
    std::string bytes(static_cast<size_t>(size), '\0');
    if (WideCharToMultiByte(CP_ACP, flags, name.data(), length, &bytes[0], size, nullptr, usedDefaultOut) != size ||
        usedDefault) {
        return std::nullopt;
    }

    // The reader's own decoding must give the name back.
    std::wstring decoded(name.size(), L'\0');
    const int decodedLength =
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, &decoded[0], static_cast<int>(decoded.size()));
    if (decodedLength != length || std::wstring_view(decoded) != name) return std::nullopt;
    return bytes;
}

unsigned AnsiCodePage() { return GetACP(); }
