// The licence agreement's text as the dialog shows it: 1038 UTF-16 units, a
// greeting line, then 20 paragraphs a line, each indented by eight spaces.
#include "ui/LicenceText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(LicenceText, GreetingThenTwentyIndentedParagraphs)
{
    const std::wstring text = kLicenceText;
    EXPECT_EQ(text.size(), 1038u);
    std::vector<std::wstring> lines;
    for (size_t start = 0;;) {
        const size_t end = text.find(L"\r\n", start);
        lines.push_back(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos) break;
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 21u) << "20 line breaks";
    EXPECT_EQ(lines[0], L"尊敬的用户：");
    for (size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].substr(0, 8), std::wstring(8, L' ')) << "paragraph " << i;
        EXPECT_NE(lines[i][8], L' ') << "paragraph " << i;
        EXPECT_EQ(lines[i].find_first_of(L"\r\n"), std::wstring::npos) << "paragraph " << i;
    }
}

}  // namespace
