// The record of an entry from its stored fields: folder entries by name,
// which decoder a name goes to, and the names that cannot be written.
#include "engine/ArchiveRecord.h"

#include "engine/ArchiveAttributes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Stand-in decoders that leave their mark on every unit, so a test sees
// which one a name went through: UTF-8 adds 0x1000 and refuses byte 0xFF,
// the code page keeps the byte and refuses byte 0xFE.
size_t MarkingDecoder(const char* bytes, size_t length, bool utf8, wchar_t* out, size_t capacity)
{
    if (length > capacity) return 0;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (byte == (utf8 ? 0xFF : 0xFE)) return 0;
        out[i] = static_cast<wchar_t>(utf8 ? 0x1000 + byte : byte);
    }
    return length;
}

// Local time taken as UTC.
bool SameAsUtc(const CivilTime& local, uint64_t* utc) { return CivilTimeToFileTime(local, utc); }

constexpr RecordConversions kConversions{MarkingDecoder, SameAsUtc};
constexpr uint32_t kDos = 0x0014;
constexpr uint32_t kUnix = 0x0314;

CentralEntryFields Fields(uint32_t versionMadeBy, uint32_t external, uint32_t flags, size_t nameLength)
{
    return CentralEntryFields{versionMadeBy, flags, external, 0x52A45A2D, 7, 11, nameLength};
}

ArchiveItem Derive(const std::string& name, const CentralEntryFields& fields, ArchiveResult* problem,
                   const std::string& extra = "")
{
    ArchiveItem record;
    *problem = DeriveItemRecord(3, fields, name.data(), name.size(), reinterpret_cast<const uint8_t*>(extra.data()),
                                extra.size(), kConversions, &record);
    return record;
}

std::wstring Units(const std::string& bytes, wchar_t offset = 0)
{
    std::wstring units;
    for (unsigned char byte : bytes) units.push_back(static_cast<wchar_t>(offset + byte));
    return units;
}

TEST(DeriveItemRecord, ANameEndingInASeparatorIsAFolderWhateverItsAttributes)
{
    struct Case {
        const char* what;
        std::string stored;
        uint32_t versionMadeBy;
        uint32_t external;
        uint32_t expected;
    };
    const Case cases[] = {
        {"MS-DOS host, attributes 0", "META-INF/", kDos, 0x00, 0x10},
        {"MS-DOS host, archive bit only", "css/", kDos, 0x20, 0x30},
        {"Unix host, mode without type bits", "bin/", kUnix, 0x01A40000, 0x30},
        {"Unix host, no mode at all", "lib/", kUnix, 0x00000000, 0x31},
        {"backslash-ended name", "js\\lib\\", kDos, 0x00, 0x10},
        {"already a folder", "html/", kDos, 0x10, 0x10},
        {"Unix folder", "share/", kUnix, 0x41ED0000, 0x30},
        {"separator kept by the name rules", "C:/x/../dir/", kDos, 0x00, 0x10},
        // Not folders by name.
        {"a file", "a.txt", kDos, 0x20, 0x20},
        {"a file with attributes 0", "b.txt", kDos, 0x00, 0x00},
        {"a name the rules empty", "/", kDos, 0x00, 0x00},
        {"a separator inside only", "dir/file", kUnix, 0x01A40000, 0x20},
    };
    for (const Case& c : cases) {
        ArchiveResult problem;
        const ArchiveItem record = Derive(c.stored, Fields(c.versionMadeBy, c.external, 0, c.stored.size()), &problem);
        EXPECT_EQ(ArcOk, problem) << c.what;
        EXPECT_EQ(c.expected, record.attributes) << c.what;
    }
}

