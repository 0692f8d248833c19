// Entries that must fail without harm: corrupted members, names that would
// leave the base folder, paths that do not fit, files that cannot be
// replaced. In each case an old file stays exactly as it was and no
// temporary file is left behind.
#include "tests/archive/ArchiveTestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

class PayloadArchiveFault : public ::testing::Test {
protected:
    void SetUp() override
    {
        // One folder above the base, so a name that climbs one level lands
        // where the test can see it.
        m_base = m_scratch.Path(L"outer\\base\\");
        ASSERT_TRUE(CreateDirectoryW(m_scratch.Path(L"outer").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(m_base.c_str(), nullptr));
    }

    void Open(const std::vector<TestZipEntry>& entries)
    {
        m_archive.reset(new OpenedArchive(BuildTestZip(entries)));
        ASSERT_TRUE(*m_archive);
        ASSERT_EQ(ArcOk, (*m_archive)->SetBaseFolder(m_base.c_str()));
    }
    CPayloadArchive* archive() { return m_archive->archive.get(); }

    ScratchFolder m_scratch;
    std::wstring m_base;
    std::unique_ptr<OpenedArchive> m_archive;
};

TEST_F(PayloadArchiveFault, CorruptedMemberFailsAndLeavesTheOldFile)
{
    const std::string content = PseudoText(40000, 9);
    std::string garbled = Deflate(content);
    garbled[garbled.size() / 2] = static_cast<char>(garbled[garbled.size() / 2] ^ 0x5A);
    std::string storedFlipped = content;
    storedFlipped[30000] = static_cast<char>(storedFlipped[30000] ^ 1);

    struct Case {
        const char* what;
        TestZipEntry entry;
        ArchiveResult expected;
    };
    std::vector<Case> cases;
    TestZipEntry crcStored = FileEntry("f.txt", content, 0);
    crcStored.compressedData = storedFlipped;  // the CRC is of the original text
    cases.push_back({"stored member, CRC mismatch", crcStored, ArcCorrupt});
    TestZipEntry crcDeflated = FileEntry("f.txt", content, 8);
    crcDeflated.crc = Crc32(content) ^ 0x80000000u;
    cases.push_back({"deflated member, CRC mismatch", crcDeflated, ArcCorrupt});
    TestZipEntry crcEmpty = FileEntry("f.txt", "", 0);
    crcEmpty.crc = 0x1234;
    cases.push_back({"empty member, CRC mismatch", crcEmpty, ArcCorrupt});
    TestZipEntry broken = FileEntry("f.txt", content, 8);
    broken.compressedData = garbled;
    cases.push_back({"deflate data broken", broken, ArcInflateFailed});
    TestZipEntry shortMember = FileEntry("f.txt", content, 8);
    shortMember.localUncompressedSize = static_cast<uint32_t>(content.size() + 5000);
    shortMember.centralUncompressedSize = shortMember.localUncompressedSize;
    cases.push_back({"deflate stream ends before the stated size", shortMember, ArcInflateFailed});

    for (const Case& c : cases) {
        const std::wstring old = m_base + L"f.txt";
        ASSERT_TRUE(WriteWholeFile(old, "the old file"));
        ASSERT_TRUE(SetFileAttributesW(old.c_str(), FILE_ATTRIBUTE_READONLY));
        Open({c.entry, FileEntry("next.txt", "next")});
        EXPECT_EQ(c.expected, ExtractAsWorker(archive(), 0)) << c.what;
        EXPECT_EQ("the old file", ReadWholeFile(old).value_or("")) << c.what;
        EXPECT_NE(0u, AttributesOf(old) & FILE_ATTRIBUTE_READONLY) << c.what;
        EXPECT_EQ(std::set<std::wstring>{L"f.txt"}, ListTree(m_base)) << c.what;
        // The reader goes on after the failed entry.
        EXPECT_EQ(ArcOk, ExtractAsWorker(archive(), 1)) << c.what;
        EXPECT_TRUE(DeleteFileW((m_base + L"next.txt").c_str()));
        SetFileAttributesW(old.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(PayloadArchiveFault, HostileNamesWriteNothingOutsideTheBase)
{
    // Names whose ".." steps the record's rules already cut away land inside
    // the base; every name that still climbs (or names a device) is refused.
    struct Case {
        const char* name;
        ArchiveResult expected;
    };
    const Case cases[] = {
        {"../evil.txt", ArcBadArgument},      {"..\\evil.txt", ArcBadArgument},
        {"a/../../evil.txt", ArcBadArgument}, {"a\\..\\..\\evil.txt", ArcBadArgument},
        {"C:../evil.txt", ArcBadArgument},    {"/../evil.txt", ArcBadArgument},
        {"..", ArcBadArgument},               {"../", ArcBadArgument},
        {"../evil-folder/", ArcBadArgument},  {"a/.../evil.txt", ArcBadArgument},
        {"a/.. /evil.txt", ArcBadArgument},   {".. /evil.txt", ArcBadArgument},
        {"a/..", ArcBadArgument},             {"inside/../../evil.txt", ArcBadArgument},
        {"CON", ArcBadArgument},              {"a/nul.txt", ArcBadArgument},
        {"com1.log", ArcBadArgument},         {"LPT9 .txt", ArcBadArgument},
        {"../../evil.txt", ArcOk},            {"x/y/../../../evil.txt", ArcOk},
        {"./../evil.txt", ArcOk},
    };
    std::vector<TestZipEntry> entries;
    for (const Case& c : cases) {
        std::string n(c.name);
        entries.push_back(n.back() == '/' ? FolderEntry(n) : FileEntry(n, "evil"));
    }
    Open(entries);
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(cases[i].expected, ExtractAsWorker(archive(), static_cast<int>(i))) << entries[i].name;
    }
    EXPECT_EQ((std::set<std::wstring>{L"base\\", L"base\\evil.txt"}), ListTree(m_scratch.Path(L"outer")));
}

TEST_F(PayloadArchiveFault, AbsoluteNamesGivenToExtractItemAreRefused)
{
    Open({FileEntry("ok.txt", "evil")});
    const std::wstring elsewhere = m_scratch.Path(L"elsewhere.txt");
    for (const std::wstring& name : {elsewhere, std::wstring(L"\\evil.txt"), std::wstring(L"/evil.txt"),
                                     std::wstring(L"C:evil.txt"), L"\\\\?\\" + elsewhere, std::wstring(L"a/../../x")}) {
        EXPECT_EQ(ArcBadArgument, archive()->ExtractItem(0, name.c_str())) << std::string(name.begin(), name.end());
    }
    EXPECT_EQ(ArcBadArgument, archive()->ExtractItem(0, nullptr));
    EXPECT_FALSE(Exists(elsewhere));
    EXPECT_FALSE(Exists(L"C:\\evil.txt"));
    EXPECT_EQ(std::set<std::wstring>{L"base\\"}, ListTree(m_scratch.Path(L"outer")));
}

TEST_F(PayloadArchiveFault, DotsInsideNamesAreFine)
{
    Open({FileEntry("a/..b/c.txt", "1"), FileEntry("a/b..c/d..txt", "2"), FileEntry("...x", "3")});
    EXPECT_EQ(ArcOk, ExtractAsWorker(archive(), 0));
    EXPECT_EQ(ArcOk, ExtractAsWorker(archive(), 1));
    EXPECT_EQ(ArcOk, ExtractAsWorker(archive(), 2));
    EXPECT_EQ("1", ReadWholeFile(m_base + L"a\\..b\\c.txt").value_or(""));
}

TEST_F(PayloadArchiveFault, TargetPathsLongerThan259CharactersAreNeverCutShort)
{
    ASSERT_LT(m_base.size(), 200u);
    // "d/" steps up to a total of exactly 259 characters, then one more.
    std::string folders;
    while (m_base.size() + folders.size() + 12 < 259) folders += "d/";
    const std::string fits = folders + std::string(259 - m_base.size() - folders.size(), 'f');
    const std::string tooLong = fits + "g";
    ASSERT_EQ(259u, m_base.size() + fits.size());
    std::string longFolder = folders + std::string(260 - m_base.size() - folders.size(), 'e') + "/";
    Open({FileEntry(fits, "fits"), FileEntry(tooLong, "too long"), FolderEntry(longFolder)});
    EXPECT_EQ(ArcOk, ExtractAsWorker(archive(), 0));
    EXPECT_EQ(ArcNoFile, ExtractAsWorker(archive(), 1));
    EXPECT_EQ(ArcNoFile, ExtractAsWorker(archive(), 2));
    const std::wstring wideFits(fits.begin(), fits.end());
    EXPECT_EQ("fits", ReadWholeFile(m_base + wideFits).value_or(""));
    // Only the one file and its folders: nothing under a shortened name.
    std::set<std::wstring> files;
    for (const std::wstring& path : ListTree(m_base)) {
        if (path.back() != L'\\') files.insert(path);
    }
    std::wstring expected(wideFits);
    for (wchar_t& c : expected) {
        if (c == L'/') c = L'\\';
    }
    EXPECT_EQ(std::set<std::wstring>{expected}, files);
}

TEST_F(PayloadArchiveFault, StoredNamesTooLongForTheRecordAreRefused)
{
    const std::string longName = std::string(300, 'n') + ".txt";
    std::string withZero("a.txt");
    withZero.push_back('\0');
    withZero += "b.txt";
    Open({FileEntry(longName, "long"), FileEntry(withZero, "zero")});
    ArchiveResult result;
    const ArchiveItem record = ReadOrFail(archive(), 0, &result);
    EXPECT_EQ(ArcOk, result);
    EXPECT_EQ(259u, wcslen(record.name));
    EXPECT_EQ(ArcNoFile, archive()->ExtractItem(0, record.name));
    EXPECT_EQ(ArcBadArgument, ExtractAsWorker(archive(), 1));
    EXPECT_TRUE(ListTree(m_base).empty());
}

TEST_F(PayloadArchiveFault, BaseFolderThatDoesNotFitStopsEveryExtraction)
{
    Open({FileEntry("a.txt", "a")});
    const std::wstring tooLong = m_base + std::wstring(259 - m_base.size(), L'x');  // 259, "/" would make 260
    EXPECT_EQ(ArcBadArgument, archive()->SetBaseFolder(tooLong.c_str()));
    EXPECT_EQ(ArcNoFile, ExtractAsWorker(archive(), 0));
    EXPECT_TRUE(ListTree(m_base).empty());
    const std::wstring fitsWithSeparator = m_base + std::wstring(258 - m_base.size(), L'y') + L"\\";
    EXPECT_EQ(ArcOk, archive()->SetBaseFolder(fitsWithSeparator.c_str()));
    EXPECT_EQ(ArcOk, archive()->SetBaseFolder(m_base.c_str()));
    EXPECT_EQ(ArcOk, ExtractAsWorker(archive(), 0));
    EXPECT_EQ("a", ReadWholeFile(m_base + L"a.txt").value_or(""));
}

TEST_F(PayloadArchiveFault, FileHeldOpenWithoutSharingIsNotReplaced)
{
    const std::wstring path = m_base + L"Tarnivo.exe";
    ASSERT_TRUE(WriteWholeFile(path, "running program"));
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    Open({FileEntry("Tarnivo.exe", "new program", 8), FileEntry("empty.dll", "")});
    EXPECT_EQ(ArcNoFile, ExtractAsWorker(archive(), 0));
    CloseHandle(held);
    EXPECT_EQ("running program", ReadWholeFile(path).value_or(""));
    EXPECT_EQ(std::set<std::wstring>{L"Tarnivo.exe"}, ListTree(m_base));

    // An empty member held open the same way fails the same way.
    const std::wstring emptyPath = m_base + L"empty.dll";
    ASSERT_TRUE(WriteWholeFile(emptyPath, "old dll"));
    held = CreateFileW(emptyPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(ArcNoFile, ExtractAsWorker(archive(), 1));
    CloseHandle(held);
    EXPECT_EQ("old dll", ReadWholeFile(emptyPath).value_or(""));
}

TEST_F(PayloadArchiveFault, EncryptedEntriesNeedAPasswordThereIsNot)
{
    TestZipEntry entry = FileEntry("secret.txt", "xxxxxxxxxxxxsecret");
    entry.flags = 0x0001;
    Open({entry});
    EXPECT_EQ(ArcBadPassword, ExtractAsWorker(archive(), 0));
    EXPECT_TRUE(ListTree(m_base).empty());
}

TEST_F(PayloadArchiveFault, FileInThePlaceOfAFolderFailsTheEntry)
{
    ASSERT_TRUE(WriteWholeFile(m_base + L"css", "a file"));
    Open({FolderEntry("css/"), FileEntry("css/a.css", "a{}")});
    EXPECT_EQ(ArcNoFile, ExtractAsWorker(archive(), 0));
    EXPECT_EQ(ArcNoFile, ExtractAsWorker(archive(), 1));
    EXPECT_EQ("a file", ReadWholeFile(m_base + L"css").value_or(""));
}

}  // namespace
