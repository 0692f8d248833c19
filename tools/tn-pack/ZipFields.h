#pragma once
// The fields tn-pack writes for each entry, as the installer's reader takes
// them back: host MS-DOS, DOS attributes, the DOS date and time, and a "UT"
// block with the modification time to the second. Platform-free.

#include "engine/ArchiveTimes.h"
#include "tools/tn-pack/PackEntry.h"

#include <array>
#include <cstdint>
#include <optional>

// Host MS-DOS (high byte 0), ZIP 2.0: the reader takes DOS attributes then.
constexpr uint32_t kVersionMadeByDos = 20;

// A folder's entry carries the folder flag alone; a file keeps its archive,
// read-only, hidden and system flags and nothing else.
uint32_t ExternalAttributesOf(const PackEntry& entry);

// The DOS date and time of a local civil time, date in the high 16 bits.
// Seconds are rounded down to even ones; times before 1980 become
// 1980-01-01 00:00:00 and times after 2107 2107-12-31 23:59:58, the
// format's ends.
uint32_t DosDateTimeOf(const CivilTime& local);

// Whole seconds since 1970 when the file time lies within the 32-bit signed
// Unix time of a "UT" block (1901 to 2038), rounded down.
std::optional<int32_t> UnixTimeOf(uint64_t fileTime);

// "UT" (0x5455), 5 data bytes: flags 1 (modification time only) and the
// time, little-endian. The same block serves the local and central header.
using ExtendedTimestampBlock = std::array<uint8_t, 9>;
ExtendedTimestampBlock MakeExtendedTimestampBlock(int32_t unixTime);
