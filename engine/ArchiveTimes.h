#pragma once
// An entry's three file times: the DOS date-time of the central directory,
// read as local time, then the "UT" (extended timestamp) block of the local
// extra field where it has one. Platform-free: the local-to-UTC step is
// passed in (the Windows edge uses the system's own conversion).

#include <cstddef>
#include <cstdint>

struct CivilTime {
    int year;
    int month;   // 1 to 12
    int day;     // 1 to 31
    int hour;
    int minute;
    int second;
};

struct ItemTimes {
    uint64_t modification;
    uint64_t access;
    uint64_t creation;
};

// Converts a local civil time to a UTC file time; false when the time is
// not a valid one.
using LocalToUtcConversion = bool (*)(const CivilTime& local, uint64_t* utcFileTime);

constexpr uint16_t kExtendedTimestampId = 0x5455;  // "UT"

// The fields as stored: date in the high 16 bits, time in the low 16 bits,
// seconds in steps of two. No range check: invalid values stay as they are.
CivilTime DecodeDosDateTime(uint32_t dosDateTime);

// The file time of a civil time taken as UTC, with the same checks as the
// system's SystemTimeToFileTime (years 1601 to 30827, real calendar dates,
// hours below 24, minutes and seconds below 60).
bool CivilTimeToFileTime(const CivilTime& time, uint64_t* fileTime);

uint64_t UnixTimeToFileTime(int32_t unixTime);

// Walks the extra field up to its first "UT" block and replaces the times
// its flags announce (bit 0 modification, bit 1 access, bit 2 creation). A
// block shorter than its flags announce gives only the times that lie wholly
// inside it; nothing is read past the block or the field.
void ApplyExtendedTimestamp(const uint8_t* extra, size_t length, ItemTimes* times);

// All three times from the DOS date-time (0 when it is not a valid time: a
// zero time leaves a file's own time alone), then the "UT" block.
ItemTimes DeriveItemTimes(uint32_t dosDateTime, const uint8_t* extra, size_t extraLength,
                          LocalToUtcConversion localToUtc);
