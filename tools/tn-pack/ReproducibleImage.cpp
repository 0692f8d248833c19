#include "tools/tn-pack/ReproducibleImage.h"

#include "tools/tn-pack/PeImage.h"

namespace {

constexpr size_t kResourceDirectorySize = 16;

}  // namespace

std::optional<ImageStamps> ReadImageStamps(const uint8_t* data, size_t size)
{
    const std::optional<PeHeaders> headers = LocatePeHeaders(data, size);
    const std::optional<ResourceSection> section = headers ? LocateResourceSection(data, size, *headers) : std::nullopt;
    if (!section || section->end - section->rootOffset < kResourceDirectorySize) return std::nullopt;
    ImageStamps stamps;
    stamps.timeDateStamp = ReadLe32(data + headers->timeDateStampOffset);
    stamps.resourceTimeDateStamp = ReadLe32(data + section->rootOffset + 4);
    stamps.hasChecksum = ReadLe32(data + headers->checksumOffset) != 0;
    return stamps;
}

bool ApplyImageStamps(uint8_t* data, size_t size, const ImageStamps& stamps, ResourceWalk* walk)
{
    const std::optional<PeHeaders> headers = LocatePeHeaders(data, size);
    const std::optional<ResourceSection> section = headers ? LocateResourceSection(data, size, *headers) : std::nullopt;
    if (!section) return false;
    WriteLe32(data + headers->timeDateStampOffset, stamps.timeDateStamp);
    const ResourceWalk stamped = WalkResourceTree(
        data, *section, [&](size_t directory) { WriteLe32(data + directory + 4, stamps.resourceTimeDateStamp); });
    if (walk != nullptr) *walk = stamped;
    const uint32_t checksum = stamps.hasChecksum ? ComputeImageChecksum(data, size, headers->checksumOffset) : 0;
    WriteLe32(data + headers->checksumOffset, checksum);
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
