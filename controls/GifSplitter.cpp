#include "controls/GifSplitter.h"

#include <cstring>

namespace {
constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kApplicationLabel = 0xFF;
constexpr uint8_t kCommentLabel = 0xFE;
constexpr uint8_t kControlLabel = 0xF9;
constexpr uint8_t kPlainTextLabel = 0x01;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;

// Bytes before each kind's sub-blocks: introducer and label, then the
// kind's fixed part.
constexpr uint32_t kApplicationHeadBytes = 14;  // block size byte, 8-byte identifier, 3-byte code
constexpr uint32_t kCommentHeadBytes = 2;
constexpr uint32_t kPlainTextHeadBytes = 15;    // block size byte and 12 bytes of text grid
constexpr uint32_t kImageHeadBytes = 11;        // 10-byte descriptor, LZW minimum code size
constexpr int64_t kControlBytes = 8;            // block size 4, four bytes, terminator
constexpr uint32_t kImagePackedAt = 9;
constexpr uint8_t kColourTableFlag = 0x80;
}  // namespace

void GifFrameSplitter::Attach(const uint8_t* data, uint32_t size)
{
    m_data = data;
    m_dataSize = data != nullptr ? size : 0;
    m_readPos = 0;
    m_colourTableBytes = 0;
}

void GifFrameSplitter::Detach()
{
    m_data = nullptr;
}

bool GifFrameSplitter::HasGifHeader() const
{
    return m_data != nullptr && HasBytes(0, 6) &&
           (std::memcmp(m_data, "GIF87a", 6) == 0 || std::memcmp(m_data, "GIF89a", 6) == 0);
}

uint32_t GifFrameSplitter::ColourTableBytes(uint8_t packed)
{
    return (packed & kColourTableFlag) != 0 ? 3u * (2u << (packed & 7)) : 0;
}

uint32_t GifFrameSplitter::ReadWord(uint32_t pos) const
{
    return static_cast<uint32_t>(m_data[pos]) | (static_cast<uint32_t>(m_data[pos + 1]) << 8);
}

GifSize GifFrameSplitter::ReadScreen()
{
    GifSize canvas;
    m_colourTableBytes = 0;
    if (m_data != nullptr && HasBytes(0, kHeaderAndScreenBytes)) {
        canvas.width = static_cast<int32_t>(ReadWord(6));
        canvas.height = static_cast<int32_t>(ReadWord(8));
        m_colourTableBytes = ColourTableBytes(m_data[10]);
    }
    m_readPos = FirstBlockPos();
    return canvas;
}

uint32_t GifFrameSplitter::CountFrames()
{
    m_readPos = FirstBlockPos();
    uint32_t count = 0;
    while (StepOverGraphicBlock()) ++count;
    return count;
}

GifBlockKind GifFrameSplitter::BlockKindAt() const
{
    if (m_data == nullptr || !HasBytes(m_readPos, 1)) return KindOther;
    const uint8_t first = m_data[m_readPos];
    if (first == kImageSeparator) return KindImage;
    if (first == kTrailer) return KindTrailer;
    if (first != kExtensionIntroducer || !HasBytes(m_readPos, 2)) return KindOther;
    switch (m_data[m_readPos + 1]) {
    case kApplicationLabel: return KindApplication;
    case kCommentLabel: return KindComment;
    case kControlLabel: return KindControl;
    case kPlainTextLabel: return KindPlainText;
    default: return KindOther;
    }
}

uint32_t GifFrameSplitter::SubBlocksLength(uint32_t pos) const
{
    if (m_data == nullptr) return 0;
    uint64_t at = pos;
    while (HasBytes(at, 1)) {
        const uint8_t length = m_data[at];
        at += 1 + static_cast<uint64_t>(length);
        if (length == 0) return static_cast<uint32_t>(at - pos);
    }
    return 0;
}

