// Opening, the count record, entry records (names, attributes, times) and
// the local header check.
#include "tests/archive/ArchiveTestSupport.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace {

TEST(PayloadArchiveOpen, RefusesWhatIsNoUsableArchive)
{
    const std::string good = BuildTestZip({FileEntry("a.txt", "alpha"), FileEntry("b.txt", "beta")});
    struct Case {
        const char* what;
        std::string bytes;
    };
    TestZipOptions disagreeing;
    disagreeing.diskEntryCount = 2;
    disagreeing.totalEntryCount = 3;
    std::vector<Case> cases = {
        {"cut before the end record", good.substr(0, good.size() - 22)},
        {"cut inside the end record", good.substr(0, good.size() - 5)},
        {"cut in half", good.substr(0, good.size() / 2)},
        {"counts that disagree", BuildTestZip({FileEntry("a.txt", "alpha"), FileEntry("b.txt", "beta")}, disagreeing)},
        {"no archive at all", std::string(4096, 'x')},
    };
    // An end record without entries that is damaged is no archive without
    // entries: it must not open as one.
    const std::string empty = BuildTestZip({});
    auto damaged = [&empty](size_t at, char value) {
        std::string bytes = empty;
        bytes[at] = value;
        return bytes;
    };
    cases.push_back({"empty: another signature", damaged(3, '\x07')});
    cases.push_back({"empty: on another disk", damaged(4, '\x01')});
    cases.push_back({"empty: yet counting an entry", damaged(10, '\x01')});
    cases.push_back({"empty: a central directory size", damaged(12, '\x2E')});
    cases.push_back({"empty: a central directory offset", damaged(16, '\x10')});
    cases.push_back({"empty: a comment that is not there", damaged(20, '\x04')});
    cases.push_back({"empty: bytes after it", empty + "junk"});
    for (const Case& c : cases) {
        EXPECT_EQ(nullptr, CPayloadArchive::OpenFromMemory(c.bytes.data(), c.bytes.size())) << c.what;
    }
    EXPECT_EQ(nullptr, CPayloadArchive::OpenFromMemory(nullptr, 100));
    EXPECT_EQ(nullptr, CPayloadArchive::OpenFromMemory(good.data(), 0));
    EXPECT_NE(nullptr, CPayloadArchive::OpenFromMemory(good.data(), good.size()));
}

TEST(PayloadArchiveOpen, AnArchiveWithoutEntriesOpensWithCountZero)
{
    const std::string empty = BuildTestZip({});
    std::unique_ptr<CPayloadArchive> archive = CPayloadArchive::OpenFromMemory(empty.data(), empty.size());
    ASSERT_NE(nullptr, archive);
    ArchiveItem record = Garbage();
    EXPECT_EQ(ArcOk, archive->ReadItem(-1, &record));
    EXPECT_EQ(0, record.index);
    EXPECT_EQ(ArcBadArgument, archive->ReadItem(0, &record));
    EXPECT_EQ(ArcBadArgument, archive->ExtractItem(0, L"a.txt"));
}

TEST(PayloadArchiveRead, CountRecordHoldsOnlyTheNumberOfEntries)
{
    OpenedArchive archive(BuildTestZip({FolderEntry("css/"), FileEntry("css/a.css", "body{}"), FileEntry("b", "")}));
    ASSERT_TRUE(archive);
    ArchiveResult result;
    const ArchiveItem record = ReadOrFail(archive.archive.get(), -1, &result);
    EXPECT_EQ(ArcOk, result);
    EXPECT_EQ(3, record.index);
    EXPECT_EQ(L'\0', record.name[0]);
    EXPECT_EQ(0u, record.attributes);
    EXPECT_EQ(0u, record.accessTime);
    EXPECT_EQ(0u, record.creationTime);
    EXPECT_EQ(0u, record.modificationTime);
    EXPECT_EQ(0, record.compressedSize);
    EXPECT_EQ(0, record.uncompressedSize);
}

