// What tn-pack refuses before it packs: paths the installer could not make
// under its default folder, names it would not write as they are, and the
// limits of a ZIP without its 64-bit extension.
#include "tools/tn-pack/PackRules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "C:\Program Files\Tarnivo/" is 25 characters, so 234 are left for a name.
constexpr size_t kRoomUnderDefaultFolder = 259 - 25;

TEST(FitsUnderDefaultFolder, CountsTheNameAfterTheFolderAndItsSeparator)
{
    const std::wstring longest(kRoomUnderDefaultFolder, L'x');
    struct Case {
        std::wstring name;
        bool fits;
    } const cases[] = {
        {L"Tarnivo.exe", true},
        {longest, true},
        {longest + L"x", false},
        // A folder entry is made without its trailing separator.
        {longest + L"/", true},
        {longest + L"x/", false},
        {L"html/" + std::wstring(kRoomUnderDefaultFolder - 5, L'y'), true},
        {L"html/" + std::wstring(kRoomUnderDefaultFolder - 4, L'y'), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.fits, FitsUnderDefaultFolder(c.name)) << c.name.size() << " characters";
    }
}

TEST(IsWrittenAsNamed, RefusesWhatTheReaderWouldDropOrRefuse)
{
    struct Case {
        const wchar_t* name;
        bool written;
    } const cases[] = {
        {L"Tarnivo.exe", true},
        {L"html/ggkszd/", true},
        {L".hidden", true},
        {L"a b/c d.txt", true},
        {L"console.log", true},
        {L"a.b/c", true},
        {L"a.", false},
        {L"b ", false},
        {L"dir./x.txt", false},
        {L"dir /", false},
        {L"..", false},
        {L"a/../b.txt", false},
        {L"...", false},
        {L"a/ . /b", false},
        {L"CON", false},
        {L"con.txt", false},
        {L"a/nul/b.txt", false},
        {L"COM1", false},
        {L"lpt9.log", false},
        {L"c:x", false},
        {L"/abs", false},
        {L"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.written, IsWrittenAsNamed(c.name)) << "\"" << testing::PrintToString(std::wstring(c.name)) << "\"";
}

TEST(ArchiveLimits, LastValuesWithoutTheSixtyFourBitExtension)
{
    EXPECT_TRUE(FitsStoredName(259));
    EXPECT_FALSE(FitsStoredName(260));
    EXPECT_TRUE(FitsArchiveValue(0xFFFFFFFEull));
    EXPECT_FALSE(FitsArchiveValue(0xFFFFFFFFull));
    EXPECT_FALSE(FitsArchiveValue(0x100000000ull));
    EXPECT_TRUE(FitsEntryCount(65535));
    EXPECT_FALSE(FitsEntryCount(65536));
}

}  // namespace
