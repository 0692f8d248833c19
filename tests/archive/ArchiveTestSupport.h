#pragma once
// Shared by the Windows tests of the reader: an archive built by the test
// and opened in place, and the times its entries are given.

#include "engine/PayloadArchive.h"
#include "tests/archive/ScratchFolder.h"
#include "tests/archive/TestZip.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

// 2021-05-04 11:17:26, the writer's default DOS time, as a UTC file time.
constexpr uint64_t kDefaultDosTimeUtc = 132646006460000000ull;

// The local-to-UTC difference the process applies (0 under TZ=UTC).
inline int64_t LocalBiasTicks()
{
    TIME_ZONE_INFORMATION zone;
    const DWORD kind = GetTimeZoneInformation(&zone);
    int64_t minutes = zone.Bias;
    if (kind == TIME_ZONE_ID_DAYLIGHT) minutes += zone.DaylightBias;
    else if (kind == TIME_ZONE_ID_STANDARD) minutes += zone.StandardBias;
    return minutes * 60 * 10000000ll;
}

inline uint64_t DosUtc(uint64_t localAsUtc) { return static_cast<uint64_t>(static_cast<int64_t>(localAsUtc) + LocalBiasTicks()); }

// Keeps the bytes alive as long as the reader, as the resource is.
struct OpenedArchive {
    std::string bytes;
    std::unique_ptr<CPayloadArchive> archive;

    explicit OpenedArchive(std::string zip) : bytes(std::move(zip))
    {
        archive = CPayloadArchive::OpenFromMemory(bytes.data(), bytes.size());
    }
    CPayloadArchive* operator->() const { return archive.get(); }
    explicit operator bool() const { return archive != nullptr; }
};

inline ArchiveItem Garbage()
{
    ArchiveItem record;
    std::memset(&record, 0xAB, sizeof(record));
    return record;
}

// Whether a record still holds what Garbage() put there.
inline bool IsGarbage(const ArchiveItem& record)
{
    const ArchiveItem garbage = Garbage();
    return std::memcmp(&record, &garbage, sizeof(record)) == 0;
}

inline ArchiveItem ReadOrFail(CPayloadArchive* archive, int index, ArchiveResult* result)
{
    ArchiveItem record = Garbage();
    *result = archive->ReadItem(index, &record);
    return record;
}

// ReadItem then ExtractItem with the record's name, as the worker does.
inline ArchiveResult ExtractAsWorker(CPayloadArchive* archive, int index)
{
    ArchiveItem record;
    std::memset(&record, 0, sizeof(record));
    (void)archive->ReadItem(index, &record);
    return archive->ExtractItem(index, record.name);
}

inline std::string PseudoText(size_t size, uint32_t seed)
{
    static const char* const kWords[] = {"<div class=\"nav\">", "function", "var", "return", "</div>\n", "{", "}",
                                         "color:#333;", "tarnivo", "margin:0 auto;", "\n", "span", "=", ";"};
    std::string out;
    uint32_t state = seed * 2654435761u + 1;
    while (out.size() < size) {
        state = state * 1664525u + 1013904223u;
        out += kWords[(state >> 16) % (sizeof(kWords) / sizeof(kWords[0]))];
        out += ' ';
    }
    out.resize(size);
    return out;
}