TEST(DeriveItemRecord, FlaggedNamesGoToTheUtf8DecoderOthersToTheCodePage)
{
    struct Case {
        const char* what;
        std::string stored;
        uint32_t flags;
        std::wstring expected;
        ArchiveResult problem;
    };
    const std::string chinese = "\xE4\xB8\x96\xE7\x95\x8C.txt";  // 世界.txt in UTF-8
    const Case cases[] = {
        {"no flag", chinese, 0x0000, Units(chinese), ArcOk},
        {"bit 11", chinese, 0x0800, Units(chinese, 0x1000), ArcOk},
        {"bit 11 among others", chinese, 0x0808, Units(chinese, 0x1000), ArcOk},
        {"other bits only", chinese, 0x0008, Units(chinese), ArcOk},
        {"flagged, yet no UTF-8: the code page", "a\xFF.txt", 0x0800, Units("a\xFF.txt"), ArcOk},
        {"unflagged and no text in the code page", "a\xFE.txt", 0x0000, L"", ArcNoFile},
        {"flagged and neither", "\xFF\xFE", 0x0800, L"", ArcNoFile},
    };
    for (const Case& c : cases) {
        ArchiveResult problem;
        const ArchiveItem record = Derive(c.stored, Fields(kDos, 0x20, c.flags, c.stored.size()), &problem);
        EXPECT_EQ(c.problem, problem) << c.what;
        EXPECT_EQ(c.expected, std::wstring(record.name)) << c.what;
    }
}

TEST(DeriveItemRecord, NamesThatCannotBeWrittenAsStoredAreMarked)
{
    ArchiveResult problem;
    const std::string withNul("a\0b.txt", 7);
    EXPECT_EQ(L"a", std::wstring(Derive(withNul, Fields(kDos, 0x20, 0, 7), &problem).name));
    EXPECT_EQ(ArcBadArgument, problem);

    // 260 bytes stored: only 259 were read, and no target path could hold it.
    const std::string longName(259, 'n');
    const ArchiveItem cut = Derive(longName, Fields(kDos, 0x20, 0, 260), &problem);
    EXPECT_EQ(ArcNoFile, problem);
    EXPECT_EQ(259u, std::wstring(cut.name).size());

    Derive(longName, Fields(kDos, 0x20, 0, 259), &problem);
    EXPECT_EQ(ArcOk, problem) << "259 bytes fit";

    // Too long, with a NUL inside: the record shows "dir/", so it is a folder.
    std::string longWithNul = "dir/" + std::string(1, '\0') + std::string(254, 'n');
    const ArchiveItem shown = Derive(longWithNul, Fields(kDos, 0x20, 0, 300), &problem);
    EXPECT_EQ(ArcNoFile, problem);
    EXPECT_EQ(L"dir/", std::wstring(shown.name));
    EXPECT_NE(0u, shown.attributes & ArchiveAttribute::Folder);

    // A caller that read more than the stored length: only the stored bytes count.
    EXPECT_EQ(L"ab", std::wstring(Derive("abcdef", Fields(kDos, 0x20, 0, 2), &problem).name));
    EXPECT_EQ(ArcOk, problem);
}

TEST(DeriveItemRecord, CarriesIndexSizesAndTimes)
{
    ArchiveResult problem;
    CentralEntryFields fields = Fields(kDos, 0x21, 0, 4);
    fields.compressedSize = 1234;
    fields.uncompressedSize = 0x1'0000'0005ull;  // the record's 32 bits keep the low part
    const std::string ut = std::string("UT\x05\x00\x01", 5) + std::string("\x00\xF1\x53\x65", 4);  // Unix 1700000000
    const ArchiveItem record = Derive("f.js", fields, &problem, ut);
    EXPECT_EQ(ArcOk, problem);
    EXPECT_EQ(3, record.index);
    EXPECT_EQ(L"f.js", std::wstring(record.name));
    EXPECT_EQ(0x21u, record.attributes);
    EXPECT_EQ(1234, record.compressedSize);
    EXPECT_EQ(5, record.uncompressedSize);
    EXPECT_EQ(UnixTimeToFileTime(1700000000), record.modificationTime);
    uint64_t dos = 0;
    ASSERT_TRUE(CivilTimeToFileTime(DecodeDosDateTime(0x52A45A2D), &dos));
    EXPECT_EQ(dos, record.accessTime);
    EXPECT_EQ(dos, record.creationTime);
}

}  // namespace
