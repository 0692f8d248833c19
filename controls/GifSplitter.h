#pragma once
// The GIF container walk of the animated banner: counts an animated GIF's
// frames and cuts each one out as a stand-alone one-frame GIF. Platform-free.
//
// Every walk stays inside the data, and a step that fails leaves the read
// position where it was, so a broken file ends the walk at its first fault
// and the frames before it stand.

#include <cstdint>
#include <optional>
#include <vector>

// What the bytes at the read position are.
enum GifBlockKind : uint32_t {
    KindOther = 0,        // anything else, 0x21 with an unknown label included
    KindApplication = 1,  // 0x21 0xFF
    KindComment = 2,      // 0x21 0xFE
    KindControl = 3,      // 0x21 0xF9, graphic control extension
    KindPlainText = 4,    // 0x21 0x01
    KindImage = 5,        // 0x2C, image descriptor
    KindTrailer = 6,      // 0x3B
};

struct GifSize {
    int32_t width = 0;
    int32_t height = 0;
};

struct GifOffset {
    int32_t left = 0;
    int32_t top = 0;
};

// Delay of a frame that has no graphic control extension.
constexpr uint32_t kGifNoDelay = 0xFFFFFFFF;

// One frame cut out of an animation: a complete GIF holding just that frame,
// with the whole file's header, screen and global colour table.
struct GifCutFrame {
    std::vector<uint8_t> bytes;
    uint32_t delay = kGifNoDelay;  // hundredths of a second
    GifSize size;
    GifOffset offset;
    uint32_t disposal = 0;  // 0 to 7
};

class GifFrameSplitter {
public:
    // Header (6 bytes) and logical screen descriptor (7 bytes).
    static constexpr uint32_t kHeaderAndScreenBytes = 13;

    // Walks data that the caller keeps alive until Detach; positions at 0.
    void Attach(const uint8_t* data, uint32_t size);
    void Detach();

    // The data begins with "GIF87a" or "GIF89a".
    bool HasGifHeader() const;
    // Reads the logical screen descriptor: sets m_colourTableBytes, puts the
    // read position on the first block and gives the canvas size. Data too
    // short for a descriptor gives 0 x 0 and no blocks.
    GifSize ReadScreen();
    // Where the first block after the header and colour table starts.
    uint32_t FirstBlockPos() const { return kHeaderAndScreenBytes + m_colourTableBytes; }
    // Counts the frames from the first block: StepOverGraphicBlock until it
    // fails. Leaves the read position after the last frame counted.
    uint32_t CountFrames();

    GifBlockKind BlockKindAt() const;
    // Length of the data sub-block chain at pos, its terminator included;
    // 0 when the chain runs past the data.
    uint32_t SubBlocksLength(uint32_t pos) const;
    // Length of the block at the read position; not positive on failure.
    int64_t BlockLengthAt() const;
    bool StepOverBlock();
    // Steps over the blocks of the next frame: application and comment
    // extensions before it, its graphic control extension and what follows
    // that, up to and including its image (or plain-text) block.
    bool StepOverGraphicBlock();
    // The same walk, giving the frame as a one-frame GIF; none on failure.
    std::optional<GifCutFrame> CutNextFrame();

    // The parse state, set by the banner control while it loads data.
    const uint8_t* m_data = nullptr;
    uint32_t m_dataSize = 0;
    uint32_t m_readPos = 0;
    uint32_t m_colourTableBytes = 0;

private:
    // Where the blocks of one frame lie.
    struct FrameWalk {
        uint32_t spanStart = 0;               // the frame's first own block
        std::optional<uint32_t> control;      // its graphic control extension
        uint32_t rendering = 0;               // its image or plain-text block
        GifBlockKind renderingKind = KindOther;
    };

    // Colour table bytes that a packed field announces: 3 x 2^(n+1) when its
    // flag (bit 7) is set.
    static uint32_t ColourTableBytes(uint8_t packed);
    bool HasBytes(uint64_t pos, uint64_t count) const { return pos + count <= m_dataSize; }
    uint32_t ReadWord(uint32_t pos) const;
    // Passes over application and comment extensions.
    bool SkipExtensionsBeforeFrame();
    // At a graphic control extension: steps over it and every block up to
    // the frame's image or plain-text block.
    bool StepToRenderingBlock();
    // Steps over one frame's blocks. On failure the read position is left
    // wherever the walk stopped; the callers put it back.
    std::optional<FrameWalk> WalkFrame();
};
