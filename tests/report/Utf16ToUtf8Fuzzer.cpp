// UTF-16 units to bytes on any text, against the contract stated apart from
// the code: the standard UTF-8 of the text wherever the text holds no
// surrogate (the library's own converter says what that is); each unit by
// itself, so the bytes of a + b are those of a, then of b; one, two or three
// bytes a unit by its value; only the low 16 bits of a wider wchar_t count;
// and the lenient decoder gives the units back.
#include <codecvt>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <locale>
#include <string>

#include "report/TextConversion.h"
#include "tests/support/FuzzInput.h"

namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

// UCS-2 to UTF-8 by the standard library; refuses surrogates.
std::string LibraryUtf8(const std::wstring& units)
{
    std::u16string text;
    for (const wchar_t unit : units) text.push_back(static_cast<char16_t>(unit));
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wdeprecated-declarations"
    std::wstring_convert<std::codecvt_utf8<char16_t>, char16_t> converter;
    return converter.to_bytes(text);
#pragma clang diagnostic pop
}

std::size_t FormLength(unsigned unit)
{
    return unit < 0x80 ? 1 : unit < 0x800 ? 2 : 3;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring units = tn::test::UnitsFromBytes(data, size);
    const std::string bytes = Utf16ToUtf8(units);

    std::size_t expectedLength = 0;
    bool surrogates = false;
    for (const wchar_t unit : units) {
        expectedLength += FormLength(static_cast<unsigned>(unit));
        surrogates = surrogates || (unit >= 0xD800 && unit <= 0xDFFF);
    }
    Require(bytes.size() == expectedLength);
    if (!surrogates) Require(bytes == LibraryUtf8(units));

    // Unit by unit: a single unit's bytes carry its value in the standard
    // bit layout, shortest form (surrogates included, each by itself).
    std::string joined;
    for (const wchar_t unit : units) {
        const std::string form = Utf16ToUtf8(std::wstring(1, unit));
        const unsigned value = static_cast<unsigned>(unit);
        const auto byte = [&form](std::size_t at) { return static_cast<unsigned>(static_cast<unsigned char>(form[at])); };
        Require(form.size() == FormLength(value));
        if (form.size() == 1) Require(byte(0) == value);
        if (form.size() == 2) Require((byte(0) & 0xE0) == 0xC0 && (byte(1) & 0xC0) == 0x80 &&
                                      (((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F)) == value);
        if (form.size() == 3) Require((byte(0) & 0xF0) == 0xE0 && (byte(1) & 0xC0) == 0x80 && (byte(2) & 0xC0) == 0x80 &&
                                      (((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F)) == value);
        joined += form;
    }
    Require(joined == bytes);

    // Any cut: the halves' bytes side by side.
    const std::size_t cut = units.empty() ? 0 : (size * 7u + data[0]) % (units.size() + 1);
    Require(Utf16ToUtf8(units.substr(0, cut)) + Utf16ToUtf8(units.substr(cut)) == bytes);

    // Bits above the low 16 of a wider wchar_t change nothing.
    if (sizeof(wchar_t) > 2) {
        std::wstring wide = units;
        for (std::size_t at = 0; at < wide.size(); ++at) {
            wide[at] = static_cast<wchar_t>(static_cast<std::uint32_t>(wide[at]) | ((at % 5) << 16) |
                                            (at % 7 == 3 ? 0x80000000u : 0u));
        }
        Require(Utf16ToUtf8(wide) == bytes);
    }

    Require(Utf8ToUtf16(bytes) == units);
    return 0;
}
