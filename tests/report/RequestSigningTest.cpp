#include "report/RequestSigning.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "report/ParameterSet.h"
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
    // The client's entry point sends exactly that body.
    EXPECT_EQ(SignParams(L"v1/userop/add", L"POST",
                         L"type=0&code=S2_d01&remark=mac=00-1A-2B-3C-4D-5E,channel=0,sub_channel=setup,noui=0", kKey,
                         kSecret, kTime),
              "app_key=NkRbTeVwPqMsXaC&code=S2_d01&remark=mac%3D00-1A-2B-3C-4D-5E%2Cchannel%3D0"
              "%2Csub_channel%3Dsetup%2Cnoui%3D0&sign=N2n50JXY1YfZNVEGW5Csx1UmB3o%3D&time_stamp=1400000000&type=0");
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

// The client's own values win, the last occurrence of a name wins, a
// caller's sign is dropped, and pieces without a name are dropped: what is
// signed and sent is exactly the winning parameters.
TEST(SignRequest, OverriddenRepeatedAndNamelessPiecesLeaveTheWinningValues)
{
    const struct {
        const wchar_t* params;
        const char* normalized;
    } cases[] = {
        {L"sign=forged&type=0", "app_key=NkRbTeVwPqMsXaC&time_stamp=1400000000&type=0"},
        {L"type=0&sign=", "app_key=NkRbTeVwPqMsXaC&time_stamp=1400000000&type=0"},
        {L"app_key=someone_else&time_stamp=1&type=0", "app_key=NkRbTeVwPqMsXaC&time_stamp=1400000000&type=0"},
        {L"type=0&type=1", "app_key=NkRbTeVwPqMsXaC&time_stamp=1400000000&type=1"},
        {L"type=0&&=x&flag&code=a", "app_key=NkRbTeVwPqMsXaC&code=a&time_stamp=1400000000&type=0"},
        // A piece beginning with two "=" has the name "=" (names are written unencoded).
        {L"==x&a=b=c", "==x&a=b%3Dc&app_key=NkRbTeVwPqMsXaC&time_stamp=1400000000"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.params)));
        const SignedRequest request = Sign(row.params);
        EXPECT_EQ(request.normalized, row.normalized);
        EXPECT_EQ(request.body.find("forged"), std::string::npos);
    }
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

// Signatures computed apart from this code, with Python's hmac, base64 and
// its own statement of the encoders, for the same key, secret and time:
// every input the signature covers changes it.
TEST(SignRequest, SignaturesMatchAnIndependentComputation)
{
    const struct {
        const wchar_t* path;
        const wchar_t* method;
        const wchar_t* params;
        std::string key;
        std::string secret;
        std::int32_t timeStamp;
        const char* signature;
    } cases[] = {
        {L"v1/userop/add", L"POST", L"type=0", kKey, kSecret, kTime, "+MVV/f8HZcaH39ug6/yyf93tmpY="},
        {L"v1/userop/add", L"POST", L"type=0", kKey, kSecret, kTime + 1, "CJEDkclvrfSbP4IzCbkFZXIKZ1E="},
        {L"v1/userop/add", L"POST", L"type=0", kKey, kSecret + "x", kTime, "xS58IKr2wpvwgyTBv4PfjRaJIzY="},
        {L"v1/userop/add", L"POST", L"type=0", kKey + "x", kSecret, kTime, "rAK+dZS++TeFS2PDWGpyed6yyqM="},
        {L"v1/user op/add~", L"post", L"type=0", kKey, kSecret, kTime, "ONHtThWgQvyQRhCmpurp+sfKhzI="},
        {L"v1/userop/add", L"POST", L"", kKey, kSecret, 0, "QEUEwSQ7BTYs7JaMMdq2EDyixuk="},
        {L"v1/userop/add", L"POST", L"", kKey, kSecret, INT32_MIN, "iylc1348qgsn/ETiKIQ8uM3OhkA="},
        {L"v1/userop/add", L"POST", L"a=!*()~", kKey, kSecret, kTime, "5ENk1mnwU//g/cfzctNv9czukNA="},
        {L"v1/userop/add", L"POST", L"zed=1&Zed=2&alpha=3&Alpha=4", kKey, kSecret, kTime,
         "MrWMBtV7vM4R3DIZozgefWMGh60="},
        {L"v1/userop/add", L"POST", L"remark=sub_channel=\x5B89\x88C5", kKey, kSecret, kTime,
         "5LjNvXNBzDpSdlWkK5DjG2gRVMQ="},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.params)) + " at " + std::to_string(row.timeStamp));
        const SignedRequest request = SignRequest(row.path, row.method, row.params, row.key, row.secret, row.timeStamp);
        EXPECT_EQ(request.signature, row.signature);
        // "+", "/" and the final "=" travel escaped.
        std::string sent;
        for (const char c : std::string(row.signature)) {
            sent += c == '+' ? "%2B" : c == '/' ? "%2F" : c == '=' ? "%3D" : std::string(1, c);
        }
        EXPECT_NE(request.body.find("&sign=" + sent + "&"), std::string::npos) << request.body;
    }
}

}  // namespace
