#pragma once
// Parameter texts with the entries the cutter gives for each: the parameter
// set's test checks them, the cutter's and the signing fuzz targets start
// from them.

#include <string>
#include <utility>
#include <vector>

using Entries = std::vector<std::pair<std::string, std::string>>;

struct ParseCase {
    const char* name;
    const char* text;
    Entries entries;
};

inline const ParseCase kParseCases[] = {
    {"Empty", "", {}},
    {"OnePair", "type=0", {{"type", "0"}}},
    {"EmptyValue", "remark=", {{"remark", ""}}},
    {"ValueHoldsEquals", "remark=mac=00,channel=0", {{"remark", "mac=00,channel=0"}}},
    {"LastOccurrenceWins", "type=0&code=a&type=1", {{"code", "a"}, {"type", "1"}}},
    {"OnlyEqualsFirstIsDropped", "=value&a=1", {{"a", "1"}}},
    {"LoneEqualsIsDropped", "=&a=1", {{"a", "1"}}},
    {"TwoEqualsFirstNameTheFirst", "==value", {{"=", "value"}}},
    {"NameMayBeginWithEquals", "=x=y", {{"=x", "y"}}},
    {"PieceWithoutEqualsIsDropped", "flag&a=1", {{"a", "1"}}},
    {"EmptyPiecesAreDropped", "&a=1&&b=2&", {{"a", "1"}, {"b", "2"}}},
    {"NothingIsUnescaped", "a=%41+b", {{"a", "%41+b"}}},
    {"ByteOrderWithUpperCase", "b=1&a=2&B=3&_=4", {{"B", "3"}, {"_", "4"}, {"a", "2"}, {"b", "1"}}},
};
