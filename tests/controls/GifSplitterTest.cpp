// The banner's GIF walk: block kinds and lengths, the frame count and the
// cut one-frame GIFs, on the shipped banner and on small GIFs built here,
// broken ones included.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "controls/GifSplitter.h"
#include "tests/support/GifBuilder.h"

using tn::test::GifBuilder;
using tn::test::Rgb;

namespace {

const std::vector<Rgb> kFourColours = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};

std::vector<uint8_t> ReadFile(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A splitter over the data, positioned on the first block.
GifFrameSplitter SplitterOver(const std::vector<uint8_t>& data)
{
    GifFrameSplitter splitter;
    splitter.Attach(data.data(), static_cast<uint32_t>(data.size()));
    splitter.ReadScreen();
    return splitter;
}

// Every frame CutNextFrame gives, from the first block.
std::vector<GifCutFrame> CutAll(GifFrameSplitter& splitter)
{
    splitter.m_readPos = splitter.FirstBlockPos();
    std::vector<GifCutFrame> frames;
    while (auto frame = splitter.CutNextFrame()) frames.push_back(std::move(*frame));
    return frames;
}

std::vector<uint8_t> Slice(const std::vector<uint8_t>& data, size_t from, size_t to)
{
    return std::vector<uint8_t>(data.begin() + static_cast<std::ptrdiff_t>(from),
                                data.begin() + static_cast<std::ptrdiff_t>(to));
}

// The one-frame GIF the cut must give: the fixed part, the span, a trailer.
std::vector<uint8_t> Expected(const std::vector<uint8_t>& data, uint32_t fixedBytes, size_t spanFrom, size_t spanTo)
{
    std::vector<uint8_t> bytes = Slice(data, 0, fixedBytes);
    const std::vector<uint8_t> span = Slice(data, spanFrom, spanTo);
    bytes.insert(bytes.end(), span.begin(), span.end());
    bytes.push_back(0x3B);
    return bytes;
}

TEST(GifSplitterBanner, TheShippedBannerHasFourFullCanvasFramesOfThreeSeconds)
{
    const std::vector<uint8_t> banner = ReadFile(TN_BANNER_GIF);
    ASSERT_GT(banner.size(), 781u) << TN_BANNER_GIF;
    GifFrameSplitter splitter;
    splitter.Attach(banner.data(), static_cast<uint32_t>(banner.size()));
    ASSERT_TRUE(splitter.HasGifHeader());
    EXPECT_EQ(std::string(banner.begin(), banner.begin() + 6), "GIF89a");
    const GifSize canvas = splitter.ReadScreen();
    EXPECT_EQ(canvas.width, 479);
    EXPECT_EQ(canvas.height, 236);
    EXPECT_EQ(splitter.m_colourTableBytes, 768u);
    EXPECT_EQ(splitter.FirstBlockPos(), 781u);

    // Two application extensions, the first a loop count, then the frames.
    EXPECT_EQ(splitter.BlockKindAt(), KindApplication);
    EXPECT_EQ(std::string(banner.begin() + 784, banner.begin() + 795), "NETSCAPE2.0");
    ASSERT_TRUE(splitter.StepOverBlock());
    EXPECT_EQ(splitter.BlockKindAt(), KindApplication);
    ASSERT_TRUE(splitter.StepOverBlock());
    EXPECT_EQ(splitter.BlockKindAt(), KindControl);

    EXPECT_EQ(splitter.CountFrames(), 4u);

    splitter.m_readPos = splitter.FirstBlockPos();
    for (int index = 0; index < 4; ++index) {
        SCOPED_TRACE("frame " + std::to_string(index));
        auto frame = splitter.CutNextFrame();
        ASSERT_TRUE(frame);
        EXPECT_EQ(frame->delay, 300u);
        EXPECT_EQ(frame->disposal, 1u);
        EXPECT_EQ(frame->offset.left, 0);
        EXPECT_EQ(frame->offset.top, 0);
        EXPECT_EQ(frame->size.width, 479);
        EXPECT_EQ(frame->size.height, 236);

        const std::vector<uint8_t>& bytes = frame->bytes;
        ASSERT_GT(bytes.size(), 781u + 8 + 10 + 1);
        EXPECT_EQ(Slice(bytes, 0, 781), Slice(banner, 0, 781)) << "header, screen and colour table of the file";
        EXPECT_EQ(bytes.back(), 0x3B);
        const size_t span = bytes.size() - 781 - 1;
        EXPECT_EQ(Slice(bytes, 781, 781 + span), Slice(banner, splitter.m_readPos - span, splitter.m_readPos));
        EXPECT_EQ(bytes[781 + 1], 0xF9) << "the span opens with the control extension";
        EXPECT_EQ(bytes[781 + 3] & 1, 1) << "transparency flag";
        EXPECT_EQ(bytes[781 + 8], 0x2C) << "the image right after it";
        EXPECT_EQ(bytes[781 + 8 + 9] & 0x80, 0) << "no local colour table";

        // Itself a valid GIF of exactly this one frame.
        GifFrameSplitter again = SplitterOver(bytes);
        EXPECT_TRUE(again.HasGifHeader());
        EXPECT_EQ(again.CountFrames(), 1u);
        const std::vector<GifCutFrame> recut = CutAll(again);
        ASSERT_EQ(recut.size(), 1u);
        EXPECT_EQ(recut[0].bytes, bytes);
        EXPECT_EQ(again.BlockKindAt(), KindTrailer);
    }
    const uint32_t atTrailer = splitter.m_readPos;
    EXPECT_EQ(splitter.BlockKindAt(), KindTrailer);
    EXPECT_FALSE(splitter.CutNextFrame());
    EXPECT_EQ(splitter.m_readPos, atTrailer);
    EXPECT_EQ(atTrailer + 1, banner.size()) << "nothing after the trailer";
}

TEST(GifSplitterHeader, OnlyTheTwoGifHeadersAreGifs)
{
    const struct {
        std::string data;
        bool isGif;
    } cases[] = {
        {"GIF89a", true}, {"GIF87a", true}, {"GIF88a", false}, {"gif89a", false},
        {"GIF89", false}, {"", false}, {"\x89PNG\r\n", false},
    };
    for (const auto& item : cases) {
        const std::vector<uint8_t> data(item.data.begin(), item.data.end());
        GifFrameSplitter splitter;
        splitter.Attach(data.data(), static_cast<uint32_t>(data.size()));
        EXPECT_EQ(splitter.HasGifHeader(), item.isGif) << item.data;
    }
}

TEST(GifSplitterHeader, TheScreenGivesCanvasAndColourTableSize)
{
    // Packed byte bits 0-2 give 2^(n+1) entries of 3 bytes, when bit 7 is set.
    const struct {
        uint8_t packed;
        uint32_t tableBytes;
    } cases[] = {{0x80, 6}, {0x81, 12}, {0xF2, 24}, {0x85, 192}, {0x87, 768}, {0x07, 0}, {0x7F, 0}};
    for (const auto& item : cases) {
        std::vector<uint8_t> data = {'G', 'I', 'F', '8', '9', 'a', 0xDF, 0x01, 0xEC, 0x00, item.packed, 0, 0};
        data.resize(data.size() + item.tableBytes + 1, 0x3B);
        GifFrameSplitter splitter = SplitterOver(data);
        SCOPED_TRACE(static_cast<int>(item.packed));
        EXPECT_EQ(splitter.m_colourTableBytes, item.tableBytes);
        EXPECT_EQ(splitter.m_readPos, 13 + item.tableBytes);
        EXPECT_EQ(splitter.BlockKindAt(), KindTrailer);
        splitter.m_readPos = 0;
        const GifSize canvas = splitter.ReadScreen();
        EXPECT_EQ(canvas.width, 479);
        EXPECT_EQ(canvas.height, 236);
    }
}

TEST(GifSplitterHeader, AHeaderWithoutItsScreenOrColourTableHasNoFrames)
{
    const std::vector<uint8_t> shortScreen = {'G', 'I', 'F', '8', '9', 'a', 10, 0, 10};
    GifFrameSplitter splitter = SplitterOver(shortScreen);
    EXPECT_EQ(splitter.m_colourTableBytes, 0u);
    EXPECT_EQ(splitter.CountFrames(), 0u);
    EXPECT_TRUE(CutAll(splitter).empty());

    // The table is announced but the data ends inside it.
    std::vector<uint8_t> shortTable = GifBuilder(4, 4, kFourColours).Bytes();
    shortTable.resize(13 + 5);
    GifFrameSplitter cutShort = SplitterOver(shortTable);
    EXPECT_EQ(cutShort.CountFrames(), 0u);
    EXPECT_TRUE(CutAll(cutShort).empty());
}

TEST(GifSplitterWalk, BlockKindsFromTheirFirstBytes)
{
    const struct {
        std::vector<uint8_t> bytes;
        GifBlockKind kind;
    } cases[] = {
        {{0x21, 0xFF}, KindApplication}, {{0x21, 0xFE}, KindComment}, {{0x21, 0xF9}, KindControl},
        {{0x21, 0x01}, KindPlainText},   {{0x2C}, KindImage},          {{0x3B}, KindTrailer},
        {{0x21, 0x02}, KindOther},       {{0x21}, KindOther},          {{0x00}, KindOther},
        {{0x2D}, KindOther},             {{}, KindOther},
    };
    for (const auto& item : cases) {
        GifFrameSplitter splitter;
        splitter.Attach(item.bytes.data(), static_cast<uint32_t>(item.bytes.size()));
        EXPECT_EQ(splitter.BlockKindAt(), item.kind) << testing::PrintToString(item.bytes);
    }
    GifFrameSplitter detached;
    EXPECT_EQ(detached.BlockKindAt(), KindOther);
    const std::vector<uint8_t> trailer = {0x3B};
    detached.Attach(trailer.data(), 1);
    detached.m_readPos = 1;
    EXPECT_EQ(detached.BlockKindAt(), KindOther) << "the read position at the end of the data";
}

TEST(GifSplitterWalk, SubBlockChainsCountTheirTerminatorAndMustEndInsideTheData)
{
    const struct {
        std::vector<uint8_t> bytes;
        uint32_t length;
    } cases[] = {
        {{0x00}, 1},
        {{0x02, 'a', 'b', 0x00}, 4},
        {{0x01, 'a', 0x01, 'b', 0x00, 0x3B}, 5},
        {{0x02, 'a', 'b'}, 0},           // no terminator before the end
        {{0x05, 'a', 'b', 0x00}, 0},     // a sub-block running past the end
        {{0x01, 'a', 0x03, 'b', 0x00}, 0},
        {{}, 0},
    };
    for (const auto& item : cases) {
        GifFrameSplitter splitter;
        splitter.Attach(item.bytes.data(), static_cast<uint32_t>(item.bytes.size()));
        EXPECT_EQ(splitter.SubBlocksLength(0), item.length) << testing::PrintToString(item.bytes);
    }
    const std::vector<uint8_t> chain = {0x01, 'a', 0x00};
    GifFrameSplitter splitter;
    splitter.Attach(chain.data(), 3);
    EXPECT_EQ(splitter.SubBlocksLength(2), 1u);
    EXPECT_EQ(splitter.SubBlocksLength(3), 0u) << "a chain starting past the data";
    EXPECT_EQ(splitter.SubBlocksLength(0xFFFFFFFF), 0u);
}

TEST(GifSplitterWalk, BlockLengthsByKind)
{
    GifBuilder gif(4, 4, kFourColours);
    gif.Application("NETSCAPE2.0", std::string("\x01\x00\x00", 3))
        .Comment("a comment")
        .Control(10, 2)
        .PlainText("text")
        .Image(0, 0, 2, 2, {0, 1, 2, 3}, kFourColours)
        .Image(0, 0, 2, 2, {0, 1, 2, 3})
        .Trailer();
    const std::vector<uint8_t>& data = gif.Bytes();
    const std::vector<uint32_t>& starts = gif.BlockStarts();
    GifFrameSplitter splitter = SplitterOver(data);
    const GifBlockKind kinds[] = {KindApplication, KindComment, KindControl, KindPlainText,
                                  KindImage,       KindImage,   KindTrailer};
    for (size_t block = 0; block < starts.size(); ++block) {
        SCOPED_TRACE("block " + std::to_string(block));
        splitter.m_readPos = starts[block];
        EXPECT_EQ(splitter.BlockKindAt(), kinds[block]);
        const int64_t expected = (block + 1 < starts.size() ? starts[block + 1] : data.size()) - starts[block];
        EXPECT_EQ(splitter.BlockLengthAt(), expected);
    }
    // The application extension: 14 bytes, then 1 + 3 bytes of data and the terminator.
    splitter.m_readPos = starts[0];
    EXPECT_EQ(splitter.BlockLengthAt(), 14 + 5);
    // The first image carries a 4-entry local table inside its length.
    splitter.m_readPos = starts[4];
    EXPECT_EQ(splitter.BlockLengthAt(), (starts[5] - starts[4]));
    EXPECT_EQ(splitter.BlockLengthAt() - 12, starts[6] - starts[5]) << "the same image without its table";

    splitter.m_readPos = starts[2] + 1;
    EXPECT_EQ(splitter.BlockLengthAt(), -1) << "not a block";
}

TEST(GifSplitterWalk, AFailedStepLeavesTheReadPositionAndNeverPassesTheEnd)
{
    const std::vector<uint8_t> whole = GifBuilder(4, 4, kFourColours)
                                           .Comment("note")
                                           .Application("XMPDataXMP!", "abc")
                                           .Image(0, 0, 2, 2, {0, 1, 2, 3}, kFourColours)
                                           .Bytes();
    const uint32_t first = 13 + 12;
    // Cut the data at every length: steps either succeed inside it or fail in place.
    for (size_t length = first; length <= whole.size(); ++length) {
        const std::vector<uint8_t> data = Slice(whole, 0, length);
        GifFrameSplitter splitter = SplitterOver(data);
        for (;;) {
            const uint32_t before = splitter.m_readPos;
            if (!splitter.StepOverBlock()) {
                EXPECT_EQ(splitter.m_readPos, before) << "length " << length;
                break;
            }
            EXPECT_LE(splitter.m_readPos, data.size());
        }
        splitter.m_readPos = first;
        EXPECT_EQ(splitter.StepOverGraphicBlock(), length == whole.size()) << "length " << length;
        if (length != whole.size()) {
            EXPECT_EQ(splitter.m_readPos, first) << "length " << length;
        }
        splitter.m_readPos = first;
        EXPECT_EQ(splitter.CutNextFrame().has_value(), length == whole.size()) << "length " << length;
        if (length != whole.size()) {
            EXPECT_EQ(splitter.m_readPos, first) << "length " << length;
        }
    }
    GifFrameSplitter detached;
    EXPECT_FALSE(detached.StepOverBlock());
    EXPECT_FALSE(detached.StepOverGraphicBlock());
    EXPECT_FALSE(detached.CutNextFrame());
}

TEST(GifSplitterFrames, ExtensionsBeforeAFrameArePassedOverAndAreNotPartOfIt)
{
    GifBuilder gif(4, 4, kFourColours);
    gif.LoopCount(3)
        .Comment("made by hand")
        .Control(7, 1)
        .SolidImage(0, 0, 4, 4, 1)
        .Comment("between frames")
        .Application("XMPDataXMP!", std::string(300, 'x'))
        .Control(9, 0)
        .SolidImage(0, 0, 4, 4, 2)
        .Trailer();
    const std::vector<uint8_t>& data = gif.Bytes();
    const std::vector<uint32_t>& starts = gif.BlockStarts();
    GifFrameSplitter splitter = SplitterOver(data);
    EXPECT_EQ(splitter.CountFrames(), 2u);
    const std::vector<GifCutFrame> frames = CutAll(splitter);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].bytes, Expected(data, 25, starts[2], starts[4]));
    EXPECT_EQ(frames[0].delay, 7u);
    EXPECT_EQ(frames[1].bytes, Expected(data, 25, starts[6], starts[8]));
    EXPECT_EQ(frames[1].delay, 9u);
    EXPECT_EQ(splitter.m_readPos, starts[8]);
}

