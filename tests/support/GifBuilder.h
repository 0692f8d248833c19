#pragma once
// Builds small GIF files block by block, for tests of the banner's splitter
// and control. Platform-free and header-only, so native and Windows tests
// share it. Images are real LZW data that any decoder reads.

#include <cstdint>
#include <string>
#include <vector>

namespace tn::test {

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

class GifBuilder {
public:
    // Header and logical screen descriptor, with a global colour table when
    // colours are given (padded with black to a power of two, at least 2).
    explicit GifBuilder(uint16_t width, uint16_t height, std::vector<Rgb> globalColours = {},
                        const char* version = "GIF89a")
    {
        Append(std::string(version, 6));
        Word(width);
        Word(height);
        const unsigned tableBits = TableBits(globalColours.size());
        m_codeBits = globalColours.empty() ? 2 : tableBits;
        m_bytes.push_back(globalColours.empty() ? 0 : static_cast<uint8_t>(0x80 | 0x70 | (tableBits - 1)));
        m_bytes.push_back(0);  // background colour index
        m_bytes.push_back(0);  // aspect ratio
        ColourTable(globalColours, tableBits);
    }

    // An application extension: 8-byte identifier and 3-byte code, then data.
    GifBuilder& Application(const std::string& identifierAndCode, const std::string& data)
    {
        Start();
        m_bytes.insert(m_bytes.end(), {0x21, 0xFF, 0x0B});
        Append(identifierAndCode.substr(0, 11));
        SubBlocks(data);
        return *this;
    }
    GifBuilder& LoopCount(uint16_t loops)
    {
        return Application("NETSCAPE2.0", std::string{1, static_cast<char>(loops & 0xFF), static_cast<char>(loops >> 8)});
    }

    GifBuilder& Comment(const std::string& text)
    {
        Start();
        m_bytes.insert(m_bytes.end(), {0x21, 0xFE});
        SubBlocks(text);
        return *this;
    }

    // A graphic control extension; other bits of the packed byte may be given.
    GifBuilder& Control(uint16_t delay, uint8_t disposal, bool transparent = false, uint8_t otherPackedBits = 0)
    {
        Start();
        m_bytes.insert(m_bytes.end(), {0x21, 0xF9, 0x04});
        m_bytes.push_back(static_cast<uint8_t>(otherPackedBits | ((disposal & 7) << 2) | (transparent ? 1 : 0)));
        Word(delay);
        m_bytes.push_back(0);  // transparent colour index
        m_bytes.push_back(0);
        return *this;
    }

    // An image of colour indices, row by row; a local colour table when
    // colours are given.
    GifBuilder& Image(uint16_t left, uint16_t top, uint16_t width, uint16_t height, const std::vector<uint8_t>& indices,
                      std::vector<Rgb> localColours = {})
    {
        Start();
        m_bytes.push_back(0x2C);
        Word(left);
        Word(top);
        Word(width);
        Word(height);
        const unsigned tableBits = TableBits(localColours.size());
        m_bytes.push_back(localColours.empty() ? 0 : static_cast<uint8_t>(0x80 | (tableBits - 1)));
        ColourTable(localColours, tableBits);
        const unsigned codeBits = localColours.empty() ? m_codeBits : tableBits;
        const unsigned minimumCodeSize = codeBits < 2 ? 2 : codeBits;
        m_bytes.push_back(static_cast<uint8_t>(minimumCodeSize));
        SubBlocks(Lzw(indices, minimumCodeSize));
        return *this;
    }
    GifBuilder& SolidImage(uint16_t left, uint16_t top, uint16_t width, uint16_t height, uint8_t index)
    {
        return Image(left, top, width, height, std::vector<uint8_t>(size_t{width} * height, index));
    }

    // A plain-text extension with an empty text grid description.
    GifBuilder& PlainText(const std::string& text)
    {
        Start();
        m_bytes.insert(m_bytes.end(), {0x21, 0x01, 0x0C});
        m_bytes.insert(m_bytes.end(), 12, 0);
        SubBlocks(text);
        return *this;
    }

    GifBuilder& Trailer()
    {
        Start();
        m_bytes.push_back(0x3B);
        return *this;
    }
    GifBuilder& Raw(const std::vector<uint8_t>& bytes)
    {
        Start();
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
        return *this;
    }

    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    // Where each block added after the screen starts, in order.
    const std::vector<uint32_t>& BlockStarts() const { return m_blockStarts; }

    // Data sub-blocks of at most 255 bytes and the terminator.
    static std::vector<uint8_t> SubBlockChain(const std::string& data)
    {
        std::vector<uint8_t> chain;
        for (size_t at = 0; at < data.size(); at += 255) {
            const size_t length = data.size() - at < 255 ? data.size() - at : 255;
            chain.push_back(static_cast<uint8_t>(length));
            chain.insert(chain.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                         data.begin() + static_cast<std::ptrdiff_t>(at + length));
        }
        chain.push_back(0);
        return chain;
    }

private:
    static unsigned TableBits(size_t colours)
    {
        unsigned bits = 1;
        while ((size_t{1} << bits) < colours && bits < 8) ++bits;
        return bits;
    }

    void ColourTable(const std::vector<Rgb>& colours, unsigned tableBits)
    {
        if (colours.empty()) return;
        for (size_t entry = 0; entry < (size_t{1} << tableBits); ++entry) {
            const Rgb colour = entry < colours.size() ? colours[entry] : Rgb{};
            m_bytes.insert(m_bytes.end(), {colour.red, colour.green, colour.blue});
        }
    }

    // LZW that never lets the code width grow: every literal is sent as its
    // own code, and a clear code comes before the decoder's table would reach
    // the next width (2^n - 2 codes after each clear).
    static std::string Lzw(const std::vector<uint8_t>& indices, unsigned minimumCodeSize)
    {
        const unsigned clear = 1u << minimumCodeSize;
        const unsigned width = minimumCodeSize + 1;
        const size_t codesPerClear = clear - 2;
        std::string out;
        uint32_t buffer = 0;
        unsigned buffered = 0;
        const auto put = [&](unsigned code) {
            buffer |= code << buffered;
            buffered += width;
            while (buffered >= 8) {
                out.push_back(static_cast<char>(buffer & 0xFF));
                buffer >>= 8;
                buffered -= 8;
            }
        };
        for (size_t at = 0; at < indices.size(); ++at) {
            if (at % codesPerClear == 0) put(clear);
            put(indices[at] & (clear - 1));
        }
        put(clear + 1);  // end of information
        if (buffered > 0) out.push_back(static_cast<char>(buffer & 0xFF));
        return out;
    }

    void Start() { m_blockStarts.push_back(static_cast<uint32_t>(m_bytes.size())); }
    void Append(const std::string& text) { m_bytes.insert(m_bytes.end(), text.begin(), text.end()); }
    void Word(uint16_t value)
    {
        m_bytes.push_back(static_cast<uint8_t>(value & 0xFF));
        m_bytes.push_back(static_cast<uint8_t>(value >> 8));
    }
    void SubBlocks(const std::string& data)
    {
        const std::vector<uint8_t> chain = SubBlockChain(data);
        m_bytes.insert(m_bytes.end(), chain.begin(), chain.end());
    }

    std::vector<uint8_t> m_bytes;
    std::vector<uint32_t> m_blockStarts;
    unsigned m_codeBits = 2;
};

}  // namespace tn::test
