#pragma once
// HMAC (RFC 2104) over SHA-1 with its 64-byte block. Platform-free.

#include <string_view>

#include "report/Sha1Hasher.h"

Sha1Digest HmacSha1(std::string_view message, std::string_view key);
