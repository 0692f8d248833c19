#pragma once
// How the fuzz targets that take UTF-16 text read their bytes, and the
// inverse their seed writers use: two bytes a unit, low byte first; an odd
// last byte is left out. Only the low 16 bits of each wchar_t count.

#include <cstddef>
#include <cstdint>
#include <string>

namespace tn::test {

inline std::wstring UnitsFromBytes(const uint8_t* data, size_t size)
{
    std::wstring units;
    units.reserve(size / 2);
    for (size_t i = 0; i + 1 < size; i += 2) {
        units.push_back(static_cast<wchar_t>(data[i] | (static_cast<unsigned>(data[i + 1]) << 8)));
    }
    return units;
}

inline std::string BytesFromUnits(const std::wstring& units)
{
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (const wchar_t unit : units) {
        bytes.push_back(static_cast<char>(static_cast<uint32_t>(unit) & 0xFF));
        bytes.push_back(static_cast<char>((static_cast<uint32_t>(unit) >> 8) & 0xFF));
    }
    return bytes;
}

}  // namespace tn::test
