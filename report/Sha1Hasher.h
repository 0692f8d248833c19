#pragma once
// SHA-1 (FIPS 180-1), fed in pieces. Platform-free.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

using Sha1Digest = std::array<unsigned char, 20>;

class CSha1Hasher {
public:
    CSha1Hasher();

    void Reset();
    void Update(const void* data, std::size_t size);
    void Update(std::string_view bytes) { Update(bytes.data(), bytes.size()); }
    // Pads the message, gives the digest and leaves the hasher to be Reset.
    Sha1Digest Final();

private:
    void ProcessBlock(const unsigned char* block);

    std::uint32_t m_chaining[5];
    std::uint64_t m_bitCount;
    unsigned char m_block[64];
};