TEST(GifSplitterFrames, BlocksBetweenTheControlExtensionAndTheImageAreCopiedWithIt)
{
    GifBuilder gif(4, 4, kFourColours);
    gif.Control(5, 3).Comment("inside the frame").Application("XMPDataXMP!", "x").SolidImage(1, 2, 3, 2, 0).Trailer();
    const std::vector<uint8_t>& data = gif.Bytes();
    GifFrameSplitter splitter = SplitterOver(data);
    EXPECT_EQ(splitter.CountFrames(), 1u);
    const std::vector<GifCutFrame> frames = CutAll(splitter);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].bytes, Expected(data, 25, gif.BlockStarts()[0], gif.BlockStarts()[4]));
    const std::string copied(frames[0].bytes.begin(), frames[0].bytes.end());
    EXPECT_NE(copied.find("inside the frame"), std::string::npos);
    EXPECT_EQ(frames[0].delay, 5u);
    EXPECT_EQ(frames[0].disposal, 3u);
    EXPECT_EQ(frames[0].offset.left, 1);
    EXPECT_EQ(frames[0].offset.top, 2);
    EXPECT_EQ(frames[0].size.width, 3);
    EXPECT_EQ(frames[0].size.height, 2);
}

TEST(GifSplitterFrames, ALocalColourTableIsPartOfTheSpan)
{
    const std::vector<Rgb> eightColours(8, Rgb{1, 2, 3});
    GifBuilder gif(2, 2);  // no global table
    gif.Control(4, 0).Image(0, 0, 2, 2, {0, 1, 2, 7}, eightColours).Trailer();
    const std::vector<uint8_t>& data = gif.Bytes();
    const uint32_t image = gif.BlockStarts()[1];
    GifFrameSplitter splitter = SplitterOver(data);
    EXPECT_EQ(splitter.m_colourTableBytes, 0u);
    splitter.m_readPos = image;
    EXPECT_EQ(splitter.BlockLengthAt(), 11 + 24 + splitter.SubBlocksLength(image + 11 + 24));

    const std::vector<GifCutFrame> frames = CutAll(splitter);
    ASSERT_EQ(frames.size(), 1u);
    // Control extension and image with its table: the whole file again.
    EXPECT_EQ(frames[0].bytes, data);
}

