#include "report/HmacSha1.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/report/DigestHex.h"

namespace {

std::string Counting(int first, int count)
{
    std::string bytes;
    for (int i = 0; i < count; ++i) bytes.push_back(static_cast<char>(first + i));
    return bytes;
}

struct HmacCase {
    const char* name;
    std::string key;
    std::string message;
    const char* digest;
};

// RFC 2202's seven HMAC-SHA1 cases (6 and 7 have 80-byte keys, hashed
// first), then keys at the block size and one past it, digests from Python's
// hmac module.
const HmacCase kHmacCases[] = {
    {"Rfc2202Case1", std::string(20, '\x0b'), "Hi There", "b617318655057264e28bc0b6fb378c8ef146be00"},
    {"Rfc2202Case2", "Jefe", "what do ya want for nothing?", "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79"},
    {"Rfc2202Case3", std::string(20, '\xaa'), std::string(50, '\xdd'), "125d7342b9ac11cd91a39af48aa17b4f63f175d3"},
    {"Rfc2202Case4", Counting(1, 25), std::string(50, '\xcd'), "4c9007f4026250c6bc8414f9bf50c86c2d7235da"},
    {"Rfc2202Case5", std::string(20, '\x0c'), "Test With Truncation", "4c1a03424b55e07fe7f27be1d58bb9324a9a5a04"},
    {"Rfc2202Case6", std::string(80, '\xaa'), "Test Using Larger Than Block-Size Key - Hash Key First",
     "aa4ae5e15272d00e95705637ce8a3b55ed402112"},
    {"Rfc2202Case7", std::string(80, '\xaa'),
     "Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data",
     "e8e99d0f45237d786d6bbaa7965c7808bbff1a91"},
    {"KeyOfExactlyOneBlock", Counting(0, 64), "message", "437e7c82521bb99a2bebd62addf020eadacac8be"},
    {"KeyOneByteLongerThanABlock", Counting(0, 65), "message", "56ec09225c6275397e8ffcc196036a53fb708542"},
    {"EmptyKeyAndMessage", "", "", "fbdb1d1b18aa6c08324b7d64b71fb76370690e1d"},
};

class HmacSha1Digests : public testing::TestWithParam<HmacCase> {};

TEST_P(HmacSha1Digests, MatchPublishedValue)
{
    EXPECT_EQ(DigestHex(HmacSha1(GetParam().message, GetParam().key)), GetParam().digest);
}

INSTANTIATE_TEST_SUITE_P(Cases, HmacSha1Digests, testing::ValuesIn(kHmacCases),
                         [](const testing::TestParamInfo<HmacCase>& info) { return std::string(info.param.name); });

}  // namespace
