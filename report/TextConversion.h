#pragma once
// UTF-16 text to UTF-8 bytes and back, one 16-bit unit at a time, as the
// statistics service expects. Platform-free: std::wstring holds one UTF-16
// unit per element in every tree (only the low 16 bits count where wchar_t
// is wider).

#include <string>

// Each unit by itself, in one to three bytes; surrogate halves are not
// combined, each becomes its own three-byte form.
std::string Utf16ToUtf8(const std::wstring& text);

// The lead byte alone gives the sequence length (one to six bytes, a stray
// continuation byte counts as one); following bytes are not checked. Each
// value is kept as one 16-bit unit. A sequence running past the end makes
// the whole result empty.
std::wstring Utf8ToUtf16(const std::string& bytes);
