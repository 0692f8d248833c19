// Bytes to UTF-16 units on any bytes, against the contract stated apart from
// the code: wherever the bytes are valid UTF-8 of characters below U+10000
// without surrogates, the result is what the standard library decodes; bytes
// below 0xC0 are units of their own value; a + b decodes to a's units, then
// b's, whenever a ends on a whole sequence, and to nothing when b's last
// sequence is cut off; every unit is 16 bits, and there are at most as many
// units as bytes, at least one for six bytes. The encoder takes every
// decoded text back to the same units.
#include <codecvt>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <locale>
#include <stdexcept>
#include <string>

#include "report/TextConversion.h"

namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

// Strict UTF-8 to UCS-2 by the standard library: false for anything it
// refuses (overlong forms, surrogates, characters past U+FFFF, cut-off or
// malformed sequences).
bool LibraryUcs2(const std::string& bytes, std::wstring* units)
{
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wdeprecated-declarations"
    std::wstring_convert<std::codecvt_utf8<char16_t>, char16_t> converter;
    std::u16string text;
    try {
        text = converter.from_bytes(bytes);
    } catch (const std::range_error&) {
        return false;
    }
#pragma clang diagnostic pop
    units->assign(text.begin(), text.end());
    return true;
}

bool Whole(const std::string& bytes)
{
    return bytes.empty() || !Utf8ToUtf16(bytes).empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::wstring units = Utf8ToUtf16(bytes);

    Require(units.size() <= bytes.size());
    if (!units.empty()) Require(units.size() * 6 >= bytes.size());
    bool belowLeadBytes = true;
    for (const char byte : bytes) belowLeadBytes = belowLeadBytes && static_cast<unsigned char>(byte) < 0xC0;
    if (belowLeadBytes) {
        Require(units.size() == bytes.size());
        for (std::size_t at = 0; at < units.size(); ++at) {
            Require(static_cast<unsigned>(units[at]) == static_cast<unsigned char>(bytes[at]));
        }
    }
    for (const wchar_t unit : units) Require(static_cast<std::uint32_t>(unit) <= 0xFFFF);

    std::wstring strict;
    if (LibraryUcs2(bytes, &strict)) Require(units == strict);

    // Any cut: where the first part ends on a whole sequence, the halves'
    // units side by side, or nothing when the second part is cut off.
    const std::size_t cut = size == 0 ? 0 : (size * 13u + data[0]) % (size + 1);
    const std::string first = bytes.substr(0, cut), second = bytes.substr(cut);
    if (Whole(first)) {
        Require(units == (Whole(second) ? Utf8ToUtf16(first) + Utf8ToUtf16(second) : std::wstring()));
    }

    Require(Utf8ToUtf16(Utf16ToUtf8(units)) == units);
    return 0;
}
