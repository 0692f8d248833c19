#include "report/ParameterSet.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/report/ParameterSetCases.h"

namespace {

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
