#pragma once
// A small PE32+ image laid out by hand, with one resource in a ".rsrc"
// section: the header fix-up's test works on it, its fuzz target starts
// from it. Offsets are the image's own. Beside it, the hostile shapes the
// tests build from it: a resource tree whose entries share directories,
// and a certificate table appended as signing tools append it.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tn::test {

inline constexpr size_t kPe = 0x40;
inline constexpr size_t kFileHeader = kPe + 4;
inline constexpr size_t kOptional = kFileHeader + 20;
inline constexpr size_t kOptionalSize = 240;  // PE32+ with 16 data directories
inline constexpr size_t kChecksum = kOptional + 64;
inline constexpr size_t kSectionTable = kOptional + kOptionalSize;
inline constexpr size_t kResourceRaw = 0x200;
inline constexpr uint32_t kResourceRva = 0x1000;
// The three directories of the one resource: type, name, language.
inline constexpr size_t kDirectories[] = {0x00, 0x18, 0x30};
// The security data directory entry (file offset and size of the
// certificate table).
inline constexpr size_t kSecurityEntry = kOptional + 112 + 4 * 8;

inline void Put16(std::vector<uint8_t>* image, size_t at, uint16_t value)
{
    (*image)[at] = static_cast<uint8_t>(value);
    (*image)[at + 1] = static_cast<uint8_t>(value >> 8);
}

inline void Put32(std::vector<uint8_t>* image, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) (*image)[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

inline uint32_t Get32(const std::vector<uint8_t>& image, size_t at)
{
    return static_cast<uint32_t>(image[at]) | (static_cast<uint32_t>(image[at + 1]) << 8) |
           (static_cast<uint32_t>(image[at + 2]) << 16) | (static_cast<uint32_t>(image[at + 3]) << 24);
}

// A PE32+ image with one ".rsrc" section holding one resource, every time
// stamp set to stamp and the checksum to checksum.
inline std::vector<uint8_t> SmallImage(uint32_t stamp, uint32_t checksum)
{
    std::vector<uint8_t> image(kResourceRaw + 0x200, 0);
    Put16(&image, 0, 0x5A4D);
    Put32(&image, 0x3C, kPe);
    Put32(&image, kPe, 0x00004550);
    Put16(&image, kFileHeader, 0x8664);
    Put16(&image, kFileHeader + 2, 1);
    Put32(&image, kFileHeader + 4, stamp);
    Put16(&image, kFileHeader + 16, kOptionalSize);
    Put16(&image, kOptional, 0x20B);
    Put32(&image, kChecksum, checksum);
    Put32(&image, kOptional + 112 + 2 * 8, kResourceRva);
    Put32(&image, kOptional + 112 + 2 * 8 + 4, 0x60);
    const uint8_t name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
    std::copy(name, name + 8, image.begin() + kSectionTable);
    Put32(&image, kSectionTable + 8, 0x200);
    Put32(&image, kSectionTable + 12, kResourceRva);
    Put32(&image, kSectionTable + 16, 0x200);
    Put32(&image, kSectionTable + 20, kResourceRaw);
    for (size_t level = 0; level < 3; ++level) {
        const size_t directory = kResourceRaw + kDirectories[level];
        Put32(&image, directory + 4, stamp);
        Put16(&image, directory + 14, 1);  // one entry by id
        Put32(&image, directory + 16, level == 0 ? 148 : level == 1 ? 148 : 2052);
        const uint32_t target = level < 2 ? (0x80000000u | static_cast<uint32_t>(kDirectories[level + 1])) : 0x48;
        Put32(&image, directory + 20, target);
    }
    Put32(&image, kResourceRaw + 0x48, kResourceRva + 0x58);  // the data entry: data, size
    Put32(&image, kResourceRaw + 0x4C, 4);
    Put32(&image, kResourceRaw + 0x58, 0x04034B50);
    return image;
}

// SmallImage with its ".rsrc" section's raw data replaced by section
// (padded with zeros to a multiple of 0x200).
inline std::vector<uint8_t> ImageWithResourceSection(std::vector<uint8_t> section, uint32_t stamp)
{
    section.resize((section.size() + 0x1FF) / 0x200 * 0x200);
    std::vector<uint8_t> image = SmallImage(stamp, 0);
    image.resize(kResourceRaw);
    image.insert(image.end(), section.begin(), section.end());
    Put32(&image, kSectionTable + 8, static_cast<uint32_t>(section.size()));
    Put32(&image, kSectionTable + 16, static_cast<uint32_t>(section.size()));
    Put32(&image, kOptional + 112 + 2 * 8 + 4, static_cast<uint32_t>(section.size()));
    return image;
}

// A resource section of three directories, type, name and language, each
// of entries entries, all of which name the one directory below (or, at
// the language level, one data entry): an exhaustive walk reads
// entries + entries^2 + entries^3 of them.
inline std::vector<uint8_t> SharedDirectoriesSection(uint16_t entries, uint32_t stamp)
{
    const size_t directorySize = 16 + 8 * static_cast<size_t>(entries);
    const size_t dataEntry = 3 * directorySize;
    std::vector<uint8_t> section(dataEntry + 16 + 4, 0);
    for (size_t level = 0; level < 3; ++level) {
        const size_t directory = level * directorySize;
        Put32(&section, directory + 4, stamp);
        Put16(&section, directory + 14, entries);
        const uint32_t target =
            level < 2 ? (0x80000000u | static_cast<uint32_t>(directory + directorySize)) : static_cast<uint32_t>(dataEntry);
        for (size_t i = 0; i < entries; ++i) {
            Put32(&section, directory + 16 + 8 * i, static_cast<uint32_t>(i + 1));
            Put32(&section, directory + 20 + 8 * i, target);
        }
    }
    Put32(&section, dataEntry, kResourceRva + static_cast<uint32_t>(dataEntry + 16));
    Put32(&section, dataEntry + 4, 4);
    return section;
}

// image with a certificate table of table bytes (its 8-byte header
// included, padded to 8 as signing tools pad it) appended, and the
// security directory entry naming it.
inline std::vector<uint8_t> SignedImage(std::vector<uint8_t> image, size_t table)
{
    const size_t offset = image.size();
    const size_t padded = (table + 7) / 8 * 8;
    image.resize(offset + padded, 0xA5);
    Put32(&image, offset, static_cast<uint32_t>(table));  // WIN_CERTIFICATE: length, revision 2.0, PKCS#7
    Put16(&image, offset + 4, 0x0200);
    Put16(&image, offset + 6, 0x0002);
    Put32(&image, kSecurityEntry, static_cast<uint32_t>(offset));
    Put32(&image, kSecurityEntry + 4, static_cast<uint32_t>(padded));
    return image;
}

}  // namespace tn::test
