// The temporary file and its two ways into place: linked over the target
// (file systems with links) and renamed over it (those without). Wine has
// links, so only these tests put the second way through its paces.
#include "engine/ArchiveFileWriter.h"
#include "tests/archive/ScratchFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using Placement = CArchiveFileWriter::Placement;

constexpr Placement kPlacements[] = {Placement::Link, Placement::Rename};

const char* NameOf(Placement placement) { return placement == Placement::Link ? "link" : "rename"; }

ArchivePath PathOf(const std::wstring& text)
{
    ArchivePath path;
    EXPECT_TRUE(path.Assign(text));
    return path;
}

bool WriteInTwoParts(CArchiveFileWriter* writer, const std::string& data)
{
    const size_t half = data.size() / 2;
    return writer->Write(data.data(), static_cast<uint32_t>(half)) &&
           writer->Write(data.data() + half, static_cast<uint32_t>(data.size() - half));
}

TEST(ArchiveFileWriter, PutsWholeFilesInPlaceWithTheirAttributesAndNothingElse)
{
    struct Case {
        const char* what;
        const char* old;       // nullptr: no old file
        DWORD oldAttributes;
        uint32_t attributes;   // the entry's
    };
    const Case cases[] = {
        {"a new file", nullptr, 0, 0x20},
        {"over an old file", "old", FILE_ATTRIBUTE_NORMAL, 0x20},
        {"over a read-only old file", "old", FILE_ATTRIBUTE_READONLY, 0x20},
        {"over a hidden, system old file", "old", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, 0x20},
        {"a read-only file", "old", FILE_ATTRIBUTE_NORMAL, 0x21},
        {"a read-only file over a read-only one", "old", FILE_ATTRIBUTE_READONLY, 0x21},
        {"a hidden file", nullptr, 0, 0x22},
    };
    for (Placement placement : kPlacements) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(NameOf(placement)) + ": " + c.what);
            ScratchFolder scratch;
            const std::wstring target = scratch.Path(L"file.bin");
            if (c.old != nullptr) {
                ASSERT_TRUE(WriteWholeFile(target, c.old));
                ASSERT_TRUE(SetFileAttributesW(target.c_str(), c.oldAttributes));
            }
            const std::string data = "new content of " + std::string(c.what);
            const FileTimes times{131444736000000000ull, 132444736000000000ull, 132444736000000000ull};
            {
                CArchiveFileWriter writer;
                ASSERT_TRUE(writer.Create(PathOf(target), scratch.path().size(), 7, placement));
                ASSERT_TRUE(WriteInTwoParts(&writer, data));
                EXPECT_TRUE(writer.Commit(c.attributes, &times));
            }
            EXPECT_EQ(data, ReadWholeFile(target).value_or(""));
            EXPECT_EQ(std::set<std::wstring>{L"file.bin"}, ListTree(scratch.path()));
            const DWORD protective = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
            EXPECT_EQ(c.attributes & protective, AttributesOf(target) & protective);
            EXPECT_EQ(132444736000000000ull, LastWriteTimeOf(target));
        }
    }
}

TEST(ArchiveFileWriter, AFileNotCommittedLeavesTheOldOneAlone)
{
    for (Placement placement : kPlacements) {
        SCOPED_TRACE(NameOf(placement));
        ScratchFolder scratch;
        const std::wstring target = scratch.Path(L"file.bin");
        ASSERT_TRUE(WriteWholeFile(target, "old"));
        {
            CArchiveFileWriter discarded;
            ASSERT_TRUE(discarded.Create(PathOf(target), scratch.path().size(), 1, placement));
            ASSERT_TRUE(WriteInTwoParts(&discarded, "never placed"));
            EXPECT_EQ(2u, ListTree(scratch.path()).size()) << "the temporary file is beside the target";
            discarded.Discard();
            CArchiveFileWriter abandoned;
            ASSERT_TRUE(abandoned.Create(PathOf(target), scratch.path().size(), 2, placement));
            ASSERT_TRUE(WriteInTwoParts(&abandoned, "never placed either"));
        }
        EXPECT_EQ("old", ReadWholeFile(target).value_or(""));
        EXPECT_EQ(std::set<std::wstring>{L"file.bin"}, ListTree(scratch.path()));
    }
}

TEST(ArchiveFileWriter, ATargetHeldOpenIsNotReplaced)
{
    for (Placement placement : kPlacements) {
        SCOPED_TRACE(NameOf(placement));
        ScratchFolder scratch;
        const std::wstring target = scratch.Path(L"Tarnivo.exe");
        ASSERT_TRUE(WriteWholeFile(target, "running program"));
        HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        {
            CArchiveFileWriter writer;
            ASSERT_TRUE(writer.Create(PathOf(target), scratch.path().size(), 0, placement));
            ASSERT_TRUE(WriteInTwoParts(&writer, "new program"));
            EXPECT_FALSE(writer.Commit(0x20, nullptr));
            EXPECT_FALSE(writer.LinksUnsupported()) << "a held file says nothing about links";
        }
        CloseHandle(held);
        EXPECT_EQ("running program", ReadWholeFile(target).value_or(""));
        EXPECT_EQ(std::set<std::wstring>{L"Tarnivo.exe"}, ListTree(scratch.path()));
    }
}

}  // namespace
