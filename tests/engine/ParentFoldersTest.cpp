// CreateParentFolders: every level of the path but its last, split at "\"
// only, the levels that exist left as they are.
#include "engine/FullInstallation.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/archive/ScratchFolder.h"

namespace {

TEST(ParentFoldersTest, MakesEveryLevelButTheLast)
{
    const struct {
        const wchar_t* path;  // below the scratch folder
        std::set<std::wstring> made;
    } cases[] = {
        {L"a\\b\\c", {L"a\\", L"a\\b\\"}},
        {L"a\\b\\c\\", {L"a\\", L"a\\b\\", L"a\\b\\c\\"}},  // the trailing "\" ends the last level too
        {L"x", {}},                                           // one level below existing ones: nothing
        {L"p\\\\q", {L"p\\"}},                                // an empty level changes nothing
        {L"f/g/h", {}},                                       // "/" does not part levels
        {L"m\\n/o\\t", {L"m\\"}},  // ...and "m\\n/o" is one level, whose parent "m\\n" is never made
    };
    for (const auto& row : cases) {
        ScratchFolder scratch;
        CreateParentFolders(scratch.Path(row.path));
        EXPECT_EQ(ListTree(scratch.path()), row.made) << std::string(row.path, row.path + wcslen(row.path));
    }
}

TEST(ParentFoldersTest, LeavesExistingLevelsAndFilesAlone)
{
    ScratchFolder scratch;
    ASSERT_TRUE(::CreateDirectoryW(scratch.Path(L"a").c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(scratch.Path(L"a\\b"), "a file where a level would go"));
    CreateParentFolders(scratch.Path(L"a\\b\\c\\d"));
    EXPECT_EQ(ListTree(scratch.path()), (std::set<std::wstring>{L"a\\", L"a\\b"}));
    EXPECT_EQ(ReadWholeFile(scratch.Path(L"a\\b")), "a file where a level would go");
}

}  // namespace
