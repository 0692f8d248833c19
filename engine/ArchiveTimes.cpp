#include "engine/ArchiveTimes.h"

namespace {

constexpr uint64_t kTicksPerSecond = 10000000;
constexpr int64_t kSecondsFrom1601To1970 = 11644473600;

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1601-01-01 to the given date (proleptic Gregorian).
int64_t DaysSince1601(int year, int month, int day)
{
    const int64_t yearsBefore = year - 1601;
    int64_t days = yearsBefore * 365 + yearsBefore / 4 - yearsBefore / 100 + yearsBefore / 400;
    for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
    return days + day - 1;
}

uint32_t ReadLittle16(const uint8_t* p) { return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8); }

int32_t ReadLittleSigned32(const uint8_t* p)
{
    const uint32_t value = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    return static_cast<int32_t>(value);
}

}  // namespace

CivilTime DecodeDosDateTime(uint32_t dosDateTime)
{
    const uint32_t date = dosDateTime >> 16;
    const uint32_t time = dosDateTime & 0xFFFFu;
    CivilTime civil;
    civil.year = static_cast<int>(date >> 9) + 1980;
    civil.month = static_cast<int>((date >> 5) & 15u);
    civil.day = static_cast<int>(date & 31u);
    civil.hour = static_cast<int>(time >> 11);
    civil.minute = static_cast<int>((time >> 5) & 63u);
    civil.second = static_cast<int>(time & 31u) * 2;
    return civil;
}

bool CivilTimeToFileTime(const CivilTime& time, uint64_t* fileTime)
{
    if (time.year < 1601 || time.year > 30827 || time.month < 1 || time.month > 12 || time.day < 1 ||
        time.day > DaysInMonth(time.year, time.month) || time.hour < 0 || time.hour > 23 || time.minute < 0 ||
        time.minute > 59 || time.second < 0 || time.second > 59) {
        return false;
    }
    const int64_t seconds = DaysSince1601(time.year, time.month, time.day) * 86400 + time.hour * 3600 +
                            time.minute * 60 + time.second;
    *fileTime = static_cast<uint64_t>(seconds) * kTicksPerSecond;
    return true;
}

uint64_t UnixTimeToFileTime(int32_t unixTime)
{
    // Every 32-bit Unix time lies after 1601, so the sum is never negative.
    return static_cast<uint64_t>(static_cast<int64_t>(unixTime) + kSecondsFrom1601To1970) * kTicksPerSecond;
}

void ApplyExtendedTimestamp(const uint8_t* extra, size_t length, ItemTimes* times)
{
    size_t position = 0;
    while (position + 4 < length) {
        const uint32_t id = ReadLittle16(extra + position);
        const size_t dataSize = ReadLittle16(extra + position + 2);
        if (id != kExtendedTimestampId) {
            position += 4 + dataSize;
            continue;
        }
        if (dataSize == 0) return;  // no flags byte of its own
        const size_t blockEnd = position + 4 + dataSize < length ? position + 4 + dataSize : length;
        const uint8_t flags = extra[position + 4];
        size_t cursor = position + 5;
        uint64_t* const targets[3] = {&times->modification, &times->access, &times->creation};
        for (unsigned bit = 0; bit < 3; ++bit) {
            if ((flags & (1u << bit)) == 0) continue;
            if (blockEnd - cursor < 4) return;
            *targets[bit] = UnixTimeToFileTime(ReadLittleSigned32(extra + cursor));
            cursor += 4;
        }
        return;
    }
}

ItemTimes DeriveItemTimes(uint32_t dosDateTime, const uint8_t* extra, size_t extraLength,
                          LocalToUtcConversion localToUtc)
{
    uint64_t dosTime = 0;
    if (!localToUtc(DecodeDosDateTime(dosDateTime), &dosTime)) dosTime = 0;
    ItemTimes times{dosTime, dosTime, dosTime};
    ApplyExtendedTimestamp(extra, extraLength, &times);
    return times;
}
