// Seeds of the reporting core's fuzz targets, from the tests' own cases: the
// four install event records, the cutter's parameter texts, the conversions'
// text and byte pairs, and the signed bodies the client sends.
#include <cstdint>
#include <string>

#include "report/InstallEventRecord.h"
#include "report/RequestSigning.h"
#include "report/StatCredentials.h"
#include "report/TextConversion.h"
#include "tests/report/ParameterSetCases.h"
#include "tests/report/TextConversionCases.h"
#include "tests/support/FuzzSeeds.h"

namespace {

using tn::test::BytesFromUnits;
using tn::test::SeedFolder;

const std::int32_t kTimeStamp = 1400000000;

// The records the installer sends, for a plain, an empty and a Chinese
// file name with "," and "=" in it.
std::vector<std::wstring> Records()
{
    std::vector<std::wstring> records;
    const std::wstring subChannels[] = {L"setup", L"", L"\x5B89\x88C5,x=1 setup"};
    const std::wstring macs[] = {L"00-1A-2B-3C-4D-5E", L""};
    for (const InstallEventCode code :
         {InstallEventCode::S2_d01, InstallEventCode::S2_d02, InstallEventCode::S2_i04, InstallEventCode::S2_i05}) {
        for (const std::wstring& subChannel : subChannels) {
            for (const std::wstring& mac : macs) records.push_back(FormatInstallEventRecord(code, mac, subChannel));
        }
    }
    return records;
}

std::wstring Widened(const char* text)
{
    std::wstring units;
    for (const char* c = text; *c != '\0'; ++c) units.push_back(static_cast<unsigned char>(*c));
    return units;
}

std::string SignedBody(const std::wstring& params)
{
    return SignParams(kReportPath, L"POST", params, Utf16ToUtf8(kStatAppKey), Utf16ToUtf8(kStatAppSecret), kTimeStamp);
}

// Four bytes of time stamp, then the caller's parameters as UTF-16.
std::string SigningInput(const std::wstring& params, std::int32_t timeStamp = kTimeStamp)
{
    std::string bytes(4, '\0');
    for (int at = 0; at < 4; ++at) bytes[at] = static_cast<char>(static_cast<std::uint32_t>(timeStamp) >> (8 * at));
    return bytes + BytesFromUnits(params);
}

void SignParamsSeeds(SeedFolder& seeds, const std::vector<std::string>&)
{
    for (const std::wstring& record : Records()) seeds.Add("record", SigningInput(record));
    for (const ParseCase& c : kParseCases) seeds.Add(c.name, SigningInput(Widened(c.text)));
    for (const ConversionCase& c : kRoundTripCases) seeds.Add(c.name, SigningInput(L"remark=" + c.text));
    seeds.Add("caller-sign", SigningInput(L"sign=abc&app_key=x&time_stamp=1&a=!*()~", -1));
}

void ParameterSetSeeds(SeedFolder& seeds, const std::vector<std::string>&)
{
    for (const ParseCase& c : kParseCases) seeds.Add(c.name, std::string(c.text));
    for (const std::wstring& record : Records()) {
        seeds.Add("record", Utf16ToUtf8(record));
        seeds.Add("body", SignedBody(record));
    }
    for (const ConversionCase& c : kRoundTripCases) seeds.Add(c.name, "remark=" + c.bytes + "&Remark=" + c.bytes);
}

void Utf16ToUtf8Seeds(SeedFolder& seeds, const std::vector<std::string>&)
{
    for (const ConversionCase& c : kRoundTripCases) seeds.Add(c.name, BytesFromUnits(c.text));
    for (const ConversionCase& c : kLenientDecodeCases) seeds.Add(c.name, BytesFromUnits(c.text));
    for (const std::wstring& record : Records()) seeds.Add("record", BytesFromUnits(record));
}

void Utf8ToUtf16Seeds(SeedFolder& seeds, const std::vector<std::string>&)
{
    for (const ConversionCase& c : kRoundTripCases) seeds.Add(c.name, c.bytes);
    for (const ConversionCase& c : kLenientDecodeCases) seeds.Add(c.name, c.bytes);
    for (const char* bytes : kTruncatedBytes) seeds.Add("truncated", std::string(bytes));
    for (const std::wstring& record : Records()) seeds.Add("record", Utf16ToUtf8(record));
}

}  // namespace

int main(int argc, char** argv)
{
    return tn::test::RunSeedWriter(argc, argv,
                                   {{"report_sign_params_fuzzer", SignParamsSeeds},
                                    {"report_parameter_set_fuzzer", ParameterSetSeeds},
                                    {"report_utf16_to_utf8_fuzzer", Utf16ToUtf8Seeds},
                                    {"report_utf8_to_utf16_fuzzer", Utf8ToUtf16Seeds}});
}
