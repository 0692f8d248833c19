#include "report/InstallEventRecord.h"

#include <gtest/gtest.h>

#include <string>

#include "report/MacAddressText.h"
#include "report/ParameterSet.h"
#include "report/TextConversion.h"

namespace {

TEST(FormatInstallEventRecord, FourEventsWithMacChannelZeroAndFileName)
{
    const struct {
        InstallEventCode code;
        const wchar_t* record;
    } cases[] = {
        {InstallEventCode::S2_d01, L"type=0&code=S2_d01&remark=mac=00-1A-2B-3C-4D-5E,channel=0,sub_channel=setup,noui=0"},
        {InstallEventCode::S2_d02, L"type=0&code=S2_d02&remark=mac=00-1A-2B-3C-4D-5E,channel=0,sub_channel=setup,noui=0"},
        {InstallEventCode::S2_i04, L"type=0&code=S2_i04&remark=mac=00-1A-2B-3C-4D-5E,channel=0,sub_channel=setup,noui=0"},
        {InstallEventCode::S2_i05, L"type=0&code=S2_i05&remark=mac=00-1A-2B-3C-4D-5E,channel=0,sub_channel=setup,noui=0"},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(FormatInstallEventRecord(row.code, L"00-1A-2B-3C-4D-5E", L"setup"), row.record);
    }
}

TEST(FormatInstallEventRecord, EmptyMacLeavesNothingAfterMacEquals)
{
    EXPECT_EQ(FormatInstallEventRecord(InstallEventCode::S2_i05, L"", L"setup"),
              L"type=0&code=S2_i05&remark=mac=,channel=0,sub_channel=setup,noui=0");
}

TEST(FormatInstallEventRecord, FileNameIsNotEscapedAndPercentSignsStayText)
{
    EXPECT_EQ(FormatInstallEventRecord(InstallEventCode::S2_d01, L"%s", L"%d \x5B89\x88C5"),
              L"type=0&code=S2_d01&remark=mac=%s,channel=0,sub_channel=%d \x5B89\x88C5,noui=0");
}

TEST(FormatInstallEventRecord, CommaAndEqualsInFileNameStayInsideRemark)
{
    const ParameterSet parameters =
        ParseParameters(Utf16ToUtf8(FormatInstallEventRecord(InstallEventCode::S2_d01, L"", L"a,b=c")));
    ASSERT_EQ(parameters.size(), 3u);
    EXPECT_EQ(parameters.at("remark"), "mac=,channel=0,sub_channel=a,b=c,noui=0");
}

TEST(FormatInstallEventRecord, AmpersandInFileNameEndsRemarkAndStartsAParameter)
{
    const ParameterSet parameters =
        ParseParameters(Utf16ToUtf8(FormatInstallEventRecord(InstallEventCode::S2_d01, L"", L"set&up")));
    ASSERT_EQ(parameters.size(), 4u);
    EXPECT_EQ(parameters.at("remark"), "mac=,channel=0,sub_channel=set");
    EXPECT_EQ(parameters.at("up,noui"), "0");
}

TEST(FormatMacAddress, SixBytesInUpperCaseHexJoinedByHyphens)
{
    const unsigned char sample[] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    const unsigned char high[] = {0xab, 0xcd, 0xef, 0xff, 0x01, 0x10, 0x99, 0x99};  // bytes past six are ignored
    EXPECT_EQ(FormatMacAddress(sample), L"00-1A-2B-3C-4D-5E");
    EXPECT_EQ(FormatMacAddress(high), L"AB-CD-EF-FF-01-10");
}

}  // namespace
