#include "engine/ArchiveTimes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Block(uint16_t id, const std::string& data)
{
    std::string out;
    out.push_back(static_cast<char>(id & 0xFF));
    out.push_back(static_cast<char>(id >> 8));
    out.push_back(static_cast<char>(data.size() & 0xFF));
    out.push_back(static_cast<char>(data.size() >> 8));
    return out + data;
}

std::string Le32(int32_t value)
{
    const uint32_t v = static_cast<uint32_t>(value);
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                       static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
}

std::string Ut(uint8_t flags, std::vector<int32_t> times)
{
    std::string data(1, static_cast<char>(flags));
    for (int32_t t : times) data += Le32(t);
    return Block(0x5455, data);
}

constexpr uint64_t kUnix1600000000 = 132444736000000000ull;
constexpr uint64_t kUnix1500000000 = 131444736000000000ull;
constexpr uint64_t kUnixMinus1 = 116444735990000000ull;
constexpr uint64_t kUnixMin = static_cast<uint64_t>(-2147483648ll + 11644473600ll) * 10000000ull;

TEST(DecodeDosDateTime, SplitsTheFields)
{
    const CivilTime time = DecodeDosDateTime(0x52A45A2D);
    EXPECT_EQ(2021, time.year);
    EXPECT_EQ(5, time.month);
    EXPECT_EQ(4, time.day);
    EXPECT_EQ(11, time.hour);
    EXPECT_EQ(17, time.minute);
    EXPECT_EQ(26, time.second);
    const CivilTime highest = DecodeDosDateTime(0xFFFFFFFF);
    EXPECT_EQ(2107, highest.year);
    EXPECT_EQ(15, highest.month);
    EXPECT_EQ(31, highest.day);
    EXPECT_EQ(31, highest.hour);
    EXPECT_EQ(63, highest.minute);
    EXPECT_EQ(62, highest.second);
}

TEST(CivilTimeToFileTime, KnownInstantsAndInvalidTimes)
{
    struct Case {
        CivilTime time;
        bool valid;
        uint64_t fileTime;
    };
    const Case cases[] = {
        {{1601, 1, 1, 0, 0, 0}, true, 0},
        {{1970, 1, 1, 0, 0, 0}, true, 116444736000000000ull},
        {{1980, 1, 1, 0, 0, 0}, true, 119600064000000000ull},
        {{2021, 5, 4, 11, 17, 26}, true, 132646006460000000ull},
        {{2020, 2, 29, 0, 0, 0}, true, 132274080000000000ull},
        {{2107, 12, 31, 23, 59, 58}, true, 159992927980000000ull},
        {{2021, 2, 29, 0, 0, 0}, false, 0},
        {{1900, 2, 29, 0, 0, 0}, false, 0},
        {{2021, 4, 31, 0, 0, 0}, false, 0},
        {{2021, 0, 1, 0, 0, 0}, false, 0},
        {{2021, 13, 1, 0, 0, 0}, false, 0},
        {{2021, 1, 0, 0, 0, 0}, false, 0},
        {{2021, 1, 1, 24, 0, 0}, false, 0},
        {{2021, 1, 1, 0, 60, 0}, false, 0},
        {{2021, 1, 1, 0, 0, 62}, false, 0},
        {{1600, 12, 31, 23, 59, 59}, false, 0},
    };
    for (const Case& c : cases) {
        uint64_t fileTime = 12345;
        EXPECT_EQ(c.valid, CivilTimeToFileTime(c.time, &fileTime)) << c.time.year << "-" << c.time.month;
        if (c.valid) {
            EXPECT_EQ(c.fileTime, fileTime) << c.time.year << "-" << c.time.month;
        }
    }
}

TEST(UnixTimeToFileTime, WholeSignedRange)
{
    EXPECT_EQ(116444736000000000ull, UnixTimeToFileTime(0));
    EXPECT_EQ(kUnix1600000000, UnixTimeToFileTime(1600000000));
    EXPECT_EQ(kUnixMinus1, UnixTimeToFileTime(-1));
    EXPECT_EQ(kUnixMin, UnixTimeToFileTime(INT32_MIN));
}

// The conversion passed in: UTC+8, as a machine in China would apply.
bool ChinaLocalToUtc(const CivilTime& local, uint64_t* utc)
{
    uint64_t asUtc = 0;
    if (!CivilTimeToFileTime(local, &asUtc)) return false;
    *utc = asUtc - 8ull * 3600 * 10000000;
    return true;
}