TEST(PayloadArchiveRead, IndexOutsideTheEntriesIsRefusedByBothCalls)
{
    OpenedArchive archive(BuildTestZip({FileEntry("a.txt", "alpha"), FileEntry("b.txt", "beta")}));
    ASSERT_TRUE(archive);
    for (int index : {2, 3, -2, 1000}) {
        ArchiveItem record = Garbage();
        const ArchiveItem before = record;
        EXPECT_EQ(ArcBadArgument, archive->ReadItem(index, &record)) << index;
        EXPECT_EQ(0, std::memcmp(&before, &record, sizeof(record))) << "record changed for " << index;
        EXPECT_EQ(ArcBadArgument, archive->ExtractItem(index, L"a.txt")) << index;
    }
    EXPECT_EQ(ArcBadArgument, archive->ExtractItem(-1, L"a.txt"));
}

TEST(PayloadArchiveRead, RecordCarriesSizesFromTheCentralDirectory)
{
    const std::string text = PseudoText(50000, 3);
    OpenedArchive archive(BuildTestZip({FileEntry("a.js", text, 8), FileEntry("b.bin", "stored bytes")}));
    ASSERT_TRUE(archive);
    ArchiveResult result;
    ArchiveItem record = ReadOrFail(archive.archive.get(), 0, &result);
    ASSERT_EQ(ArcOk, result);
    EXPECT_EQ(0, record.index);
    EXPECT_EQ(static_cast<int32_t>(Deflate(text).size()), record.compressedSize);
    EXPECT_EQ(50000, record.uncompressedSize);
    record = ReadOrFail(archive.archive.get(), 1, &result);
    ASSERT_EQ(ArcOk, result);
    EXPECT_EQ(1, record.index);
    EXPECT_EQ(12, record.compressedSize);
    EXPECT_EQ(12, record.uncompressedSize);
}

TEST(PayloadArchiveRead, EntriesAreFoundInAnyOrder)
{
    std::vector<TestZipEntry> entries;
    for (int i = 0; i < 5; ++i) entries.push_back(FileEntry("f" + std::to_string(i), std::string(static_cast<size_t>(i), 'x')));
    OpenedArchive archive(BuildTestZip(entries));
    ASSERT_TRUE(archive);
    for (int index : {0, 1, 2, 4, 4, 3, 0, 2, 1, 4}) {
        ArchiveResult result;
        const ArchiveItem record = ReadOrFail(archive.archive.get(), index, &result);
        ASSERT_EQ(ArcOk, result) << index;
        EXPECT_EQ(index, record.index);
        EXPECT_EQ(L"f" + std::to_wstring(index), std::wstring(record.name));
        EXPECT_EQ(index, record.uncompressedSize);
    }
}

TEST(PayloadArchiveRead, NamesAreMadeRelative)
{
    struct Case {
        const char* stored;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {"C:\\x\\..\\y.txt", L"y.txt"},
        {"/abs/dir/f", L"abs/dir/f"},
        {"a/b/../c", L"c"},
        {"a:b", L"b"},
        {"C:/Windows/x.dll", L"Windows/x.dll"},
        {"\\\\server\\share\\f.txt", L"server\\share\\f.txt"},
        {"html/ggkszd/index.html", L"html/ggkszd/index.html"},
        {"css/", L"css/"},
        {"../up.txt", L"../up.txt"},  // kept in the record; ExtractItem refuses it
    };
    std::vector<TestZipEntry> entries;
    for (const Case& c : cases) entries.push_back(FileEntry(c.stored, "x"));
    OpenedArchive archive(BuildTestZip(entries));
    ASSERT_TRUE(archive);
    for (size_t i = 0; i < entries.size(); ++i) {
        ArchiveResult result;
        const ArchiveItem record = ReadOrFail(archive.archive.get(), static_cast<int>(i), &result);
        ASSERT_EQ(ArcOk, result) << cases[i].stored;
        EXPECT_EQ(std::wstring(cases[i].expected), std::wstring(record.name)) << cases[i].stored;
    }
}

TEST(PayloadArchiveRead, NamesAreDecodedWithTheAnsiCodePage)
{
    ASSERT_EQ(936u, GetACP()) << "the test runner sets LANG=zh_CN.UTF-8, which gives code page 936";
    // "html/帮助.html" and "说明.txt" in code page 936, without the UTF-8 flag.
    TestZipEntry help = FileEntry("html/\xB0\xEF\xD6\xFA.html", "<html/>");
    TestZipEntry notes = FileEntry("\xCB\xB5\xC3\xF7.txt", "notes");
    notes.flags = 0x0008;  // other flags do not change the decoding
    OpenedArchive archive(BuildTestZip({help, notes}));
    ASSERT_TRUE(archive);
    ArchiveResult result;
    EXPECT_EQ(Widen("html/\xE5\xB8\xAE\xE5\x8A\xA9.html"), std::wstring(ReadOrFail(archive.archive.get(), 0, &result).name));
    EXPECT_EQ(ArcOk, result);
    EXPECT_EQ(Widen("\xE8\xAF\xB4\xE6\x98\x8E.txt"), std::wstring(ReadOrFail(archive.archive.get(), 1, &result).name));
    EXPECT_EQ(ArcOk, result);
}

