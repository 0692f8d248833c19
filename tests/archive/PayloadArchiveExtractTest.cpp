// Entries becoming folders and files under the base folder.
#include "tests/archive/ArchiveTestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

class PayloadArchiveExtract : public ::testing::Test {
protected:
    // Opens zip with the scratch folder as base and extracts every entry as
    // the worker does; returns each entry's result.
    std::vector<ArchiveResult> ExtractAll(const std::string& zip, const std::wstring& base)
    {
        m_archive.reset(new OpenedArchive(zip));
        std::vector<ArchiveResult> results;
        if (!*m_archive) return results;
        EXPECT_EQ(ArcOk, (*m_archive)->SetBaseFolder(base.c_str()));
        ArchiveItem count;
        (*m_archive)->ReadItem(-1, &count);
        for (int i = 0; i < count.index; ++i) results.push_back(ExtractAsWorker(m_archive->archive.get(), i));
        return results;
    }
    std::vector<ArchiveResult> ExtractAll(const std::string& zip) { return ExtractAll(zip, m_scratch.path()); }

    ScratchFolder m_scratch;
    std::unique_ptr<OpenedArchive> m_archive;
};

TEST_F(PayloadArchiveExtract, FolderEntriesBecomeFolders)
{
    const auto results = ExtractAll(BuildTestZip({FolderEntry("css/"), FolderEntry("html/ggkszd/"), FolderEntry("js\\lib\\")}));
    EXPECT_EQ((std::vector<ArchiveResult>{ArcOk, ArcOk, ArcOk}), results);
    EXPECT_EQ((std::set<std::wstring>{L"css\\", L"html\\", L"html\\ggkszd\\", L"js\\", L"js\\lib\\"}), ListTree(m_scratch.path()));
}

TEST_F(PayloadArchiveExtract, FilesGetTheirContentInMissingFolders)
{
    const std::string text = PseudoText(100000, 7);  // several transfer buffers
    std::string binary;
    for (int i = 0; i < 40000; ++i) binary.push_back(static_cast<char>((i * 7919) >> 3));
    const auto results = ExtractAll(BuildTestZip({
        FileEntry("html/deep/er/page.html", text, 8),
        FileEntry("res/blob.bin", binary, 0),
        FileEntry("top.txt", "top", 8),
    }));
    EXPECT_EQ((std::vector<ArchiveResult>{ArcOk, ArcOk, ArcOk}), results);
    EXPECT_EQ(text, ReadWholeFile(m_scratch.Path(L"html\\deep\\er\\page.html")).value_or(""));
    EXPECT_EQ(binary, ReadWholeFile(m_scratch.Path(L"res\\blob.bin")).value_or(""));
    EXPECT_EQ("top", ReadWholeFile(m_scratch.Path(L"top.txt")).value_or(""));
    // Nothing else: no temporary file is left behind.
    EXPECT_EQ((std::set<std::wstring>{L"html\\", L"html\\deep\\", L"html\\deep\\er\\", L"html\\deep\\er\\page.html",
                                      L"res\\", L"res\\blob.bin", L"top.txt"}),
              ListTree(m_scratch.path()));
}

TEST_F(PayloadArchiveExtract, EmptyFileIsCreatedButReportsInflateFailedAndKeepsItsOwnTimes)
{
    ASSERT_TRUE(WriteWholeFile(m_scratch.Path(L"old-empty.txt"), "old content"));
    TestZipEntry fresh = FileEntry("empty.txt", "");
    fresh.dosDateTime = DosDateTime(1999, 12, 31, 23, 59, 58);
    TestZipEntry replacing = FileEntry("old-empty.txt", "");
    replacing.dosDateTime = fresh.dosDateTime;
    const auto results = ExtractAll(BuildTestZip({fresh, replacing}));
    EXPECT_EQ((std::vector<ArchiveResult>{ArcInflateFailed, ArcInflateFailed}), results);
    EXPECT_EQ("", ReadWholeFile(m_scratch.Path(L"empty.txt")).value_or("missing"));
    EXPECT_EQ("", ReadWholeFile(m_scratch.Path(L"old-empty.txt")).value_or("missing"));
    // Times are not set: the file keeps the time it was written, long after 1999.
    const uint64_t year2000 = 125911584000000000ull;
    EXPECT_GT(LastWriteTimeOf(m_scratch.Path(L"empty.txt")), year2000);
}

