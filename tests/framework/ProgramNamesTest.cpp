// The program's command line and name as the runtime and framework derive them.
#include "framework/ProgramNames.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramNames, ArgumentsStartAfterTheNameAndItsBlanks)
{
    struct Case {
        const wchar_t* full;
        const wchar_t* arguments;
    } const cases[] = {
        {L"TNInstaller.exe", L""},
        {L"TNInstaller.exe    ", L""},  // only blanks: install mode
        {L"\"C:\\Down Loads\\setup.exe\" \"D:\\Apps\\Tarnivo\"", L"\"D:\\Apps\\Tarnivo\""},
        {L"\"C:\\a b\\setup.exe\"D:\\x", L"D:\\x"},  // nothing between the quote and the text
        {L"setup.exe D:\\Apps\\Tarnivo|a|b", L"D:\\Apps\\Tarnivo|a|b"},
        {L"setup.exe \t x  ", L"x  "},  // trailing blanks stay
        {L"\"unclosed quote x", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(ArgumentsAfterProgramName(c.full), c.arguments);
}

TEST(ProgramNames, ExecutableNameDropsFolderAndLastExtension)
{
    struct Case {
        const wchar_t* path;
        const wchar_t* name;
    } const cases[] = {
        {L"D:\\Down\\setup.beta.exe", L"setup.beta"},
        {L"C:\\x\\Tarnivo_setup", L"Tarnivo_setup"},
        {L"C:\\dotted.folder\\setup", L"setup"},
        {L"Z:/tmp/setup.exe", L"setup"},
        {L"C:\\x\\my.setup file", L"my.setup file"},
    };
    for (const Case& c : cases) EXPECT_EQ(ExecutableNameFromPath(c.path), c.name);
}

}  // namespace
