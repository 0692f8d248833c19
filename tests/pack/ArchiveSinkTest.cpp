// The memory zip.c writes the archive into: appends, goes back to complete
// a header, and never grows past the limit of a ZIP without its 64-bit
// extension.
#include "tools/tn-pack/ArchiveSink.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Text(const ArchiveSink& sink) { return std::string(sink.bytes().begin(), sink.bytes().end()); }

TEST(ArchiveSink, AppendsAndCompletesWhatItWroteBefore)
{
    ArchiveSink sink(1000);
    ASSERT_TRUE(sink.Write("header....data", 14));
    EXPECT_EQ(14u, sink.Tell());
    ASSERT_TRUE(sink.Seek(6));
    ASSERT_TRUE(sink.Write("1234", 4));
    EXPECT_EQ(10u, sink.Tell());
    ASSERT_TRUE(sink.Seek(14));
    ASSERT_TRUE(sink.Write("!", 1));
    EXPECT_EQ("header1234data!", Text(sink));

    // Overwriting across the end extends the block.
    ASSERT_TRUE(sink.Seek(13));
    ASSERT_TRUE(sink.Write("AB+", 3));
    EXPECT_EQ("header1234datAB+", Text(sink));
    EXPECT_FALSE(sink.Seek(17));
    EXPECT_FALSE(sink.overLimit());
}

TEST(ArchiveSink, RefusesToPassItsLimitAndWritesNothingThen)
{
    ArchiveSink sink(10);
    ASSERT_TRUE(sink.Write("12345678", 8));
    EXPECT_FALSE(sink.Write("abc", 3));
    EXPECT_TRUE(sink.overLimit());
    EXPECT_EQ("12345678", Text(sink));
    EXPECT_EQ(8u, sink.Tell());
    ASSERT_TRUE(sink.Write("ab", 2));  // exactly up to the limit
    EXPECT_EQ("12345678ab", Text(sink));
    ASSERT_TRUE(sink.Seek(0));
    EXPECT_TRUE(sink.Write("xyz", 3));  // within what is there
    EXPECT_FALSE(sink.Write(nullptr, static_cast<size_t>(-1)));
}

TEST(ArchiveSink, ReservesNoMoreThanItsLimit)
{
    ArchiveSink sink(64);
    EXPECT_TRUE(sink.Reserve(1ull << 40));
    EXPECT_LE(sink.bytes().capacity(), 64u);
    EXPECT_TRUE(sink.bytes().empty());
}

}  // namespace