TEST_F(PayloadArchiveExtract, TimesAreAppliedToFiles)
{
    TestZipEntry dosOnly = FileEntry("dos.txt", "d");
    dosOnly.dosDateTime = DosDateTime(2020, 2, 29, 0, 0, 0);
    TestZipEntry extended = FileEntry("ut.txt", "u", 8);
    extended.localExtra = NtfsTimesBlock(5, 6, 7) + ExtendedTimestampBlock(3, {1600000000, 1500000000});
    EXPECT_EQ((std::vector<ArchiveResult>{ArcOk, ArcOk}), ExtractAll(BuildTestZip({dosOnly, extended})));
    EXPECT_EQ(DosUtc(132274080000000000ull), LastWriteTimeOf(m_scratch.Path(L"dos.txt")));
    EXPECT_EQ(132444736000000000ull, LastWriteTimeOf(m_scratch.Path(L"ut.txt")));
    EXPECT_EQ(131444736000000000ull, LastAccessTimeOf(m_scratch.Path(L"ut.txt")));
}

TEST_F(PayloadArchiveExtract, ProtectedOldFilesAreReplacedAndTakeTheEntrysAttributes)
{
    struct Case {
        const wchar_t* name;
        DWORD oldAttributes;
        uint32_t entryAttributes;
    };
    const Case cases[] = {
        {L"was-readonly.txt", FILE_ATTRIBUTE_READONLY, 0x20},
        {L"was-hidden.txt", FILE_ATTRIBUTE_HIDDEN, 0x20},
        {L"was-both.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, 0x20},
        {L"becomes-readonly.txt", FILE_ATTRIBUTE_NORMAL, 0x21},
        {L"readonly-stays-readonly.txt", FILE_ATTRIBUTE_READONLY, 0x21},
    };
    std::vector<TestZipEntry> entries;
    for (const Case& c : cases) {
        const std::wstring path = m_scratch.Path(c.name);
        ASSERT_TRUE(WriteWholeFile(path, "old"));
        ASSERT_TRUE(SetFileAttributesW(path.c_str(), c.oldAttributes));
        std::string stored(c.name, c.name + wcslen(c.name));
        TestZipEntry entry = FileEntry(stored, "new content for " + stored, 8);
        entry.externalAttributes = c.entryAttributes;
        entries.push_back(entry);
    }
    const auto results = ExtractAll(BuildTestZip(entries));
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::wstring path = m_scratch.Path(cases[i].name);
        EXPECT_EQ(ArcOk, results.at(i)) << entries[i].name;
        EXPECT_EQ(entries[i].data, ReadWholeFile(path).value_or("")) << entries[i].name;
        const DWORD attributes = AttributesOf(path);
        EXPECT_EQ(cases[i].entryAttributes & FILE_ATTRIBUTE_READONLY, attributes & FILE_ATTRIBUTE_READONLY) << entries[i].name;
        EXPECT_EQ(0u, attributes & FILE_ATTRIBUTE_HIDDEN) << entries[i].name;
    }
}

TEST_F(PayloadArchiveExtract, DriveNamesLandUnderTheBase)
{
    EXPECT_EQ((std::vector<ArchiveResult>{ArcOk, ArcOk}),
              ExtractAll(BuildTestZip({FileEntry("C:/Windows/x.dll", "dll"), FileEntry("C:\\x\\..\\y.txt", "y")})));
    EXPECT_EQ("dll", ReadWholeFile(m_scratch.Path(L"Windows\\x.dll")).value_or(""));
    EXPECT_EQ("y", ReadWholeFile(m_scratch.Path(L"y.txt")).value_or(""));
    EXPECT_FALSE(Exists(L"C:\\Windows\\x.dll"));
    EXPECT_FALSE(Exists(L"C:\\y.txt"));
}

TEST_F(PayloadArchiveExtract, BaseFolderWithOrWithoutSeparator)
{
    const std::string zip = BuildTestZip({FolderEntry("css/"), FileEntry("css/a.css", "a{}")});
    std::wstring noSeparator = m_scratch.Path(L"plain");
    std::wstring backslash = m_scratch.Path(L"backslash\\");
    std::wstring slash = m_scratch.Path(L"slash/");
    for (const std::wstring& base : {noSeparator, backslash, slash}) {
        EXPECT_EQ((std::vector<ArchiveResult>{ArcOk, ArcOk}), ExtractAll(zip, base));
    }
    for (const wchar_t* folder : {L"plain", L"backslash", L"slash"}) {
        EXPECT_EQ("a{}", ReadWholeFile(m_scratch.Path(folder) + L"\\css\\a.css").value_or("")) << folder;
    }
    // Without a separator the text is taken as the folder itself, not a prefix.
    EXPECT_FALSE(Exists(m_scratch.Path(L"plaincss")));
}

