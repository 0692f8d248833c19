// Recognising the one archive minizip cannot open: the one without entries.
#include "engine/ArchiveEndRecord.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string EndRecord(uint16_t entries, uint16_t commentLength, const std::string& comment)
{
    std::string record("PK\x05\x06", 4);
    record += std::string(4, '\0');  // disk numbers
    record += std::string{static_cast<char>(entries), '\0', static_cast<char>(entries), '\0'};
    record += std::string(8, '\0');  // central directory size and offset
    record += std::string{static_cast<char>(commentLength), '\0'};
    return record + comment;
}

TEST(ArchiveEndRecord, RecognisesOnlyAnArchiveWithoutEntries)
{
    struct Case {
        const char* what;
        std::string bytes;
        bool empty;
    } const cases[] = {
        {"bare end record", EndRecord(0, 0, ""), true},
        {"with its comment", EndRecord(0, 5, "hello"), true},
        {"comment longer than stated", EndRecord(0, 2, "hello"), false},
        {"comment cut short", EndRecord(0, 9, "hello"), false},
        {"lists an entry", EndRecord(1, 0, ""), false},
        {"data before it", "x" + EndRecord(0, 0, ""), false},
        {"too short", EndRecord(0, 0, "").substr(0, 21), false},
        {"another signature", "PK\x03\x04" + EndRecord(0, 0, "").substr(4), false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsArchiveWithoutEntries(c.bytes.data(), c.bytes.size()), c.empty) << c.what;
    EXPECT_FALSE(IsArchiveWithoutEntries(nullptr, 22));
}

}  // namespace
