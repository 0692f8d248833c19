// The uninstall entry's values: names in their order, the folder's paths
// built by plain concatenation, channel and no-UI flag always "0".
#include "engine/registration/UninstallValues.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Values = std::vector<std::pair<std::wstring, std::wstring>>;

Values Listed(const std::wstring& folder, const std::wstring& subChannel)
{
    Values listed;
    for (const UninstallValue& value : UninstallValues(folder, subChannel)) listed.emplace_back(value.name, value.data);
    return listed;
}

TEST(UninstallValues, SevenValuesInTheirOrderForEachFolderForm)
{
    const struct {
        std::wstring folder;
        std::wstring subChannel;
        std::wstring icon;
        std::wstring uninstaller;
    } cases[] = {
        {L"C:\\Program Files\\Tarnivo", L"setup", L"C:\\Program Files\\Tarnivo\\Tarnivo.exe",
         L"C:\\Program Files\\Tarnivo\\uninstall.exe"},
        // Nothing normalises separators: a trailing one doubles.
        {L"D:\\Apps\\Tarnivo\\", L"setup.beta", L"D:\\Apps\\Tarnivo\\\\Tarnivo.exe",
         L"D:\\Apps\\Tarnivo\\\\uninstall.exe"},
        {L"\"E:\\q\"", L"", L"\"E:\\q\"\\Tarnivo.exe", L"\"E:\\q\"\\uninstall.exe"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(testing::PrintToString(row.folder));
        const Values expected = {{L"DisplayIcon", row.icon},
                                 {L"DisplayName", L"Tarnivo2.0"},
                                 {L"Publisher", L"Ostrevan"},
                                 {L"UninstallString", row.uninstaller},
                                 {L"CHANNEL", L"0"},
                                 {L"SUBCHANNEL", row.subChannel},
                                 {L"NOUI", L"0"}};
        EXPECT_EQ(Listed(row.folder, row.subChannel), expected);
    }
}

}  // namespace
