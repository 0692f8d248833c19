// Any bytes, GIF or not: the count and the cuts never read past the data,
// agree with each other, and every cut is the file's fixed part, the bytes
// the walk stepped over and a trailer, itself a GIF of exactly one frame.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "controls/GifSplitter.h"

namespace {

void Check(bool condition)
{
    if (!condition) __builtin_trap();
}

// Cuts every frame of the data; gives how many there were.
uint32_t CutAll(const uint8_t* data, uint32_t size, bool checkRecut)
{
    GifFrameSplitter splitter;
    splitter.Attach(data, size);
    if (!splitter.HasGifHeader()) return 0;
    splitter.ReadScreen();
    const uint32_t fixedBytes = splitter.FirstBlockPos();
    const uint32_t counted = splitter.CountFrames();
    Check(counted == 0 || splitter.m_readPos <= size);

    splitter.m_readPos = fixedBytes;
    uint32_t cuts = 0;
    for (;;) {
        const uint32_t before = splitter.m_readPos;
        const auto frame = splitter.CutNextFrame();
        if (!frame) {
            Check(splitter.m_readPos == before);
            break;
        }
        const uint32_t after = splitter.m_readPos;
        Check(after > before && after <= size);
        const size_t span = frame->bytes.size() - fixedBytes - 1;
        Check(frame->bytes.size() > size_t{fixedBytes} + 1);
        Check(span <= after - before);
        Check(std::memcmp(frame->bytes.data(), data, fixedBytes) == 0);
        Check(std::memcmp(frame->bytes.data() + fixedBytes, data + after - span, span) == 0);
        Check(frame->bytes.back() == 0x3B);
        Check(frame->disposal <= 7);
        Check(frame->delay <= 0xFFFF || frame->delay == kGifNoDelay);
        if (checkRecut) {
            // The one-frame GIF walks to exactly one frame that is itself.
            GifFrameSplitter again;
            again.Attach(frame->bytes.data(), static_cast<uint32_t>(frame->bytes.size()));
            Check(again.HasGifHeader());
            again.ReadScreen();
            Check(again.m_colourTableBytes == splitter.m_colourTableBytes);
            Check(again.CountFrames() == 1);
            again.m_readPos = again.FirstBlockPos();
            const auto recut = again.CutNextFrame();
            Check(recut && recut->bytes == frame->bytes);
            Check(recut->delay == frame->delay && recut->disposal == frame->disposal);
            Check(again.BlockKindAt() == KindTrailer);
        }
        ++cuts;
    }
    Check(cuts == counted);
    return cuts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > UINT32_MAX) return 0;
    const uint32_t size32 = static_cast<uint32_t>(size);
    CutAll(data, size32, true);

    // The single steps from every position: inside the data or in place.
    GifFrameSplitter splitter;
    splitter.Attach(data, size32);
    for (uint32_t pos = 0; pos <= size32; ++pos) {
        splitter.m_readPos = pos;
        const uint32_t chain = splitter.SubBlocksLength(pos);
        Check(chain == 0 || (uint64_t{pos} + chain <= size && data[pos + chain - 1] == 0));
        const int64_t length = splitter.BlockLengthAt();
        if (splitter.StepOverBlock()) {
            Check(length > 0 && splitter.m_readPos == pos + length && splitter.m_readPos <= size);
        } else {
            Check(splitter.m_readPos == pos);
        }
    }
    return 0;
}
