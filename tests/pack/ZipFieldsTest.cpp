// The fields tn-pack writes, checked against the reader's own derivations:
// what is written is what the installer takes back.
#include "tools/tn-pack/ZipFields.h"

#include "engine/ArchiveAttributes.h"
#include "engine/ArchiveTimes.h"

#include <gtest/gtest.h>

namespace {

constexpr uint64_t kTicksPerSecond = 10000000;
constexpr uint64_t kUnixEpoch = 116444736000000000ull;

uint64_t FileTimeOfUnix(int64_t seconds) { return static_cast<uint64_t>(seconds + 11644473600ll) * kTicksPerSecond; }

TEST(DosDateTimeOf, WritesWhatTheReaderDecodes)
{
    struct Case {
        CivilTime time;
        CivilTime decoded;
    } const cases[] = {
        {{2030, 7, 15, 12, 34, 56}, {2030, 7, 15, 12, 34, 56}},
        {{2023, 6, 18, 10, 24, 37}, {2023, 6, 18, 10, 24, 36}},  // odd seconds rounded down
        {{1980, 1, 1, 0, 0, 0}, {1980, 1, 1, 0, 0, 0}},
        {{2107, 12, 31, 23, 59, 59}, {2107, 12, 31, 23, 59, 58}},
        {{1979, 12, 31, 23, 59, 59}, {1980, 1, 1, 0, 0, 0}},     // before the format's first day
        {{1601, 1, 1, 0, 0, 0}, {1980, 1, 1, 0, 0, 0}},
        {{2108, 1, 1, 0, 0, 0}, {2107, 12, 31, 23, 59, 58}},     // after its last
    };
    for (const Case& c : cases) {
        const CivilTime back = DecodeDosDateTime(DosDateTimeOf(c.time));
        EXPECT_EQ(c.decoded.year, back.year) << c.time.year;
        EXPECT_EQ(c.decoded.month, back.month) << c.time.year;
        EXPECT_EQ(c.decoded.day, back.day) << c.time.year;
        EXPECT_EQ(c.decoded.hour, back.hour) << c.time.year;
        EXPECT_EQ(c.decoded.minute, back.minute) << c.time.year;
        EXPECT_EQ(c.decoded.second, back.second) << c.time.year;
    }
    EXPECT_EQ(0x52A45A2Du, DosDateTimeOf({2021, 5, 4, 11, 17, 26}));
}

TEST(UnixTimeOf, WholeSecondsWithinTheBlocksRange)
{
    struct Case {
        uint64_t fileTime;
        bool representable;
        int32_t seconds;
    } const cases[] = {
        {kUnixEpoch, true, 0},
        {FileTimeOfUnix(1910349296), true, 1910349296},                      // 2030-07-15
        {FileTimeOfUnix(1910349296) + kTicksPerSecond - 1, true, 1910349296},  // fractions dropped
        {FileTimeOfUnix(-1), true, -1},
        {FileTimeOfUnix(INT32_MAX), true, INT32_MAX},                        // 2038-01-19 03:14:07
        {FileTimeOfUnix(INT32_MAX) + kTicksPerSecond, false, 0},
        {FileTimeOfUnix(INT32_MIN), true, INT32_MIN},                        // 1901-12-13
        {FileTimeOfUnix(INT32_MIN) - 1, false, 0},
        {0, false, 0},
    };
    for (const Case& c : cases) {
        const std::optional<int32_t> seconds = UnixTimeOf(c.fileTime);
        ASSERT_EQ(c.representable, seconds.has_value()) << c.fileTime;
        if (seconds) {
            EXPECT_EQ(c.seconds, *seconds) << c.fileTime;
        }
    }
}

TEST(ExtendedTimestampBlock, GivesTheReaderTheModificationTimeAlone)
{
    const ExtendedTimestampBlock block = MakeExtendedTimestampBlock(1910349296);
    const ExtendedTimestampBlock expected = {0x55, 0x54, 5, 0, 1, 0xF0, 0x9D, 0xDD, 0x71};
    EXPECT_EQ(expected, block);

    const uint64_t dosTime = 1234;
    ItemTimes times{dosTime, dosTime, dosTime};
    ApplyExtendedTimestamp(block.data(), block.size(), &times);
    EXPECT_EQ(FileTimeOfUnix(1910349296), times.modification);
    EXPECT_EQ(dosTime, times.access);
    EXPECT_EQ(dosTime, times.creation);

    ItemTimes early{dosTime, dosTime, dosTime};
    const ExtendedTimestampBlock before1970 = MakeExtendedTimestampBlock(-86400);
    ApplyExtendedTimestamp(before1970.data(), before1970.size(), &early);
    EXPECT_EQ(FileTimeOfUnix(-86400), early.modification);
}

TEST(ExternalAttributesOf, KeepsWhatTheReaderAppliesForHostDos)
{
    struct Case {
        bool folder;
        uint32_t found;
        uint32_t written;
    } const cases[] = {
        {false, 0x20, 0x20},
        {false, 0x21, 0x21},    // read-only
        {false, 0x22, 0x22},    // hidden
        {false, 0x27, 0x27},    // and system
        {false, 0x80, 0x00},    // "normal" is no flag of its own
        {false, 0x2121, 0x21},  // not content-indexed: a property of the disk, not of the file
        {false, 0x1A0, 0x20},   // temporary, sparse
        {true, 0x10, 0x10},
        {true, 0x16, 0x10},     // a folder's own flags are not applied by the reader
    };
    for (const Case& c : cases) {
        PackEntry entry;
        entry.folder = c.folder;
        entry.attributes = c.found;
        const uint32_t written = ExternalAttributesOf(entry);
        EXPECT_EQ(c.written, written) << std::hex << c.found;
        EXPECT_EQ(c.written, DeriveAttributes(kVersionMadeByDos, written)) << std::hex << c.found;
    }
}

}  // namespace