TEST(PayloadArchiveRead, NamesFlaggedAsUtf8AreDecodedAsUtf8)
{
    ASSERT_EQ(936u, GetACP()) << "the test runner sets LANG=zh_CN.UTF-8, which gives code page 936";
    struct Case {
        const char* what;
        std::string stored;
        const char* expected;  // UTF-8 of the record's name
    };
    const Case cases[] = {
        {"Chinese", "\xE4\xB8\x96\xE7\x95\x8C.txt", "\xE4\xB8\x96\xE7\x95\x8C.txt"},             // 世界.txt
        {"a folder", "\xE6\x96\x87\xE6\xA1\xA3/", "\xE6\x96\x87\xE6\xA1\xA3/"},                  // 文档/
        {"accents", "caf\xC3\xA9/r\xC3\xA9sum\xC3\xA9.txt", "caf\xC3\xA9/r\xC3\xA9sum\xC3\xA9.txt"},
        {"beyond 16 bits", "\xF0\x9F\x98\x80.png", "\xF0\x9F\x98\x80.png"},                          // a surrogate pair
        {"plain ASCII", "css/a.css", "css/a.css"},
        // Flagged by a writer that did not write UTF-8: the code page, as before.
        {"code page 936 bytes", "\xCB\xB5\xC3\xF7.txt", "\xE8\xAF\xB4\xE6\x98\x8E.txt"},        // 说明.txt
    };
    std::vector<TestZipEntry> entries;
    for (const Case& c : cases) {
        TestZipEntry entry = FileEntry(c.stored, "x");
        entry.flags = 0x0800;
        entries.push_back(entry);
    }
    // The same UTF-8 bytes unflagged go to the code page.
    entries.push_back(FileEntry(cases[0].stored, "x"));
    OpenedArchive archive(BuildTestZip(entries));
    ASSERT_TRUE(archive);
    for (size_t i = 0; i < std::size(cases); ++i) {
        ArchiveResult result;
        const ArchiveItem record = ReadOrFail(archive.archive.get(), static_cast<int>(i), &result);
        ASSERT_EQ(ArcOk, result) << cases[i].what;
        EXPECT_EQ(Widen(cases[i].expected), std::wstring(record.name)) << cases[i].what;
    }
    ArchiveResult result;
    const ArchiveItem unflagged = ReadOrFail(archive.archive.get(), static_cast<int>(std::size(cases)), &result);
    ASSERT_EQ(ArcOk, result);
    EXPECT_NE(Widen(cases[0].expected), std::wstring(unflagged.name));
    wchar_t asCodePage[16] = {};
    ASSERT_LT(0, MultiByteToWideChar(936, 0, cases[0].stored.data(), static_cast<int>(cases[0].stored.size()), asCodePage, 15));
    EXPECT_EQ(std::wstring(asCodePage), std::wstring(unflagged.name));
}

TEST(PayloadArchiveRead, AttributesFollowTheHostSystem)
{
    struct Case {
        uint16_t versionMadeBy;
        uint32_t external;
        uint32_t expected;
    };
    const Case cases[] = {
        {kHostDos, 0x20, 0x20},
        {kHostDos, 0x10, 0x10},
        {kHostDos, 0x27, 0x27},        // read-only, hidden, system, archive
        {kHostUnix, 0x41ED0000, 0x30},  // drwxr-xr-x: folder bit 30
        {kHostUnix, 0x81A40000, 0x20},  // -rw-r--r--: owner may write
        {kHostUnix, 0x81240000, 0x21},  // -r--r--r--: bit 23 clear, read-only
        {0x0A14, 0x01, 0x21},           // NTFS host: read the Unix way
    };
    std::vector<TestZipEntry> entries;
    for (const Case& c : cases) {
        TestZipEntry entry = FileEntry("f", "x");
        entry.versionMadeBy = c.versionMadeBy;
        entry.externalAttributes = c.external;
        entries.push_back(entry);
    }
    OpenedArchive archive(BuildTestZip(entries));
    ASSERT_TRUE(archive);
    for (size_t i = 0; i < entries.size(); ++i) {
        ArchiveResult result;
        EXPECT_EQ(cases[i].expected, ReadOrFail(archive.archive.get(), static_cast<int>(i), &result).attributes) << i;
    }
}

