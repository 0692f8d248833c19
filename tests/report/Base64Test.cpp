#include "report/Base64.h"

#include <gtest/gtest.h>

#include <string>

#include "report/Sha1Hasher.h"

namespace {

std::string Encode(const std::string& bytes)
{
    return Base64Encode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

TEST(Base64Encode, Rfc4648Examples)
{
    const struct {
        const char* input;
        const char* encoded;
    } cases[] = {
        {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
    };
    for (const auto& row : cases) EXPECT_EQ(Encode(row.input), row.encoded) << row.input;
}

TEST(Base64Encode, UsesPlusAndSlashForTheLastTwoValues)
{
    EXPECT_EQ(Encode("\xfb\xff\xbf"), "+/+/");
    EXPECT_EQ(Encode(std::string("\0\0\0", 3)), "AAAA");
}

TEST(Base64Encode, DigestsGiveTwentySevenCharactersAndOnePad)
{
    const struct {
        const char* message;
        const char* encoded;  // from Python's base64.b64encode(hashlib.sha1(message).digest())
    } cases[] = {
        {"abc", "qZk+NkcGgWq6PiVxeFDCbJzQ2J0="},
        {"", "2jmj7l5rSw0yVb/vlWAYkK/YBwk="},
    };
    for (const auto& row : cases) {
        CSha1Hasher hasher;
        hasher.Update(row.message);
        const std::string encoded = Base64Encode(hasher.Final());
        EXPECT_EQ(encoded, row.encoded);
        ASSERT_EQ(encoded.size(), 28u);
        EXPECT_EQ(encoded.find('='), 27u);
    }
}

}  // namespace