TEST(DeriveItemTimes, DosTimeThroughTheConversionThenExtendedTimestamp)
{
    const uint64_t dos = 132646006460000000ull - 8ull * 3600 * 10000000;
    const std::string ntfs = Block(0x000A, std::string(32, '\x11'));
    struct Case {
        const char* what;
        std::string extra;
        uint64_t modification, access, creation;
    };
    const Case cases[] = {
        {"none", "", dos, dos, dos},
        {"NTFS only", ntfs, dos, dos, dos},
        {"unknown block, then UT", Block(0x7875, "\x01\x04\xE8\x03\x00\x00") + Ut(1, {1600000000}), kUnix1600000000, dos, dos},
        {"all three", Ut(7, {1600000000, 1500000000, -1}), kUnix1600000000, kUnix1500000000, kUnixMinus1},
        {"access only", Ut(2, {1500000000}), dos, kUnix1500000000, dos},
        {"creation only", Ut(4, {-1}), dos, dos, kUnixMinus1},
        {"flags without times", Ut(7, {}), dos, dos, dos},
        {"two of three announced", Ut(7, {1600000000, 1500000000}), kUnix1600000000, kUnix1500000000, dos},
        {"partial time", Ut(1, {}) + "\x01\x02", dos, dos, dos},
        {"no flags byte", Block(0x5455, ""), dos, dos, dos},
        {"higher flag bits ignored", Ut(0xF9, {1600000000}), kUnix1600000000, dos, dos},
        {"only the first UT block", Ut(1, {1600000000}) + Ut(1, {1500000000}), kUnix1600000000, dos, dos},
        {"first UT block empty", Ut(0, {}) + Ut(1, {1500000000}), dos, dos, dos},
    };
    for (const Case& c : cases) {
        const ItemTimes times = DeriveItemTimes(0x52A45A2D, reinterpret_cast<const uint8_t*>(c.extra.data()),
                                                c.extra.size(), ChinaLocalToUtc);
        EXPECT_EQ(c.modification, times.modification) << c.what;
        EXPECT_EQ(c.access, times.access) << c.what;
        EXPECT_EQ(c.creation, times.creation) << c.what;
    }
}

TEST(ApplyExtendedTimestamp, NeverReadsPastTheBlockOrTheField)
{
    // A UT block announcing one time in a block of 3 data bytes, though the
    // field goes on: the bytes after the block are not the time.
    std::string extra = Block(0x5455, std::string("\x01\xAA\xBB", 3)) + Le32(1600000000);
    ItemTimes times{1, 2, 3};
    ApplyExtendedTimestamp(reinterpret_cast<const uint8_t*>(extra.data()), extra.size(), &times);
    EXPECT_EQ(1u, times.modification);

    // The block says 5 bytes, the field ends after 4 of them.
    std::string cut = Ut(1, {1600000000});
    cut.pop_back();
    times = {1, 2, 3};
    ApplyExtendedTimestamp(reinterpret_cast<const uint8_t*>(cut.data()), cut.size(), &times);
    EXPECT_EQ(1u, times.modification);

    // A field that ends right after a block header (pos + 4 == length) is
    // not walked into, though the header announces a flags byte and a time:
    // the bytes behind the field's end (here a valid-looking flags byte and
    // time) are not the block's.
    const std::string headerThenMore = Ut(1, {1600000000});
    times = {1, 2, 3};
    ApplyExtendedTimestamp(reinterpret_cast<const uint8_t*>(headerThenMore.data()), 4, &times);
    EXPECT_EQ(1u, times.modification);

    // A skipped block whose size runs past the field ends the walk.
    const std::string runaway = Block(0x000A, "").substr(0, 2) + std::string("\xFF\xFF", 2) + Ut(1, {1600000000});
    times = {1, 2, 3};
    ApplyExtendedTimestamp(reinterpret_cast<const uint8_t*>(runaway.data()), runaway.size(), &times);
    EXPECT_EQ(1u, times.modification);
}

TEST(DeriveItemTimes, InvalidDosTimeGivesZero)
{
    const auto refuse = [](const CivilTime&, uint64_t*) { return false; };
    const ItemTimes times = DeriveItemTimes(0x52A45A2D, nullptr, 0, refuse);
    EXPECT_EQ(0u, times.modification);
    EXPECT_EQ(0u, times.access);
    EXPECT_EQ(0u, times.creation);
    const std::string ut = Ut(1, {1600000000});
    const ItemTimes withUt = DeriveItemTimes(0xFFFFFFFF, reinterpret_cast<const uint8_t*>(ut.data()), ut.size(),
                                             CivilTimeToFileTime);
    EXPECT_EQ(kUnix1600000000, withUt.modification);
    EXPECT_EQ(0u, withUt.access);
}

}  // namespace
