#include "report/HmacSha1.h"

#include <cstring>

Sha1Digest HmacSha1(std::string_view message, std::string_view key)
{
    constexpr std::size_t kBlockSize = 64;
    unsigned char keyBlock[kBlockSize] = {};
    CSha1Hasher hasher;
    if (key.size() > kBlockSize) {
        hasher.Update(key);
        const Sha1Digest keyDigest = hasher.Final();
        std::memcpy(keyBlock, keyDigest.data(), keyDigest.size());
        hasher.Reset();
    } else {
        std::memcpy(keyBlock, key.data(), key.size());
    }

    unsigned char innerPad[kBlockSize];
    unsigned char outerPad[kBlockSize];
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        innerPad[i] = static_cast<unsigned char>(keyBlock[i] ^ 0x36);
        outerPad[i] = static_cast<unsigned char>(keyBlock[i] ^ 0x5C);
    }

    hasher.Update(innerPad, sizeof(innerPad));
    hasher.Update(message);
    const Sha1Digest innerDigest = hasher.Final();

    hasher.Reset();
    hasher.Update(outerPad, sizeof(outerPad));
    hasher.Update(innerDigest.data(), innerDigest.size());
    return hasher.Final();
}
