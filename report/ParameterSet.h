#pragma once
// The parameters of one signed request: names and values as byte strings,
// unique names in plain byte-wise order. Platform-free.

#include <map>
#include <string>

// Bytes compared as unsigned values; a string sorts before every longer
// string that begins with it, so "Z" comes before "a" and "a" before "ab".
struct ByteWiseLess {
    bool operator()(const std::string& left, const std::string& right) const;
};

using ParameterSet = std::map<std::string, std::string, ByteWiseLess>;

// Cuts text at every "&". A piece's name ends at its first "=" at index 1 or
// later, the value is the rest (it may hold more "="); pieces without such
// an "=" are dropped; a later value replaces an earlier one. Nothing is
// unescaped.
ParameterSet ParseParameters(const std::string& text);

// name=EncodeSignValue(value) joined by "&", names unencoded.
std::string NormalizedString(const ParameterSet& parameters);

// name=UrlEncode(value) joined by "&", names unencoded.
std::string FormBody(const ParameterSet& parameters);
