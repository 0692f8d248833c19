#include "report/TextConversion.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/report/TextConversionCases.h"

namespace {

class TextRoundTrip : public testing::TestWithParam<ConversionCase> {};

TEST_P(TextRoundTrip, Utf16ToUtf8)
{
    EXPECT_EQ(Utf16ToUtf8(GetParam().text), GetParam().bytes);
}

TEST_P(TextRoundTrip, Utf8ToUtf16)
{
    EXPECT_EQ(Utf8ToUtf16(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextRoundTrip, testing::ValuesIn(kRoundTripCases),
                         [](const testing::TestParamInfo<ConversionCase>& info) {
                             return std::string(info.param.name);
                         });

class LenientDecode : public testing::TestWithParam<ConversionCase> {};

TEST_P(LenientDecode, Utf8ToUtf16)
{
    EXPECT_EQ(Utf8ToUtf16(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, LenientDecode, testing::ValuesIn(kLenientDecodeCases),
                         [](const testing::TestParamInfo<ConversionCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(Utf8ToUtf16, SequenceRunningPastTheEndEmptiesTheWholeResult)
{
    for (const char* bytes : kTruncatedBytes) EXPECT_EQ(Utf8ToUtf16(bytes), L"") << testing::PrintToString(bytes);
}

TEST(TextConversion, EveryUnitSurvivesTheRoundTrip)
{
    std::wstring every;
    for (unsigned unit = 0; unit <= 0xFFFF; ++unit) every.push_back(static_cast<wchar_t>(unit));
    const std::string bytes = Utf16ToUtf8(every);
    EXPECT_EQ(bytes.size(), 0x80u * 1 + (0x800u - 0x80u) * 2 + (0x10000u - 0x800u) * 3);
    EXPECT_EQ(Utf8ToUtf16(bytes), every);
}

}  // namespace
