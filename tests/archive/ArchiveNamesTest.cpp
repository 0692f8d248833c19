#include "engine/ArchiveNames.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SanitiseItemName, FollowsTheRulesInOrderUntilNoneApplies)
{
    struct Case {
        const wchar_t* name;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"C:\\x\\..\\y.txt", L"y.txt"},
        {L"/abs/dir/f", L"abs/dir/f"},
        {L"a/b/../c", L"c"},
        {L"a:b", L"b"},
        {L"C:/Windows/x.dll", L"Windows/x.dll"},
        {L"C:", L""},
        {L"C:C:\\\\/x", L"x"},                        // drive, drive, separators, one at a time
        {L"\\\\server\\share\\f", L"server\\share\\f"},
        {L"a\\..\\b/../c", L"c"},                      // "\..\" is looked for first...
        {L"x/../y\\..\\z", L"z"},                      // ...wherever it is
        {L"a\\../b", L"b"},
        {L"a/..\\b", L"b"},
        {L"a/../../b", L"../b"},                       // only the first step is dropped each round
        {L"../x", L"../x"},                            // a leading step is left for the caller to refuse
        {L"..\\x", L"..\\x"},
        {L"a/..", L"a/.."},
        {L"a/..b/c", L"a/..b/c"},
        {L"a/b..\\c", L"a/b..\\c"},
        {L"css/", L"css/"},
        {L"", L""},
        {L"/", L""},
        {L"x:/../y", L"../y"},                         // the drive goes first, then the separator
    };
    for (const Case& c : cases) {
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
    struct Case {
        const wchar_t* name;
        bool inside;
    };
    const Case cases[] = {
        {L"a/b/c.txt", true},    {L"css/", true},          {L"", true},             {L"a//b", true},
        {L"a/..b/c", true},      {L"a/b../c", true},       {L"..x", true},          {L"x..", true},
        {L"a.b.c", true},        {L"console.log", true},   {L"com10", true},        {L"lpt", true},
        {L"nul2.txt", true},     {L"aux_x", true},         {L"COMX", true},
        {L"..", false},          {L"../x", false},         {L"..\\x", false},       {L"a/../b", false},
        {L"a/..", false},        {L"a\\..\\", false},      {L".", false},           {L"./x", false},
        {L"...", false},         {L"a/.../b", false},      {L".. /x", false},       {L"a/. ./b", false},
        {L"CON", false},         {L"con.txt", false},      {L"a/Nul", false},       {L"a/aux.tar.gz", false},
        {L"PRN", false},         {L"COM1", false},         {L"lpt9.log", false},    {L"COM0", false},
        {L"CON .txt", false},    {L"conin$", false},       {L"CONOUT$", false},     {L"COM\u00B9", false},
    };
    for (const Case& c : cases) {
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
