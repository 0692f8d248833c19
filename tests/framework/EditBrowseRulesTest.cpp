// The edit-browse box's decisions before any window: its mode from the
// template's control-initialisation data, and how a file browse starts.
#include "framework/EditBrowseRules.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::optional<EditBrowseMode> Mode(const char* data)
{
    return BrowseModeFromInitData(data, strlen(data));
}

TEST(EditBrowseRules, ModeComesFromTheTemplatesTag)
{
    struct Case {
        const char* data;
        std::optional<EditBrowseMode> mode;
    } const cases[] = {
        {"<MFCEditBrowse_Mode>1</MFCEditBrowse_Mode>", EditBrowseMode::File},
        {"<MFCEditBrowse_Mode>0</MFCEditBrowse_Mode>", EditBrowseMode::None},
        {"<MFCEditBrowse_Mode>2</MFCEditBrowse_Mode>", EditBrowseMode::Folder},
        {"<MFCEditBrowse_Mode>3</MFCEditBrowse_Mode>", EditBrowseMode::Custom},
        // Among other settings of the same data.
        {"<Other>5</Other><MFCEditBrowse_Mode>2</MFCEditBrowse_Mode><More/>", EditBrowseMode::Folder},
        {"<MFCEditBrowse_Mode>4</MFCEditBrowse_Mode>", std::nullopt},
        {"<MFCEditBrowse_Mode>12</MFCEditBrowse_Mode>", std::nullopt},
        {"<MFCEditBrowse_Mode></MFCEditBrowse_Mode>", std::nullopt},
        {"<MFCEditBrowse_Mode> 1</MFCEditBrowse_Mode>", std::nullopt},
        {"<MFCEditBrowse_Mode>1", std::nullopt},
        {"MFCEditBrowse_Mode 1", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(Mode(c.data), c.mode) << c.data;
}

TEST(EditBrowseRules, ModeReadsOnlyTheGivenBytes)
{
    // The data is not terminated; the tag's end lies beyond the given size.
    const char data[] = "<MFCEditBrowse_Mode>1</MFCEditBrowse_Mode>";
    EXPECT_EQ(BrowseModeFromInitData(data, strlen(data) - 1), std::nullopt);
    EXPECT_EQ(BrowseModeFromInitData(nullptr, 0), std::nullopt);
}

TEST(EditBrowseRules, FileBrowseStartsFromTheText)
{
    struct Case {
        const wchar_t* text;
        bool invalid;
        const wchar_t* preset;
    } const cases[] = {
        {L"C:\\Program Files\\Tarnivo", false, L"C:\\Program Files\\Tarnivo"},
        {L"C:\\Program Files\\a*b", true, L""},
        {L"C:\\Program Files\\a?b", true, L""},
        {L"C:\\x\\<b>", true, L""},
        {L"C:\\x|y\\file.txt", true, L""},  // anywhere in the text, not only the name
        {L"D:\\x\\setup.exe", false, L"D:\\x\\setup.exe"},
        // A blank name part starts an empty dialog, forbidden characters or not.
        {L"C:\\a*b\\", false, L""},
        {L"C:\\Program Files\\", false, L""},
        {L"C:\\x\\   .txt", false, L""},
        {L"C:\\x\\\u3000", false, L""},
        {L"C:", false, L""},
        {L"", false, L""},
        {L"   ", false, L""},
        {L"C:\\x\\.hidden", false, L""},  // all extension
        {L"C:/x/name", false, L"C:/x/name"},
        {L"C:name", false, L"C:name"},
        {L"C:\\x\\ a ", false, L"C:\\x\\ a "},  // kept as typed
    };
    for (const Case& c : cases) {
        const FileBrowseStart start = StartFileBrowse(c.text);
        EXPECT_EQ(start.nameIsInvalid, c.invalid) << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(start.presetName, c.preset) << testing::PrintToString(std::wstring(c.text));
    }
}

}  // namespace