TEST(PayloadArchiveRead, TimesComeFromDosTimeThenTheExtendedTimestamp)
{
    const uint64_t dos = DosUtc(kDefaultDosTimeUtc);
    const uint64_t t1 = 132444736000000000ull;  // Unix 1600000000
    const uint64_t t2 = 131444736000000000ull;  // Unix 1500000000
    const uint64_t t3 = 116444735990000000ull;  // Unix -1
    const std::string ntfs = NtfsTimesBlock(1, 2, 3);
    struct Case {
        const char* what;
        std::string localExtra;
        std::string centralExtra;
        uint64_t modification, access, creation;
    };
    const Case cases[] = {
        {"no extra field", "", "", dos, dos, dos},
        {"NTFS block only, ignored", ntfs, ntfs, dos, dos, dos},
        {"all three after an NTFS block", ntfs + ExtendedTimestampBlock(7, {1600000000, 1500000000, -1}), "",
         t1, t2, t3},
        {"modification only", ExtendedTimestampBlock(1, {1600000000}), "", t1, dos, dos},
        {"access and creation", ExtendedTimestampBlock(6, {1500000000, -1}), "", dos, t2, t3},
        {"flags announce three, one is there", ExtendedTimestampBlock(7, {1600000000}), "", t1, dos, dos},
        {"central block is not read", "", ExtendedTimestampBlock(1, {1600000000}), dos, dos, dos},
        {"first block wins", ExtendedTimestampBlock(1, {1600000000}) + ExtendedTimestampBlock(1, {1500000000}), "",
         t1, dos, dos},
    };
    std::vector<TestZipEntry> entries;
    for (const Case& c : cases) {
        TestZipEntry entry = FileEntry("f", "x");
        entry.localExtra = c.localExtra;
        entry.centralExtra = c.centralExtra;
        entries.push_back(entry);
    }
    OpenedArchive archive(BuildTestZip(entries));
    ASSERT_TRUE(archive);
    for (size_t i = 0; i < entries.size(); ++i) {
        ArchiveResult result;
        const ArchiveItem record = ReadOrFail(archive.archive.get(), static_cast<int>(i), &result);
        ASSERT_EQ(ArcOk, result) << cases[i].what;
        EXPECT_EQ(cases[i].modification, record.modificationTime) << cases[i].what;
        EXPECT_EQ(cases[i].access, record.accessTime) << cases[i].what;
        EXPECT_EQ(cases[i].creation, record.creationTime) << cases[i].what;
    }
}

TEST(PayloadArchiveRead, InvalidDosTimeGivesZeroTimes)
{
    TestZipEntry entry = FileEntry("f", "x");
    entry.dosDateTime = DosDateTime(2021, 13, 4, 11, 17, 26);
    OpenedArchive archive(BuildTestZip({entry}));
    ASSERT_TRUE(archive);
    ArchiveResult result;
    const ArchiveItem record = ReadOrFail(archive.archive.get(), 0, &result);
    ASSERT_EQ(ArcOk, result);
    EXPECT_EQ(0u, record.modificationTime);
    EXPECT_EQ(0u, record.accessTime);
    EXPECT_EQ(0u, record.creationTime);
}

