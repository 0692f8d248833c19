#include "tools/tn-extract/ExtractListing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(ExtractListing, OneTabSeparatedLinePerEntry)
{
    ArchiveItem record;
    std::memset(&record, 0, sizeof(record));
    record.attributes = 0x20;
    record.modificationTime = 132646006460000000ull;
    record.accessTime = 131444736000000000ull;
    record.creationTime = 1;
    const wchar_t name[] = L"html/\u5E2E\u52A9.html";
    std::memcpy(record.name, name, sizeof(name));
    std::string out;
    AppendEntryLine(&out, 42, ArcInflateFailed, record);
    AppendEntriesLine(&out, 3162);
    EXPECT_EQ("42\t0x05000000\t0x20\t132646006460000000\t131444736000000000\t1\thtml/\xE5\xB8\xAE\xE5\x8A\xA9.html\n"
              "entries 3162\n",
              out);
}

TEST(AppendUtf8, EncodesEveryRangeAndReplacesLoneSurrogates)
{
    struct Case {
        std::wstring text;
        std::string utf8;
    };
    std::wstring astral;
    if (sizeof(wchar_t) == 2) {
        astral = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
    } else {
        astral = {static_cast<wchar_t>(0x1F600)};
    }
    const Case cases[] = {
        {L"a", "a"},
        {L"\u00E9", "\xC3\xA9"},
        {L"\u4E2D", "\xE4\xB8\xAD"},
        {astral, "\xF0\x9F\x98\x80"},
        {std::wstring(1, static_cast<wchar_t>(0xD800)), "\xEF\xBF\xBD"},
        {std::wstring(1, static_cast<wchar_t>(0xDC00)) + L"x", "\xEF\xBF\xBDx"},
    };
    for (const Case& c : cases) {
        std::string out;
        AppendUtf8(&out, c.text);
        EXPECT_EQ(c.utf8, out);
    }
}

}  // namespace