TEST(GifSplitterFrames, AFrameWithoutControlExtensionHasNoDelayAndDisposalZero)
{
    GifBuilder gif(4, 4, kFourColours);
    gif.Control(20, 2).SolidImage(0, 0, 4, 4, 1).SolidImage(2, 1, 2, 3, 3).Trailer();
    GifFrameSplitter splitter = SplitterOver(gif.Bytes());
    const std::vector<GifCutFrame> frames = CutAll(splitter);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].delay, 20u);
    EXPECT_EQ(frames[0].disposal, 2u);
    EXPECT_EQ(frames[1].delay, 0xFFFFFFFFu);
    EXPECT_EQ(frames[1].disposal, 0u);
    EXPECT_EQ(frames[1].offset.left, 2);
    EXPECT_EQ(frames[1].size.height, 3);
    EXPECT_EQ(frames[1].bytes, Expected(gif.Bytes(), 25, gif.BlockStarts()[2], gif.BlockStarts()[3]));
}

TEST(GifSplitterFrames, DisposalIsBitsTwoToFourAndTheDelayAWholeWord)
{
    const struct {
        uint8_t disposal;
        uint8_t otherBits;
        uint16_t delay;
    } cases[] = {{0, 0xE3, 0}, {1, 0x01, 1}, {2, 0x02, 5}, {3, 0xE0, 300}, {7, 0xE3, 0xFFFF}, {4, 0, 0x1234}};
    for (const auto& item : cases) {
        GifBuilder gif(2, 2, kFourColours);
        gif.Control(item.delay, item.disposal, false, item.otherBits).SolidImage(0, 0, 2, 2, 0);
        GifFrameSplitter splitter = SplitterOver(gif.Bytes());
        const auto frame = splitter.CutNextFrame();
        ASSERT_TRUE(frame);
        EXPECT_EQ(frame->disposal, item.disposal);
        EXPECT_EQ(frame->delay, item.delay);
    }
}