TEST_F(PayloadArchiveExtract, BaseFolderStartsAsTheCurrentFolder)
{
    wchar_t previous[MAX_PATH];
    ASSERT_NE(0u, GetCurrentDirectoryW(MAX_PATH, previous));
    ASSERT_TRUE(SetCurrentDirectoryW(m_scratch.path().c_str()));
    OpenedArchive archive(BuildTestZip({FileEntry("here/a.txt", "here")}));
    const ArchiveResult result = archive ? ExtractAsWorker(archive.archive.get(), 0) : ArcNoFile;
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(ArcOk, result);
    EXPECT_EQ("here", ReadWholeFile(m_scratch.Path(L"here\\a.txt")).value_or(""));
}

TEST_F(PayloadArchiveExtract, OnlyTheBaseFoldersLastLevelIsCreated)
{
    const std::string zip = BuildTestZip({FileEntry("a.txt", "a")});
    EXPECT_EQ((std::vector<ArchiveResult>{ArcOk}), ExtractAll(zip, m_scratch.Path(L"new-target")));
    EXPECT_EQ("a", ReadWholeFile(m_scratch.Path(L"new-target\\a.txt")).value_or(""));
    EXPECT_EQ((std::vector<ArchiveResult>{ArcNoFile}), ExtractAll(zip, m_scratch.Path(L"missing\\parent\\target")));
    EXPECT_FALSE(Exists(m_scratch.Path(L"missing")));
}

