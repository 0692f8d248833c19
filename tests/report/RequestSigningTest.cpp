#include "report/RequestSigning.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "report/ParameterSet.h"
#include "report/PercentEncoding.h"
#include "report/StatCredentials.h"
#include "report/TextConversion.h"

namespace {

const std::string kKey = Utf16ToUtf8(kStatAppKey);
const std::string kSecret = Utf16ToUtf8(kStatAppSecret);
const std::int32_t kTime = 1400000000;

SignedRequest Sign(const std::wstring& params, std::int32_t timeStamp = kTime)
{
    return SignRequest(L"v1/userop/add", L"POST", params, kKey, kSecret, timeStamp);
}

std::vector<std::string> NamesIn(const std::string& body)
{
    std::vector<std::string> names;
    for (const auto& entry : ParseParameters(body)) names.push_back(entry.first);
    return names;
}

TEST(SignRequest, WorkedExampleByteForByte)
{
    const SignedRequest request =
        Sign(L"type=0&code=S2_d01&remark=mac=00-1A-2B-3C-4D-5E,channel=0,sub_channel=setup,noui=0");
    EXPECT_EQ(request.parameterText,
              "type=0&code=S2_d01&remark=mac=00-1A-2B-3C-4D-5E,channel=0,sub_channel=setup,noui=0"
              "&app_key=NkRbTeVwPqMsXaC&time_stamp=1400000000");
    EXPECT_EQ(request.normalized,
              "app_key=NkRbTeVwPqMsXaC&code=S2%5Fd01&remark=mac%3D00%2D1A%2D2B%2D3C%2D4D%2D5E%2Cchannel%3D0"
              "%2Csub%5Fchannel%3Dsetup%2Cnoui%3D0&time_stamp=1400000000&type=0");
    EXPECT_EQ(request.stringToSign,
              "POST&v1%2Fuserop%2Fadd&app_key%3DNkRbTeVwPqMsXaC%26code%3DS2%255Fd01%26remark%3Dmac%253D00%252D1A"
              "%252D2B%252D3C%252D4D%252D5E%252Cchannel%253D0%252Csub%255Fchannel%253Dsetup%252Cnoui%253D0"
              "%26time_stamp%3D1400000000%26type%3D0");
    // Computed apart from this code, from the string-to-sign above:
    //   base64.b64encode(hmac.new(b"Hq4TzW8nRc2VbK6mYx1PdL9sJf3GaE7u", S, hashlib.sha1).digest())
    EXPECT_EQ(request.signature, "N2n50JXY1YfZNVEGW5Csx1UmB3o=");
    EXPECT_EQ(request.body,
              "app_key=NkRbTeVwPqMsXaC&code=S2_d01&remark=mac%3D00-1A-2B-3C-4D-5E%2Cchannel%3D0"
              "%2Csub_channel%3Dsetup%2Cnoui%3D0&sign=N2n50JXY1YfZNVEGW5Csx1UmB3o%3D&time_stamp=1400000000&type=0");
    EXPECT_EQ(SignParams(L"v1/userop/add", L"POST",
                         L"type=0&code=S2_d01&remark=mac=00-1A-2B-3C-4D-5E,channel=0,sub_channel=setup,noui=0", kKey,
                         kSecret, kTime),
              request.body);
}

TEST(SignRequest, NonAsciiValueIsSignedAsEscapedUtf8Bytes)
{
    const SignedRequest request = Sign(L"remark=sub_channel=\x5B89\x88C5");  // 安装
    EXPECT_EQ(request.normalized,
              "app_key=NkRbTeVwPqMsXaC&remark=sub%5Fchannel%3D%E5%AE%89%E8%A3%85&time_stamp=1400000000");
    EXPECT_NE(request.stringToSign.find("%26remark%3Dsub%255Fchannel%253D%25E5%25AE%2589%25E8%25A3%2585%26"),
              std::string::npos)
        << request.stringToSign;
    EXPECT_NE(request.body.find("&remark=sub_channel%3D%E5%AE%89%E8%A3%85&"), std::string::npos) << request.body;
}

TEST(SignRequest, EmptyParamsCarryOnlyKeySignAndTime)
{
    const SignedRequest request = Sign(L"");
    EXPECT_EQ(request.parameterText, "app_key=NkRbTeVwPqMsXaC&time_stamp=1400000000");
    EXPECT_EQ(NamesIn(request.body), (std::vector<std::string>{"app_key", "sign", "time_stamp"}));
}

// Requests that must sign exactly like a plainer one: the client's own
// values win, the last occurrence of a name wins, a caller's sign is dropped.
TEST(SignRequest, OverriddenAndRepeatedNamesSignLikeTheWinningValues)
{
    const struct {
        const wchar_t* params;
        const wchar_t* equivalent;
    } cases[] = {
        {L"sign=forged&type=0", L"type=0"},
        {L"type=0&sign=", L"type=0"},
        {L"app_key=someone_else&time_stamp=1&type=0", L"type=0"},
        {L"type=0&type=1", L"type=1"},
        {L"type=0&&=x&flag&code=a", L"type=0&code=a"},
    };
    for (const auto& row : cases) {
        const SignedRequest request = Sign(row.params);
        const SignedRequest plain = Sign(row.equivalent);
        EXPECT_EQ(request.normalized, plain.normalized) << testing::PrintToString(std::wstring(row.params));
        EXPECT_EQ(request.body, plain.body) << testing::PrintToString(std::wstring(row.params));
    }
    const std::string body = Sign(L"sign=forged&app_key=x&time_stamp=1&type=0&type=1").body;
    EXPECT_EQ(body.find("forged"), std::string::npos);
    EXPECT_NE(body.find("app_key=NkRbTeVwPqMsXaC&"), std::string::npos);
    EXPECT_NE(body.find("&time_stamp=1400000000&"), std::string::npos);
    EXPECT_NE(body.find("&type=1"), std::string::npos);
    EXPECT_EQ(body.find("type=0"), std::string::npos);
}

TEST(SignRequest, UpperCaseNamesComeFirstInBodyAndNormalizedString)
{
    const SignedRequest request = Sign(L"zed=1&Zed=2&alpha=3&Alpha=4");
    EXPECT_EQ(NamesIn(request.body),
              (std::vector<std::string>{"Alpha", "Zed", "alpha", "app_key", "sign", "time_stamp", "zed"}));
    EXPECT_EQ(request.normalized.rfind("Alpha=4&Zed=2&alpha=3&app_key=", 0), 0u) << request.normalized;
    EXPECT_EQ(request.body.rfind("Alpha=4&Zed=2&alpha=3&app_key=", 0), 0u) << request.body;
}

TEST(SignRequest, MarksCopiedInValuesAreEscapedByTheOuterEncoders)
{
    const SignedRequest request = Sign(L"a=!*()~");
    EXPECT_EQ(request.normalized.rfind("a=!*()%7E&", 0), 0u) << request.normalized;
    EXPECT_NE(request.stringToSign.find("&a%3D%21%2A%28%29%257E%26"), std::string::npos) << request.stringToSign;
    EXPECT_EQ(request.body.rfind("a=%21%2A%28%29%7E&", 0), 0u) << request.body;
}

TEST(SignRequest, MethodIsUpperCasedAndPathEscaped)
{
    const SignedRequest request = SignRequest(L"v1/user op/add~", L"post", L"", kKey, kSecret, kTime);
    EXPECT_EQ(request.stringToSign.rfind("POST&v1%2Fuser%20op%2Fadd%7E&app_key%3D", 0), 0u) << request.stringToSign;
    // The path and method are signed: another path or method gives another signature.
    EXPECT_NE(request.signature, SignRequest(L"v1/userop/add", L"POST", L"", kKey, kSecret, kTime).signature);
    EXPECT_NE(request.signature, SignRequest(L"v1/user op/add~", L"GET", L"", kKey, kSecret, kTime).signature);
}

TEST(SignRequest, TimeStampIsWrittenAsSignedDecimal)
{
    const struct {
        std::int32_t timeStamp;
        const char* text;
    } cases[] = {{0, "0"}, {1400000000, "1400000000"}, {INT32_MAX, "2147483647"}, {INT32_MIN, "-2147483648"}};
    for (const auto& row : cases) {
        EXPECT_EQ(Sign(L"", row.timeStamp).parameterText, std::string("app_key=NkRbTeVwPqMsXaC&time_stamp=") + row.text);
    }
}

TEST(SignRequest, SignatureIsTwentyEightCharactersEndingInEquals)
{
    const wchar_t* params[] = {L"", L"type=0", L"a=\x5B89", L"x=\xD83D\xDE00&y=1"};
    for (const wchar_t* text : params) {
        for (std::int32_t timeStamp : {0, 1, kTime}) {
            const SignedRequest request = Sign(text, timeStamp);
            ASSERT_EQ(request.signature.size(), 28u);
            EXPECT_EQ(request.signature.back(), '=');
            EXPECT_EQ(request.signature.find('='), 27u);
            // "+", "/" and the final "=" travel escaped.
            const std::string sent = UrlEncode(request.signature);
            EXPECT_EQ(sent.substr(sent.size() - 3), "%3D");
            EXPECT_NE(request.body.find("&sign=" + sent + "&"), std::string::npos);
        }
    }
}

TEST(SignRequest, SecretKeyAndTimeAllChangeTheSignature)
{
    const std::string base = Sign(L"type=0").signature;
    EXPECT_NE(SignRequest(L"v1/userop/add", L"POST", L"type=0", kKey, kSecret + "x", kTime).signature, base);
    EXPECT_NE(SignRequest(L"v1/userop/add", L"POST", L"type=0", kKey + "x", kSecret, kTime).signature, base);
    EXPECT_NE(Sign(L"type=0", kTime + 1).signature, base);
    EXPECT_EQ(Sign(L"type=0").signature, base);
}

}  // namespace
