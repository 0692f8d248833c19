#include "engine/MemorySource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(MemorySource, ReadsFromThePositionAndStopsAtTheEnd)
{
    const std::string block = "0123456789";
    MemorySource source(block.data(), block.size());
    char buffer[16] = {};
    EXPECT_EQ(4u, source.Read(buffer, 4));
    EXPECT_EQ("0123", std::string(buffer, 4));
    EXPECT_EQ(4u, source.Tell());
    EXPECT_EQ(6u, source.Read(buffer, sizeof(buffer)));
    EXPECT_EQ("456789", std::string(buffer, 6));
    EXPECT_TRUE(source.LastReadWasShort());
    EXPECT_EQ(0u, source.Read(buffer, sizeof(buffer)));
    EXPECT_TRUE(source.LastReadWasShort());
    EXPECT_EQ(10u, source.Tell());
    EXPECT_EQ(10u, source.Size());
    EXPECT_TRUE(source.Seek(0, MemorySource::Origin::Set));
    EXPECT_EQ(10u, source.Read(buffer, 10));
    EXPECT_FALSE(source.LastReadWasShort());
}

TEST(MemorySource, SeeksFromEachOrigin)
{
    const std::string block = "0123456789";
    MemorySource source(block.data(), block.size());
    char c = 0;
    EXPECT_TRUE(source.Seek(7, MemorySource::Origin::Set));
    EXPECT_EQ(1u, source.Read(&c, 1));
    EXPECT_EQ('7', c);
    EXPECT_TRUE(source.Seek(-3, MemorySource::Origin::Current));
    EXPECT_EQ(5u, source.Tell());
    EXPECT_TRUE(source.Seek(-1, MemorySource::Origin::End));
    EXPECT_EQ(1u, source.Read(&c, 1));
    EXPECT_EQ('9', c);
    EXPECT_TRUE(source.Seek(0, MemorySource::Origin::End));
    EXPECT_EQ(10u, source.Tell());
}

TEST(MemorySource, PositionBeforeTheStartIsRefusedOnePastTheEndReadsNothing)
{
    const std::string block = "abc";
    MemorySource source(block.data(), block.size());
    EXPECT_TRUE(source.Seek(2, MemorySource::Origin::Set));
    EXPECT_FALSE(source.Seek(-3, MemorySource::Origin::Current));
    EXPECT_EQ(2u, source.Tell());
    EXPECT_FALSE(source.Seek(-4, MemorySource::Origin::End));
    EXPECT_FALSE(source.Seek(-1, MemorySource::Origin::Set));
    EXPECT_FALSE(source.Seek(INT64_MAX, MemorySource::Origin::End));
    EXPECT_TRUE(source.Seek(100, MemorySource::Origin::Set));
    char c = 0;
    EXPECT_EQ(0u, source.Read(&c, 1));
    EXPECT_EQ(100u, source.Tell());
}

TEST(MemorySource, ReadsTheBlockInPlace)
{
    // The same bytes, not a copy made at construction.
    std::string block = "xyz";
    MemorySource source(block.data(), block.size());
    block[1] = 'Q';
    char buffer[3];
    EXPECT_EQ(3u, source.Read(buffer, 3));
    EXPECT_EQ('Q', buffer[1]);
}

}  // namespace
