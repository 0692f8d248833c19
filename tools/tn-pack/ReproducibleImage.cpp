#include "tools/tn-pack/ReproducibleImage.h"

#include <cstring>

namespace {

constexpr uint16_t kDosMagic = 0x5A4D;        // "MZ"
constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr size_t kResourceTableIndex = 2;
constexpr size_t kSectionHeaderSize = 40;
constexpr size_t kResourceDirectorySize = 16;
constexpr size_t kResourceEntrySize = 8;
constexpr uint32_t kSubdirectoryFlag = 0x80000000u;
// Type, name and language: a resource tree is three levels deep.
constexpr int kResourceLevels = 3;

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Read32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
void Write32(uint8_t* p, uint32_t value)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

bool Within(size_t size, size_t offset, size_t length) { return offset <= size && length <= size - offset; }

// Where the fields tn-pack sets lie in one image.
struct ImageLayout {
    size_t timeDateStampOffset = 0;
    size_t checksumOffset = 0;
    size_t resourceOffset = 0;  // file offset of the root resource directory
    size_t resourceEnd = 0;     // of the resource section's raw data
};

std::optional<ImageLayout> Locate(const uint8_t* data, size_t size)
{
    if (!Within(size, 0, 64) || Read16(data) != kDosMagic) return std::nullopt;
    const size_t pe = Read32(data + 0x3C);
    if (!Within(size, pe, 24) || Read32(data + pe) != kPeSignature) return std::nullopt;
    const size_t fileHeader = pe + 4;
    const size_t sectionCount = Read16(data + fileHeader + 2);
    const size_t optionalSize = Read16(data + fileHeader + 16);
    const size_t optional = fileHeader + 20;
    if (!Within(size, optional, optionalSize) || optionalSize < 2) return std::nullopt;
    const uint16_t magic = Read16(data + optional);
    size_t directories = 0;
    if (magic == kPe32Magic) directories = optional + 96;
    else if (magic == kPe32PlusMagic) directories = optional + 112;
    else return std::nullopt;
    const size_t resourceEntry = directories + 8 * kResourceTableIndex;
    if (resourceEntry + 8 > optional + optionalSize) return std::nullopt;
    const uint32_t resourceRva = Read32(data + resourceEntry);
    if (resourceRva == 0) return std::nullopt;

    ImageLayout layout;
    layout.timeDateStampOffset = fileHeader + 4;
    layout.checksumOffset = optional + 64;
    const size_t sections = optional + optionalSize;
    if (!Within(size, sections, sectionCount * kSectionHeaderSize)) return std::nullopt;
    for (size_t i = 0; i < sectionCount; ++i) {
        const uint8_t* section = data + sections + i * kSectionHeaderSize;
        const uint32_t virtualAddress = Read32(section + 12);
        const uint32_t rawSize = Read32(section + 16);
        const uint32_t rawOffset = Read32(section + 20);
        if (resourceRva >= virtualAddress && resourceRva - virtualAddress < rawSize &&
            Within(size, rawOffset, rawSize)) {
            layout.resourceOffset = rawOffset + (resourceRva - virtualAddress);
            layout.resourceEnd = static_cast<size_t>(rawOffset) + rawSize;
            return layout;
        }
    }
    return std::nullopt;
}

// Sets the time stamp of the directory at offset (relative to the root) and
// of every directory below it.
void StampDirectories(uint8_t* data, const ImageLayout& layout, size_t offset, int level, uint32_t stamp)
{
    const size_t directory = layout.resourceOffset + offset;
    if (level >= kResourceLevels || directory > layout.resourceEnd ||
        layout.resourceEnd - directory < kResourceDirectorySize) {
        return;
    }
    Write32(data + directory + 4, stamp);
    const size_t entries = static_cast<size_t>(Read16(data + directory + 12)) + Read16(data + directory + 14);
    for (size_t i = 0; i < entries; ++i) {
        const size_t entry = directory + kResourceDirectorySize + i * kResourceEntrySize;
        if (layout.resourceEnd - entry < kResourceEntrySize) return;
        const uint32_t target = Read32(data + entry + 4);
        if ((target & kSubdirectoryFlag) != 0) {
            StampDirectories(data, layout, target & ~kSubdirectoryFlag, level + 1, stamp);
        }
    }
}

}  // namespace

std::optional<ImageStamps> ReadImageStamps(const uint8_t* data, size_t size)
{
    const std::optional<ImageLayout> layout = Locate(data, size);
    if (!layout || layout->resourceEnd - layout->resourceOffset < kResourceDirectorySize) return std::nullopt;
    ImageStamps stamps;
    stamps.timeDateStamp = Read32(data + layout->timeDateStampOffset);
    stamps.resourceTimeDateStamp = Read32(data + layout->resourceOffset + 4);
    stamps.hasChecksum = Read32(data + layout->checksumOffset) != 0;
    return stamps;
}

bool ApplyImageStamps(uint8_t* data, size_t size, const ImageStamps& stamps)
{
    const std::optional<ImageLayout> layout = Locate(data, size);
    if (!layout) return false;
    Write32(data + layout->timeDateStampOffset, stamps.timeDateStamp);
    StampDirectories(data, *layout, 0, 0, stamps.resourceTimeDateStamp);
    const uint32_t checksum = stamps.hasChecksum ? ComputeImageChecksum(data, size, layout->checksumOffset) : 0;
    Write32(data + layout->checksumOffset, checksum);
    return true;
}

uint32_t ComputeImageChecksum(const uint8_t* data, size_t size, size_t checksumOffset)
{
    // The checksum field's own bytes count as 0.
    const auto byteAt = [&](size_t i) -> uint32_t {
        return i >= size || (i >= checksumOffset && i - checksumOffset < 4) ? 0 : data[i];
    };
    uint64_t sum = 0;
    for (size_t i = 0; i < size; i += 2) {
        sum += byteAt(i) | (byteAt(i + 1) << 8);
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint32_t>(sum + size);
}
