#include "tools/tn-pack/ZipFields.h"

#include "engine/ArchiveAttributes.h"

namespace {

constexpr uint64_t kTicksPerSecond = 10000000;
constexpr int64_t kSecondsFrom1601To1970 = 11644473600;
constexpr int kFirstDosYear = 1980;
constexpr int kLastDosYear = 2107;

}  // namespace

uint32_t ExternalAttributesOf(const PackEntry& entry)
{
    if (entry.folder) return ArchiveAttribute::Folder;
    return entry.attributes & (ArchiveAttribute::Archive | ArchiveAttribute::ReadOnly | ArchiveAttribute::Hidden |
                               ArchiveAttribute::System);
}

uint32_t DosDateTimeOf(const CivilTime& local)
{
    CivilTime time = local;
    if (time.year < kFirstDosYear) time = CivilTime{kFirstDosYear, 1, 1, 0, 0, 0};
    if (time.year > kLastDosYear) time = CivilTime{kLastDosYear, 12, 31, 23, 59, 58};
    const uint32_t date = (static_cast<uint32_t>(time.year - kFirstDosYear) << 9) |
                          (static_cast<uint32_t>(time.month) << 5) | static_cast<uint32_t>(time.day);
    const uint32_t clock = (static_cast<uint32_t>(time.hour) << 11) | (static_cast<uint32_t>(time.minute) << 5) |
                           static_cast<uint32_t>(time.second / 2);
    return (date << 16) | clock;
}

std::optional<int32_t> UnixTimeOf(uint64_t fileTime)
{
    const int64_t seconds = static_cast<int64_t>(fileTime / kTicksPerSecond) - kSecondsFrom1601To1970;
    if (seconds < INT32_MIN || seconds > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(seconds);
}

ExtendedTimestampBlock MakeExtendedTimestampBlock(int32_t unixTime)
{
    const uint32_t value = static_cast<uint32_t>(unixTime);
    const uint8_t modificationTimeOnly = 1;
    return {static_cast<uint8_t>(kExtendedTimestampId & 0xFF), static_cast<uint8_t>(kExtendedTimestampId >> 8),
            5, 0, modificationTimeOnly,
            static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 24)};
}