TEST(PayloadArchiveRead, LocalHeaderDisagreeingWithTheCentralRecordIsCorrupt)
{
    struct Case {
        const char* what;
        TestZipEntry entry;
    };
    std::vector<Case> cases;
    auto add = [&cases](const char* what, auto change) {
        TestZipEntry entry = FileEntry("inner/file.txt", PseudoText(3000, 1), 8);
        change(entry);
        cases.push_back({what, entry});
    };
    add("signature", [](TestZipEntry& e) { e.localSignature = 0x08074b50; });
    add("method", [](TestZipEntry& e) { e.localMethod = 0; });
    add("CRC", [](TestZipEntry& e) { e.localCrc = 0x12345678; });
    add("compressed size", [](TestZipEntry& e) { e.localCompressedSize = 17; });
    add("uncompressed size", [](TestZipEntry& e) { e.localUncompressedSize = 17; });
    add("name length", [](TestZipEntry& e) { e.localNameLength = 3; });
    add("unknown method in both", [](TestZipEntry& e) { e.method = 12; e.compressedData = "BZh9"; });

    for (Case& c : cases) {
        ScratchFolder scratch;
        OpenedArchive archive(BuildTestZip({FileEntry("before.txt", "ok"), c.entry, FileEntry("after.txt", "ok")}));
        ASSERT_TRUE(archive) << c.what;
        ASSERT_EQ(ArcOk, archive->SetBaseFolder(scratch.path().c_str()));
        ArchiveResult result;
        const ArchiveItem record = ReadOrFail(archive.archive.get(), 1, &result);
        EXPECT_EQ(ArcCorrupt, result) << c.what;
        EXPECT_TRUE(IsGarbage(record)) << c.what << ": the caller's record was changed";
        EXPECT_EQ(ArcCorrupt, archive->ExtractItem(1, L"inner/file.txt")) << c.what;
        EXPECT_FALSE(Exists(scratch.Path(L"inner\\file.txt"))) << c.what;
        // The reader stays usable on both sides of the bad entry.
        EXPECT_EQ(ArcOk, ExtractAsWorker(archive.archive.get(), 2)) << c.what;
        EXPECT_EQ(ArcOk, ExtractAsWorker(archive.archive.get(), 0)) << c.what;
    }
}

TEST(PayloadArchiveRead, DeferredSizesSkipTheCrcAndSizeCheck)
{
    TestZipEntry entry = FileEntry("late.txt", PseudoText(5000, 2), 8);
    entry.flags = 0x0008;  // CRC and sizes follow the data
    entry.localCrc = 0;
    entry.localCompressedSize = 0;
    entry.localUncompressedSize = 0;
    ScratchFolder scratch;
    OpenedArchive archive(BuildTestZip({entry}));
    ASSERT_TRUE(archive);
    archive->SetBaseFolder(scratch.path().c_str());
    EXPECT_EQ(ArcOk, ExtractAsWorker(archive.archive.get(), 0));
    EXPECT_EQ(entry.data, ReadWholeFile(scratch.Path(L"late.txt")).value_or(""));
}

TEST(PayloadArchiveRead, ExtraFieldRunningOffTheArchiveIsAReadFailure)
{
    TestZipEntry entry = FileEntry("short.txt", "");
    entry.localExtra = ExtendedTimestampBlock(1, {1600000000});
    entry.localExtraLength = 400;  // more than the archive has after it
    entry.localRecordAfterEnd = true;
    OpenedArchive archive(BuildTestZip({FileEntry("first.txt", "1"), entry}));
    ASSERT_TRUE(archive);
    ArchiveResult result;
    const ArchiveItem record = ReadOrFail(archive.archive.get(), 1, &result);
    EXPECT_EQ(ArcReadFailed, result);
    EXPECT_TRUE(IsGarbage(record)) << "the caller's record was changed";
    EXPECT_EQ(ArcReadFailed, archive->ExtractItem(1, L"short.txt"));
    ReadOrFail(archive.archive.get(), 0, &result);
    EXPECT_EQ(ArcOk, result);
}

TEST(PayloadArchiveRead, BrokenCentralRecordHidesTheEntriesAfterIt)
{
    TestZipEntry broken = FileEntry("b.txt", "b");
    broken.brokenCentralSignature = true;
    OpenedArchive archive(BuildTestZip({FileEntry("a.txt", "a"), broken, FileEntry("c.txt", "c")}));
    ASSERT_TRUE(archive);
    ArchiveResult result;
    ReadOrFail(archive.archive.get(), 0, &result);
    EXPECT_EQ(ArcOk, result);
    ReadOrFail(archive.archive.get(), 1, &result);
    EXPECT_EQ(ArcCorrupt, result);
    ReadOrFail(archive.archive.get(), 2, &result);
    EXPECT_EQ(ArcCorrupt, result);
    EXPECT_EQ(ArcCorrupt, archive->ExtractItem(2, L"c.txt"));
    const ArchiveItem first = ReadOrFail(archive.archive.get(), 0, &result);
    EXPECT_EQ(ArcOk, result);
    EXPECT_EQ(std::wstring(L"a.txt"), first.name);
}

}  // namespace