TEST(GifSplitterFrames, APlainTextFrameCountsAndCarriesNoSizeOrOffset)
{
    GifBuilder gif(4, 4, kFourColours);
    gif.Control(10, 1).PlainText("hello").Control(10, 1).SolidImage(1, 1, 2, 2, 0).Trailer();
    GifFrameSplitter splitter = SplitterOver(gif.Bytes());
    EXPECT_EQ(splitter.CountFrames(), 2u);
    const std::vector<GifCutFrame> frames = CutAll(splitter);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].size.width, 0);
    EXPECT_EQ(frames[0].offset.left, 0);
    EXPECT_EQ(frames[0].delay, 10u);
    EXPECT_EQ(frames[1].size.width, 2);
}

TEST(GifSplitterFrames, TheWalkEndsAtTheFirstFaultAndTheFramesBeforeItStand)
{
    const auto build = [](GifBuilder& gif) -> GifBuilder& {
        return gif.Control(10, 1).SolidImage(0, 0, 4, 4, 1).Control(10, 1).SolidImage(0, 0, 4, 4, 2);
    };
    GifBuilder complete(4, 4, kFourColours);
    build(complete).Control(10, 1).SolidImage(0, 0, 4, 4, 3).Trailer();
    const uint32_t thirdImage = complete.BlockStarts()[5];

    // Data ending inside the third image's sub-blocks.
    const struct {
        const char* name;
        std::vector<uint8_t> data;
    } cases[] = {
        {"inside the third image's data", Slice(complete.Bytes(), 0, thirdImage + 14)},
        {"right after the third image's descriptor", Slice(complete.Bytes(), 0, thirdImage + 10)},
        {"inside the third control extension", Slice(complete.Bytes(), 0, complete.BlockStarts()[4] + 5)},
        {"an unknown extension instead of the third frame",
         [&] { GifBuilder gif(4, 4, kFourColours); return build(gif).Raw({0x21, 0x02, 0x01, 'x', 0x00}).Bytes(); }()},
        {"a trailer after the third control extension",
         [&] { GifBuilder gif(4, 4, kFourColours); return build(gif).Control(10, 1).Trailer().Bytes(); }()},
        {"a third image whose chain has no terminator",
         [&] {
             GifBuilder gif(4, 4, kFourColours);
             return build(gif).Control(10, 1).Raw({0x2C, 0, 0, 0, 0, 4, 0, 4, 0, 0, 2, 3, 1, 2, 3}).Bytes();
         }()},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.name);
        GifFrameSplitter splitter = SplitterOver(item.data);
        EXPECT_EQ(splitter.CountFrames(), 2u);
        const uint32_t afterTwo = splitter.m_readPos;
        EXPECT_FALSE(splitter.StepOverGraphicBlock());
        EXPECT_EQ(splitter.m_readPos, afterTwo);
        const std::vector<GifCutFrame> frames = CutAll(splitter);
        ASSERT_EQ(frames.size(), 2u);
        EXPECT_EQ(frames[0].bytes, Expected(item.data, 25, complete.BlockStarts()[0], complete.BlockStarts()[2]));
        EXPECT_EQ(frames[1].bytes, Expected(item.data, 25, complete.BlockStarts()[2], complete.BlockStarts()[4]));
        EXPECT_EQ(splitter.m_readPos, afterTwo);
    }
}

}  // namespace
