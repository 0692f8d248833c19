#include "report/ParameterSet.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

Entries EntriesOf(const ParameterSet& parameters)
{
    return Entries(parameters.begin(), parameters.end());
}

TEST(ByteWiseLess, OrdersBytesAsUnsignedValues)
{
    const ByteWiseLess less;
    EXPECT_TRUE(less("Z", "a"));        // upper case before lower case
    EXPECT_TRUE(less("a", "ab"));       // a prefix first
    EXPECT_FALSE(less("ab", "a"));
    EXPECT_TRUE(less("", "a"));
    EXPECT_TRUE(less("\x7F", "\x80"));  // 0x80 and up after ASCII, not before
    EXPECT_TRUE(less("z", "\xE5"));
    EXPECT_FALSE(less("a", "a"));
    EXPECT_TRUE(less(std::string("a\0b", 3), "ab"));
}

struct ParseCase {
    const char* name;
    const char* text;
    Entries entries;
};

const ParseCase kParseCases[] = {
    {"Empty", "", {}},
    {"OnePair", "type=0", {{"type", "0"}}},
    {"EmptyValue", "remark=", {{"remark", ""}}},
    {"ValueHoldsEquals", "remark=mac=00,channel=0", {{"remark", "mac=00,channel=0"}}},
    {"LastOccurrenceWins", "type=0&code=a&type=1", {{"code", "a"}, {"type", "1"}}},
    {"OnlyEqualsFirstIsDropped", "=value&a=1", {{"a", "1"}}},
    {"LoneEqualsIsDropped", "=&a=1", {{"a", "1"}}},
    {"TwoEqualsFirstNameTheFirst", "==value", {{"=", "value"}}},
    {"NameMayBeginWithEquals", "=x=y", {{"=x", "y"}}},
    {"PieceWithoutEqualsIsDropped", "flag&a=1", {{"a", "1"}}},
    {"EmptyPiecesAreDropped", "&a=1&&b=2&", {{"a", "1"}, {"b", "2"}}},
    {"NothingIsUnescaped", "a=%41+b", {{"a", "%41+b"}}},
    {"ByteOrderWithUpperCase", "b=1&a=2&B=3&_=4", {{"B", "3"}, {"_", "4"}, {"a", "2"}, {"b", "1"}}},
};

class ParseParametersCases : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseParametersCases, GiveTheseEntries)
{
    EXPECT_EQ(EntriesOf(ParseParameters(GetParam().text)), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseParametersCases, testing::ValuesIn(kParseCases),
                         [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

TEST(ParameterSet, NormalizedStringAndBodyWriteNamesAsTheyAreAndEncodeValues)
{
    const ParameterSet parameters = ParseParameters("b=x y&B=a.b&a=(!)&Name_1=~");
    EXPECT_EQ(NormalizedString(parameters), "B=a%2Eb&Name_1=%7E&a=(!)&b=x%20y");
    EXPECT_EQ(FormBody(parameters), "B=a.b&Name_1=%7E&a=%28%21%29&b=x%20y");
}

TEST(ParameterSet, EmptySetWritesNothing)
{
    EXPECT_EQ(NormalizedString(ParameterSet()), "");
    EXPECT_EQ(FormBody(ParameterSet()), "");
}

}  // namespace
