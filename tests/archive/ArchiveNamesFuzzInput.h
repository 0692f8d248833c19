#pragma once
// How the name fuzz target reads its bytes, and the inverse its seeds are
// written with: two bytes a unit, low byte first; a unit below 0xF000 picks
// one of the characters the rules look at, one from 0xF000 up stands for
// the character of its low 12 bits.

#include <cstddef>
#include <cstdint>
#include <string>

namespace tn::test {

inline constexpr wchar_t kNameAlphabet[] = {L'.', L'/', L'\\', L':', L'a', L'C', L' ', L'N', L'U', L'L', L'\u4E2D'};
inline constexpr unsigned kNameAlphabetSize = sizeof(kNameAlphabet) / sizeof(kNameAlphabet[0]);

inline std::wstring ItemNameFromBytes(const uint8_t* data, size_t size)
{
    std::wstring name;
    for (size_t i = 0; i + 1 < size; i += 2) {
        const unsigned unit = static_cast<unsigned>(data[i]) | (static_cast<unsigned>(data[i + 1]) << 8);
        name.push_back(unit < 0xF000 ? kNameAlphabet[unit % kNameAlphabetSize] : static_cast<wchar_t>(unit & 0xFFF));
    }
    return name;
}

// Characters past U+0FFF that are not in the alphabet become its CJK one.
inline std::string BytesFromItemName(const std::wstring& name)
{
    std::string bytes;
    for (const wchar_t character : name) {
        unsigned unit = 0xF000 | (static_cast<unsigned>(character) & 0xFFF);
        for (unsigned index = 0; index < kNameAlphabetSize; ++index) {
            if (kNameAlphabet[index] == character) unit = index;
        }
        if (static_cast<unsigned>(character) > 0xFFF && unit >= 0xF000) unit = kNameAlphabetSize - 1;
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

}  // namespace tn::test
