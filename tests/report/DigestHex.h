#pragma once
// Lower-case hex of a digest, so expected values read as the published ones.

#include <string>

#include "report/Sha1Hasher.h"

inline std::string DigestHex(const Sha1Digest& digest)
{
    static const char kHexDigits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : digest) {
        text.push_back(kHexDigits[byte >> 4]);
        text.push_back(kHexDigits[byte & 0x0F]);
    }
    return text;
}
