#include "tools/tn-pack/PeImage.h"

namespace {

constexpr uint16_t kDosMagic = 0x5A4D;        // "MZ"
constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr size_t kResourceTableIndex = 2;
constexpr size_t kDataDirectoryEntrySize = 8;
constexpr size_t kSectionHeaderSize = 40;

}  // namespace

uint16_t ReadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t ReadLe32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

void WriteLe32(uint8_t* p, uint32_t value)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

std::optional<PeHeaders> LocatePeHeaders(const uint8_t* data, size_t size)
{
    if (!FitsWithin(size, 0, 64) || ReadLe16(data) != kDosMagic) return std::nullopt;
    const size_t pe = ReadLe32(data + 0x3C);
    if (!FitsWithin(size, pe, 24) || ReadLe32(data + pe) != kPeSignature) return std::nullopt;
    const size_t fileHeader = pe + 4;
    const size_t sectionCount = ReadLe16(data + fileHeader + 2);
    const size_t optionalSize = ReadLe16(data + fileHeader + 16);
    const size_t optional = fileHeader + 20;
    if (!FitsWithin(size, optional, optionalSize) || optionalSize < 2) return std::nullopt;
    const uint16_t magic = ReadLe16(data + optional);
    PeHeaders headers;
    if (magic == kPe32Magic) headers.directoriesOffset = optional + 96;
    else if (magic == kPe32PlusMagic) headers.directoriesOffset = optional + 112;
    else return std::nullopt;
    headers.directoriesEnd = optional + optionalSize;
    headers.timeDateStampOffset = fileHeader + 4;
    headers.checksumOffset = optional + 64;
    headers.sectionsOffset = optional + optionalSize;
    headers.sectionCount = sectionCount;
    if (!FitsWithin(size, headers.sectionsOffset, sectionCount * kSectionHeaderSize)) return std::nullopt;
    headers.sectionsEnd = headers.sectionsOffset + sectionCount * kSectionHeaderSize;
    return headers;
}

std::optional<size_t> DataDirectoryEntry(const PeHeaders& headers, size_t index)
{
    const size_t entry = headers.directoriesOffset + kDataDirectoryEntrySize * index;
    if (entry + kDataDirectoryEntrySize > headers.directoriesEnd) return std::nullopt;
    return entry;
}

std::optional<ResourceSection> LocateResourceSection(const uint8_t* data, size_t size, const PeHeaders& headers)
{
    const std::optional<size_t> entry = DataDirectoryEntry(headers, kResourceTableIndex);
    if (!entry) return std::nullopt;
    const uint32_t resourceRva = ReadLe32(data + *entry);
    if (resourceRva == 0) return std::nullopt;
    for (size_t i = 0; i < headers.sectionCount; ++i) {
        const uint8_t* section = data + headers.sectionsOffset + i * kSectionHeaderSize;
        const uint32_t virtualAddress = ReadLe32(section + 12);
        const uint32_t rawSize = ReadLe32(section + 16);
        const uint32_t rawOffset = ReadLe32(section + 20);
        if (resourceRva >= virtualAddress && resourceRva - virtualAddress < rawSize &&
            FitsWithin(size, rawOffset, rawSize)) {
            return ResourceSection{rawOffset + (resourceRva - virtualAddress), static_cast<size_t>(rawOffset) + rawSize};
        }
    }
    return std::nullopt;
}
