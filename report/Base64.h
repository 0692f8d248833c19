#pragma once
// Base64 (RFC 4648, "+" and "/", "=" padding). Platform-free.

#include <cstddef>
#include <string>

#include "report/Sha1Hasher.h"

std::string Base64Encode(const unsigned char* data, std::size_t size);

// A SHA-1 digest always gives 27 alphabet characters and one "=".
inline std::string Base64Encode(const Sha1Digest& digest)
{
    return Base64Encode(digest.data(), digest.size());
}