int64_t GifFrameSplitter::BlockLengthAt() const
{
    // The fixed head, then the sub-blocks after it; 0 when they fail.
    const auto withSubBlocks = [this](uint64_t headBytes) -> int64_t {
        if (!HasBytes(m_readPos, headBytes)) return 0;
        const uint32_t chain = SubBlocksLength(static_cast<uint32_t>(m_readPos + headBytes));
        return chain == 0 ? 0 : static_cast<int64_t>(headBytes) + chain;
    };
    switch (BlockKindAt()) {
    case KindApplication: return withSubBlocks(kApplicationHeadBytes);
    case KindComment: return withSubBlocks(kCommentHeadBytes);
    case KindControl: return kControlBytes;
    case KindPlainText: return withSubBlocks(kPlainTextHeadBytes);
    case KindImage:
        if (!HasBytes(m_readPos, kImagePackedAt + 1)) return 0;
        return withSubBlocks(kImageHeadBytes + uint64_t{ColourTableBytes(m_data[m_readPos + kImagePackedAt])});
    case KindTrailer: return 1;
    case KindOther: break;
    }
    return -1;
}

bool GifFrameSplitter::StepOverBlock()
{
    if (m_data == nullptr) return false;
    const int64_t length = BlockLengthAt();
    if (length <= 0 || !HasBytes(m_readPos, static_cast<uint64_t>(length))) return false;
    m_readPos += static_cast<uint32_t>(length);
    return true;
}

bool GifFrameSplitter::SkipExtensionsBeforeFrame()
{
    for (GifBlockKind kind = BlockKindAt(); kind == KindApplication || kind == KindComment; kind = BlockKindAt()) {
        if (!StepOverBlock()) return false;
    }
    return true;
}

bool GifFrameSplitter::StepToRenderingBlock()
{
    if (!StepOverBlock()) return false;
    for (;;) {
        const GifBlockKind kind = BlockKindAt();
        if (kind == KindImage || kind == KindPlainText) return true;
        if (kind == KindOther || kind == KindTrailer || !StepOverBlock()) return false;
    }
}

std::optional<GifFrameSplitter::FrameWalk> GifFrameSplitter::WalkFrame()
{
    if (m_data == nullptr || !SkipExtensionsBeforeFrame()) return std::nullopt;
    FrameWalk walk;
    walk.spanStart = m_readPos;
    const GifBlockKind first = BlockKindAt();
    if (first == KindOther || first == KindTrailer) return std::nullopt;
    if (first == KindControl) {
        walk.control = m_readPos;
        if (!StepToRenderingBlock()) return std::nullopt;
    }
    walk.renderingKind = BlockKindAt();
    walk.rendering = m_readPos;
    if (!StepOverBlock()) return std::nullopt;
    return walk;
}

bool GifFrameSplitter::StepOverGraphicBlock()
{
    const uint32_t before = m_readPos;
    if (WalkFrame()) return true;
    m_readPos = before;
    return false;
}

std::optional<GifCutFrame> GifFrameSplitter::CutNextFrame()
{
    const uint32_t before = m_readPos;
    const std::optional<FrameWalk> walk = WalkFrame();
    const uint32_t fixedBytes = FirstBlockPos();
    if (!walk || !HasBytes(0, fixedBytes)) {
        m_readPos = before;
        return std::nullopt;
    }

    GifCutFrame frame;
    if (walk->control) {
        const uint32_t control = *walk->control;
        frame.delay = ReadWord(control + 4);
        frame.disposal = (m_data[control + 3] >> 2) & 7;
    }
    if (walk->renderingKind == KindImage) {
        const uint32_t image = walk->rendering;
        frame.offset = {static_cast<int32_t>(ReadWord(image + 1)), static_cast<int32_t>(ReadWord(image + 3))};
        frame.size = {static_cast<int32_t>(ReadWord(image + 5)), static_cast<int32_t>(ReadWord(image + 7))};
    }

    const uint8_t* span = m_data + walk->spanStart;
    frame.bytes.reserve(size_t{fixedBytes} + (m_readPos - walk->spanStart) + 1);
    frame.bytes.assign(m_data, m_data + fixedBytes);
    frame.bytes.insert(frame.bytes.end(), span, m_data + m_readPos);
    frame.bytes.push_back(kTrailer);
    return frame;
}
