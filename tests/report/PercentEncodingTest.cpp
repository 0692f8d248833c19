#include "report/PercentEncoding.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct EncodeCase {
    std::string input;
    const char* urlEncoded;
    const char* signEncoded;
};

// The two encoders differ exactly on ".", "_", "-" (copied byte-wise,
// escaped in signed values), "!", "*", "(", ")" (the other way round) and
// on bytes from 0x80, which the value encoder reads as UTF-8 first.
const EncodeCase kEncodeCases[] = {
    {"", "", ""},
    {"AZaz09", "AZaz09", "AZaz09"},
    {".", ".", "%2E"},
    {"_", "_", "%5F"},
    {"-", "-", "%2D"},
    {"~", "%7E", "%7E"},
    {"!", "%21", "!"},
    {"*", "%2A", "*"},
    {"(", "%28", "("},
    {")", "%29", ")"},
    {" ", "%20", "%20"},
    {"=", "%3D", "%3D"},
    {",", "%2C", "%2C"},
    {"&", "%26", "%26"},
    {"%", "%25", "%25"},
    {"+", "%2B", "%2B"},
    {"/", "%2F", "%2F"},
    {std::string(1, '\0'), "%00", "%00"},
    {"\x7F", "%7F", "%7F"},
    {"mac=00-1A-2B-3C-4D-5E,channel=0", "mac%3D00-1A-2B-3C-4D-5E%2Cchannel%3D0",
     "mac%3D00%2D1A%2D2B%2D3C%2D4D%2D5E%2Cchannel%3D0"},
    // A character outside ASCII: each byte of its UTF-8 form, upper-case hex.
    {"\xE5\xAE\x89", "%E5%AE%89", "%E5%AE%89"},
    {"\xC3\xA9t\xC3\xA9", "%C3%A9t%C3%A9", "%C3%A9t%C3%A9"},
    // A surrogate pair as the client sends it: two three-byte forms.
    {"\xED\xA0\xBD\xED\xB8\x80", "%ED%A0%BD%ED%B8%80", "%ED%A0%BD%ED%B8%80"},
    // Bytes that are not the UTF-8 form of their unit: the value encoder
    // writes the unit's own form, the byte encoder the bytes as they are.
    {"\x80", "%80", "%C2%80"},
    {"\xFF", "%FF", ""},  // a six-byte lead with nothing after it
    {"\xC2\x41", "%C2A", "%C2%81"},
    {"\xF0\x9F\x98\x80", "%F0%9F%98%80", "%EF%98%80"},  // four-byte form, low 16 bits kept
    {"ok\xE5\xAE", "ok%E5%AE", ""},                     // truncated: the whole value is empty
};

class Encoders : public testing::TestWithParam<EncodeCase> {};

TEST_P(Encoders, UrlEncode)
{
    EXPECT_EQ(UrlEncode(GetParam().input), GetParam().urlEncoded);
}

TEST_P(Encoders, EncodeSignValue)
{
    EXPECT_EQ(EncodeSignValue(GetParam().input), GetParam().signEncoded);
}

INSTANTIATE_TEST_SUITE_P(Cases, Encoders, testing::ValuesIn(kEncodeCases));

const char kLettersAndDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string Escaped(unsigned byte)
{
    char text[4];
    std::snprintf(text, sizeof(text), "%%%02X", byte);
    return text;
}

TEST(UrlEncode, CopiesOnlyLettersDigitsDotUnderscoreAndHyphen)
{
    for (unsigned byte = 0; byte < 256; ++byte) {
        const bool copied = (byte != 0 && std::strchr(kLettersAndDigits, static_cast<int>(byte)) != nullptr) ||
                            byte == '.' || byte == '_' || byte == '-';
        const std::string input(1, static_cast<char>(byte));
        EXPECT_EQ(UrlEncode(input), copied ? input : Escaped(byte)) << "byte " << byte;
    }
}

TEST(EncodeSignValue, CopiesOnlyLettersDigitsAndFourMarksOfAscii)
{
    for (unsigned byte = 0; byte < 128; ++byte) {
        const bool copied = (byte != 0 && std::strchr(kLettersAndDigits, static_cast<int>(byte)) != nullptr) ||
                            byte == '!' || byte == '*' || byte == '(' || byte == ')';
        const std::string input(1, static_cast<char>(byte));
        EXPECT_EQ(EncodeSignValue(input), copied ? input : Escaped(byte)) << "byte " << byte;
    }
}

}  // namespace
