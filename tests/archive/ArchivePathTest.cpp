#include "engine/ArchivePath.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ArchivePath, PiecesThatDoNotFitAreRefusedWhole)
{
    ArchivePath path;
    EXPECT_TRUE(path.Append(std::wstring(250, L'a')));
    EXPECT_FALSE(path.Append(L"0123456789"));  // 260: nothing of it is taken
    EXPECT_EQ(250u, path.size());
    EXPECT_TRUE(path.Append(L"012345678"));     // exactly 259
    EXPECT_EQ(259u, path.size());
    EXPECT_EQ(L'\0', path.c_str()[259]);
    EXPECT_FALSE(path.Append(L"x"));
    EXPECT_TRUE(path.Append(L""));
    EXPECT_FALSE(path.Assign(std::wstring(260, L'b')));
    EXPECT_TRUE(path.empty());
}

TEST(ArchivePath, DropTrailingSeparatorsOfEitherKind)
{
    ArchivePath path;
    path.Assign(L"C:\\base/css\\//");
    path.DropTrailingSeparators();
    EXPECT_EQ(std::wstring(L"C:\\base/css"), std::wstring(path.view()));
    path.Assign(L"/");
    path.DropTrailingSeparators();
    EXPECT_TRUE(path.empty());
}

TEST(MakeBaseFolder, AppendsASlashUnlessASeparatorEndsTheFolder)
{
    struct Case {
        std::wstring folder;
        bool fits;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"C:\\Program Files\\Tarnivo", true, L"C:\\Program Files\\Tarnivo/"},
        {L"C:\\Program Files\\Tarnivo\\", true, L"C:\\Program Files\\Tarnivo\\"},
        {L"D:/Apps/", true, L"D:/Apps/"},
        {L"", true, L"/"},
        {std::wstring(258, L'x'), true, std::wstring(258, L'x') + L"/"},
        {std::wstring(258, L'x') + L"\\", true, std::wstring(258, L'x') + L"\\"},
        {std::wstring(259, L'x'), false, L""},
        {std::wstring(259, L'x') + L"\\", false, L""},
    };
    for (const Case& c : cases) {
        ArchivePath base;
        base.Assign(L"unchanged");
        EXPECT_EQ(c.fits, MakeBaseFolder(c.folder, &base)) << c.folder.size();
        EXPECT_EQ(c.fits ? c.expected : std::wstring(L"unchanged"), std::wstring(base.view())) << c.folder.size();
    }
}

}  // namespace