TEST_F(PayloadArchiveExtract, UnixHostEntriesAreFoldersAndReadOnlyFiles)
{
    TestZipEntry folder = FileEntry("bin/", "");
    folder.versionMadeBy = kHostUnix;
    folder.externalAttributes = 0x41ED0000;
    TestZipEntry readOnly = FileEntry("bin/tool", "#!", 8);
    readOnly.versionMadeBy = kHostUnix;
    readOnly.externalAttributes = 0x81240000;
    EXPECT_EQ((std::vector<ArchiveResult>{ArcOk, ArcOk}), ExtractAll(BuildTestZip({folder, readOnly})));
    EXPECT_NE(0u, AttributesOf(m_scratch.Path(L"bin")) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_NE(0u, AttributesOf(m_scratch.Path(L"bin\\tool")) & FILE_ATTRIBUTE_READONLY);
}

// Java's archive streams, Python's writer given its own entry records and
// others mark a folder only by the separator that ends its name.
TEST_F(PayloadArchiveExtract, FoldersMarkedOnlyByTheirNamesAreMade)
{
    auto entry = [](const std::string& name, const std::string& data, uint16_t versionMadeBy, uint32_t external) {
        TestZipEntry made = FileEntry(name, data, data.empty() ? 0 : 8);
        made.versionMadeBy = versionMadeBy;
        made.externalAttributes = external;
        return made;
    };
    struct Case {
        const char* writer;
        std::vector<TestZipEntry> entries;
        std::set<std::wstring> tree;
    };
    const Case cases[] = {
        {"MS-DOS host, attributes 0",
         {entry("META-INF/", "", kHostDos, 0), entry("META-INF/MANIFEST.MF", "Manifest-Version: 1.0\r\n", kHostDos, 0),
          entry("empty/", "", kHostDos, 0), entry("lib/deep/", "", kHostDos, 0)},
         {L"META-INF\\", L"META-INF\\MANIFEST.MF", L"empty\\", L"lib\\", L"lib\\deep\\"}},
        {"Unix host, a mode without type bits",
         {entry("pkg/", "", kHostUnix, 0x01ED0000), entry("pkg/mod.py", "print(1)\n", kHostUnix, 0x01A40000),
          entry("data/", "", kHostUnix, 0x01A40000), entry("bare/", "", kHostUnix, 0)},
         {L"pkg\\", L"pkg\\mod.py", L"data\\", L"bare\\"}},
        {"backslash-ended names",
         {entry("win\\", "", kHostDos, 0), entry("win\\sub\\", "", kHostDos, 0x20),
          entry("win\\sub\\a.ini", "[a]", kHostDos, 0x20)},
         {L"win\\", L"win\\sub\\", L"win\\sub\\a.ini"}},
    };
    for (const Case& c : cases) {
        ScratchFolder target;
        m_archive.reset(new OpenedArchive(BuildTestZip(c.entries)));
        ASSERT_TRUE(*m_archive) << c.writer;
        ASSERT_EQ(ArcOk, (*m_archive)->SetBaseFolder(target.path().c_str()));
        for (size_t i = 0; i < c.entries.size(); ++i) {
            ArchiveItem record;
            ASSERT_EQ(ArcOk, (*m_archive)->ReadItem(static_cast<int>(i), &record)) << c.writer;
            const bool folder = c.entries[i].data.empty();
            EXPECT_EQ(folder, (record.attributes & 0x10) != 0) << c.writer << ": " << c.entries[i].name;
            EXPECT_EQ(ArcOk, (*m_archive)->ExtractItem(static_cast<int>(i), record.name)) << c.writer << ": " << c.entries[i].name;
            if (!folder) {
                const std::wstring path = target.Path(Widen(c.entries[i].name.c_str()));
                EXPECT_EQ(c.entries[i].data, ReadWholeFile(path).value_or("")) << c.writer;
            }
        }
        EXPECT_EQ(c.tree, ListTree(target.path())) << c.writer;
    }
}

TEST_F(PayloadArchiveExtract, NamesFlaggedAsUtf8AreWrittenUnderTheirNames)
{
    ASSERT_EQ(936u, GetACP()) << "the test runner sets LANG=zh_CN.UTF-8, which gives code page 936";
    auto flagged = [](const std::string& name, const std::string& data) {
        TestZipEntry entry = FileEntry(name, data, data.empty() ? 0 : 8);
        entry.flags = 0x0800;
        return entry;
    };
    // 文档/世界.txt and 文档/ in UTF-8 as current writers store them; 说明.txt
    // unflagged in code page 936, as the shipped archive has its names.
    const auto results = ExtractAll(BuildTestZip({flagged("\xE6\x96\x87\xE6\xA1\xA3/", ""),
                                                  flagged("\xE6\x96\x87\xE6\xA1\xA3/\xE4\xB8\x96\xE7\x95\x8C.txt", "world"),
                                                  FileEntry("\xCB\xB5\xC3\xF7.txt", "notes")}));
    EXPECT_EQ((std::vector<ArchiveResult>{ArcOk, ArcOk, ArcOk}), results);
    const std::wstring folder = Widen("\xE6\x96\x87\xE6\xA1\xA3");
    const std::wstring world = Widen("\xE4\xB8\x96\xE7\x95\x8C.txt");
    const std::wstring notes = Widen("\xE8\xAF\xB4\xE6\x98\x8E.txt");
    EXPECT_EQ((std::set<std::wstring>{folder + L"\\", folder + L"\\" + world, notes}), ListTree(m_scratch.path()));
    EXPECT_EQ("world", ReadWholeFile(m_scratch.Path(folder + L"\\" + world)).value_or(""));
}

TEST_F(PayloadArchiveExtract, ExtractionInAnyOrderAndUnderAnotherName)
{
    m_archive.reset(new OpenedArchive(BuildTestZip({FileEntry("a.txt", "A"), FileEntry("b.txt", "B", 8)})));
    ASSERT_TRUE(*m_archive);
    (*m_archive)->SetBaseFolder(m_scratch.path().c_str());
    EXPECT_EQ(ArcOk, (*m_archive)->ExtractItem(1, L"sub/renamed.txt"));
    EXPECT_EQ(ArcOk, (*m_archive)->ExtractItem(0, L"a.txt"));
    EXPECT_EQ("B", ReadWholeFile(m_scratch.Path(L"sub\\renamed.txt")).value_or(""));
    EXPECT_EQ("A", ReadWholeFile(m_scratch.Path(L"a.txt")).value_or(""));
}

TEST_F(PayloadArchiveExtract, AFileNamedLikeATemporaryIsNeverOverwritten)
{
    ASSERT_TRUE(WriteWholeFile(m_scratch.Path(L"~tn00000000.tmp"), "someone else's"));
    EXPECT_EQ((std::vector<ArchiveResult>{ArcOk}), ExtractAll(BuildTestZip({FileEntry("a.txt", "A")})));
    EXPECT_EQ("A", ReadWholeFile(m_scratch.Path(L"a.txt")).value_or(""));
    EXPECT_EQ("someone else's", ReadWholeFile(m_scratch.Path(L"~tn00000000.tmp")).value_or(""));
    EXPECT_EQ((std::set<std::wstring>{L"a.txt", L"~tn00000000.tmp"}), ListTree(m_scratch.path()));
}

TEST_F(PayloadArchiveExtract, FolderRemovedBehindTheReadersBackIsMadeAgain)
{
    m_archive.reset(new OpenedArchive(BuildTestZip({FileEntry("d/a.txt", "A"), FileEntry("d/b.txt", "B")})));
    ASSERT_TRUE(*m_archive);
    (*m_archive)->SetBaseFolder(m_scratch.path().c_str());
    EXPECT_EQ(ArcOk, ExtractAsWorker(m_archive->archive.get(), 0));
    RemoveTree(m_scratch.Path(L"d"));
    EXPECT_EQ(ArcOk, ExtractAsWorker(m_archive->archive.get(), 1));
    EXPECT_EQ("B", ReadWholeFile(m_scratch.Path(L"d\\b.txt")).value_or(""));
}

}  // namespace
