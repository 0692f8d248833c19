#include "engine/ArchiveNames.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/archive/ArchiveNameCases.h"

namespace {

TEST(SanitiseItemName, FollowsTheRulesInOrderUntilNoneApplies)
{
    for (const SanitiseCase& c : kSanitiseCases) {
        EXPECT_EQ(std::wstring(c.expected), std::wstring(SanitiseItemName(c.name))) << std::wstring(c.name).size();
    }
}

TEST(SanitiseItemName, ResultIsASuffixOfTheName)
{
    const std::wstring name = L"C:\\dir\\..\\file.txt";
    const std::wstring_view result = SanitiseItemName(name);
    EXPECT_EQ(name.data() + name.size(), result.data() + result.size());
}

TEST(IsAbsoluteItemName, SeparatorFirstOrColonSecond)
{
    EXPECT_TRUE(IsAbsoluteItemName(L"\\x"));
    EXPECT_TRUE(IsAbsoluteItemName(L"/x"));
    EXPECT_TRUE(IsAbsoluteItemName(L"C:x"));
    EXPECT_TRUE(IsAbsoluteItemName(L"C:\\x"));
    EXPECT_FALSE(IsAbsoluteItemName(L"x"));
    EXPECT_FALSE(IsAbsoluteItemName(L"ab:c"));
    EXPECT_FALSE(IsAbsoluteItemName(L""));
}

TEST(StaysInsideBase, RefusesStepsThatClimbOrReachDevices)
{
    for (const InsideCase& c : kInsideCases) {
        EXPECT_EQ(c.inside, StaysInsideBase(c.name)) << std::wstring(c.name).size();
    }
}

TEST(SplitItemName, AfterTheLastSeparatorOfEitherKind)
{
    struct Case {
        const wchar_t* name;
        const wchar_t* folder;
        const wchar_t* file;
    };
    const Case cases[] = {
        {L"html/ggkszd/index.html", L"html/ggkszd/", L"index.html"},
        {L"a\\b/c", L"a\\b/", L"c"},
        {L"a/b\\c", L"a/b\\", L"c"},
        {L"file", L"", L"file"},
        {L"css/", L"css/", L""},
        {L"", L"", L""},
    };
    for (const Case& c : cases) {
        const ItemNameParts parts = SplitItemName(c.name);
        EXPECT_EQ(std::wstring(c.folder), std::wstring(parts.folderPart));
        EXPECT_EQ(std::wstring(c.file), std::wstring(parts.filePart));
    }
}

}  // namespace
