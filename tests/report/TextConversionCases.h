#pragma once
// UTF-16 text and UTF-8 bytes that belong together: the conversions' test
// checks them, their fuzz targets and the signing one start from them.

#include <string>

struct ConversionCase {
    const char* name;
    std::wstring text;
    std::string bytes;
};

// Both directions agree on these: each unit by itself, 1 to 3 bytes.
inline const ConversionCase kRoundTripCases[] = {
    {"Empty", L"", ""},
    {"Ascii", L"setup", "setup"},
    {"EmbeddedNul", std::wstring(L"a\0b", 3), std::string("a\0b", 3)},
    {"LastOneByteUnit", L"\x7F", "\x7F"},
    {"FirstTwoByteUnit", L"\x80", "\xC2\x80"},
    {"LastTwoByteUnit", L"\x7FF", "\xDF\xBF"},
    {"FirstThreeByteUnit", L"\x800", "\xE0\xA0\x80"},
    {"Chinese", L"\x5B89\x88C5", "\xE5\xAE\x89\xE8\xA3\x85"},
    {"LastUnit", L"\xFFFF", "\xEF\xBF\xBF"},
    // U+1F600 as Windows holds it: the two halves are not combined into
    // one four-byte form.
    {"SurrogatePairStaysTwoUnits", L"\xD83D\xDE00", "\xED\xA0\xBD\xED\xB8\x80"},
    {"LoneLowSurrogate", L"\xDC00", "\xED\xB0\x80"},
};

// Decoding takes the length from the lead byte and nothing else.
inline const ConversionCase kLenientDecodeCases[] = {
    {"StrayContinuationByteKeepsItsValue", L"a\x80z", "a\x80z"},
    {"LastByteBelowLeadBytes", L"\xBF", "\xBF"},
    {"FollowingByteIsNotChecked", L"\x81", "\xC2\x41"},  // 0x02 << 6 | 0x01; the "A" is eaten
    {"OverlongTwoByteNul", std::wstring(1, L'\0'), "\xC0\x80"},
    {"OverlongThreeByteSlash", L"/", "\xE0\x80\xAF"},
    {"FourByteFormKeepsLow16Bits", L"\xF600", "\xF0\x9F\x98\x80"},  // U+1F600
    {"FourByteFormAtTheTop", L"\xFFFF", "\xF7\xBF\xBF\xBF"},        // 0x1FFFFF
    {"FiveByteForm", L"\xFFFF", "\xFB\xBF\xBF\xBF\xBF"},            // 0x3FFFFFF
    {"FiveByteFormSmallValue", L"A", "\xF8\x80\x80\x81\x81"},
    {"SixByteForm", L"B", "\xFC\x80\x80\x80\x81\x82"},
    {"SixByteFormHighestLead", L"\xFFFF", "\xFF\xBF\xBF\xBF\xBF\xBF"},
    {"MixedLengths", L"a\x5B89" L"B\x80", "a\xE5\xAE\x89\xFC\x80\x80\x80\x81\x82\xC2\x80"},
};

// A sequence runs past the end: the whole result is empty.
inline const char* const kTruncatedBytes[] = {
    "\xC2", "setup\xC2", "ab\xE5\xAE", "\xF0\x9F\x98", "\xFB\xBF\xBF\xBF", "\xFC\x80\x80\x80\x81",
    "\xE5\xAE\x89\xE5",  // a whole character, then a lead byte alone
};
