#pragma once
// The two percent-encoders of request signing. Both write "%" and two
// upper-case hexadecimal digits. Platform-free.

#include <string>

// Byte-wise: ASCII letters, digits, ".", "_" and "-" are copied, every
// other byte ("~", space and 0x80 up included) is escaped. Used for the
// path, the whole normalized string and each body value.
std::string UrlEncode(const std::string& bytes);

// Character-wise, for parameter values inside the string-to-sign only:
// the bytes are decoded with Utf8ToUtf16; ASCII letters, digits, "!", "*",
// "(" and ")" are copied, every other ASCII unit is escaped, and a unit
// outside ASCII is written as each byte of its own UTF-8 form escaped.
std::string EncodeSignValue(const std::string& bytes);
