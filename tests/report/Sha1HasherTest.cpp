#include "report/Sha1Hasher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "tests/report/DigestHex.h"

namespace {

std::string Sha1Hex(const std::string& message)
{
    CSha1Hasher hasher;
    hasher.Update(message);
    return DigestHex(hasher.Final());
}

struct HashCase {
    const char* name;
    std::string message;
    const char* digest;
};

// The FIPS 180 examples, and runs of "a" around the padding boundaries (55
// bytes is the longest message whose length fits the last block; 56 to 63
// need a second one), digests taken from Python's hashlib.
const HashCase kHashCases[] = {
    {"Empty", "", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
    {"Abc", "abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
    {"Fips448Bits", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
     "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
    {"A55", std::string(55, 'a'), "c1c8bbdc22796e28c0e15163d20899b65621d65a"},
    {"A56", std::string(56, 'a'), "c2db330f6083854c99d4b5bfb6e8f29f201be699"},
    {"A57", std::string(57, 'a'), "f08f24908d682555111be7ff6f004e78283d989a"},
    {"A63", std::string(63, 'a'), "03f09f5b158a7a8cdad920bddc29b81c18a551f5"},
    {"A64", std::string(64, 'a'), "0098ba824b5c16427bd7a1122a5a442a25ec644d"},
    {"A65", std::string(65, 'a'), "11655326c708d70319be2610e8a57d9a5b959d3b"},
    {"A119", std::string(119, 'a'), "ee971065aaa017e0632a8ca6c77bb3bf8b1dfc56"},
    {"A120", std::string(120, 'a'), "f34c1488385346a55709ba056ddd08280dd4c6d6"},
    {"MillionA", std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
};

class Sha1Digests : public testing::TestWithParam<HashCase> {};

TEST_P(Sha1Digests, MatchPublishedValue)
{
    EXPECT_EQ(Sha1Hex(GetParam().message), GetParam().digest);
}

INSTANTIATE_TEST_SUITE_P(Messages, Sha1Digests, testing::ValuesIn(kHashCases),
                         [](const testing::TestParamInfo<HashCase>& info) { return std::string(info.param.name); });

TEST(Sha1Hasher, PiecesOfEverySizeGiveTheSameDigest)
{
    // One million "a" in pieces that straddle block boundaries in every way.
    const std::string million(1000000, 'a');
    const std::size_t pieceSizes[] = {1, 3, 55, 56, 63, 64, 65, 127, 1000};
    CSha1Hasher hasher;
    std::size_t offset = 0;
    for (std::size_t turn = 0; offset < million.size(); ++turn) {
        const std::size_t size = std::min(pieceSizes[turn % std::size(pieceSizes)], million.size() - offset);
        hasher.Update(million.data() + offset, size);
        offset += size;
    }
    EXPECT_EQ(DigestHex(hasher.Final()), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
}

TEST(Sha1Hasher, ResetForgetsEarlierInput)
{
    CSha1Hasher hasher;
    hasher.Update(std::string(100, 'x'));
    hasher.Reset();
    hasher.Update("abc");
    EXPECT_EQ(DigestHex(hasher.Final()), "a9993e364706816aba3e25717850c26c9cd0d89d");

    hasher.Reset();
    hasher.Update("abc");
    EXPECT_EQ(DigestHex(hasher.Final()), "a9993e364706816aba3e25717850c26c9cd0d89d");
}

TEST(Sha1Hasher, EmptyUpdatesChangeNothing)
{
    CSha1Hasher hasher;
    hasher.Update("", 0);
    hasher.Update("ab");
    hasher.Update("", 0);
    hasher.Update("c");
    EXPECT_EQ(DigestHex(hasher.Final()), "a9993e364706816aba3e25717850c26c9cd0d89d");
}

}  // namespace
