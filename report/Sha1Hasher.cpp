#include "report/Sha1Hasher.h"

#include <cstring>

namespace {

std::uint32_t RotateLeft(std::uint32_t value, int bits)
{
    return (value << bits) | (value >> (32 - bits));
}

}  // namespace

CSha1Hasher::CSha1Hasher()
{
    Reset();
}

void CSha1Hasher::Reset()
{
    m_chaining[0] = 0x67452301u;
    m_chaining[1] = 0xEFCDAB89u;
    m_chaining[2] = 0x98BADCFEu;
    m_chaining[3] = 0x10325476u;
    m_chaining[4] = 0xC3D2E1F0u;
    m_bitCount = 0;
    std::memset(m_block, 0, sizeof(m_block));
}

void CSha1Hasher::Update(const void* data, std::size_t size)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    std::size_t used = static_cast<std::size_t>((m_bitCount / 8) % sizeof(m_block));
    m_bitCount += static_cast<std::uint64_t>(size) * 8;
    while (size > 0) {
        const std::size_t take = size < sizeof(m_block) - used ? size : sizeof(m_block) - used;
        std::memcpy(m_block + used, bytes, take);
        used += take;
        bytes += take;
        size -= take;
        if (used == sizeof(m_block)) {
            ProcessBlock(m_block);
            used = 0;
        }
    }
}

Sha1Digest CSha1Hasher::Final()
{
    const std::uint64_t messageBits = m_bitCount;
    unsigned char length[8];
    for (int i = 0; i < 8; ++i) length[i] = static_cast<unsigned char>(messageBits >> (56 - 8 * i));

    static const unsigned char kPadding[64] = {0x80};
    const std::size_t used = static_cast<std::size_t>((messageBits / 8) % 64);
    // 0x80 and zeros up to 56 modulo 64, leaving room for the 8-byte length.
    Update(kPadding, used < 56 ? 56 - used : 120 - used);
    Update(length, sizeof(length));

    Sha1Digest digest;
    for (int word = 0; word < 5; ++word) {
        for (int i = 0; i < 4; ++i) {
            digest[word * 4 + i] = static_cast<unsigned char>(m_chaining[word] >> (24 - 8 * i));
        }
    }
    return digest;
}

void CSha1Hasher::ProcessBlock(const unsigned char* block)
{
    std::uint32_t schedule[80];
    for (int t = 0; t < 16; ++t) {
        schedule[t] = (std::uint32_t{block[4 * t]} << 24) | (std::uint32_t{block[4 * t + 1]} << 16) |
                      (std::uint32_t{block[4 * t + 2]} << 8) | std::uint32_t{block[4 * t + 3]};
    }
    for (int t = 16; t < 80; ++t) {
        schedule[t] = RotateLeft(schedule[t - 3] ^ schedule[t - 8] ^ schedule[t - 14] ^ schedule[t - 16], 1);
    }

    std::uint32_t a = m_chaining[0], b = m_chaining[1], c = m_chaining[2], d = m_chaining[3], e = m_chaining[4];
    for (int t = 0; t < 80; ++t) {
        std::uint32_t mix, constant;
        if (t < 20) {
            mix = (b & c) | (~b & d);
            constant = 0x5A827999u;
        } else if (t < 40) {
            mix = b ^ c ^ d;
            constant = 0x6ED9EBA1u;
        } else if (t < 60) {
            mix = (b & c) | (b & d) | (c & d);
            constant = 0x8F1BBCDCu;
        } else {
            mix = b ^ c ^ d;
            constant = 0xCA62C1D6u;
        }
        const std::uint32_t next = RotateLeft(a, 5) + mix + e + schedule[t] + constant;
        e = d;
        d = c;
        c = RotateLeft(b, 30);
        b = a;
        a = next;
    }
    m_chaining[0] += a;
    m_chaining[1] += b;
    m_chaining[2] += c;
    m_chaining[3] += d;
    m_chaining[4] += e;
}
