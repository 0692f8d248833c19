#pragma once
// Entry names: what an archive's name is turned into, and which names may be
// written at all. Platform-free; the code-page decoding happens at the edge.

#include <string_view>

inline bool IsNameSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Drops drive letters, leading separators and everything up to a ".." step
// between separators, repeatedly, until none is left. The result is always a
// suffix of name, so no copy is made.
std::wstring_view SanitiseItemName(std::wstring_view name);

// First character a separator, or second a colon.
bool IsAbsoluteItemName(std::wstring_view name);

// True when name, joined to a folder, names something inside that folder.
// Refused: any step made only of dots and spaces (Windows may read such a
// step as "..", or trim it into one), and device names (CON, NUL, COM1 ...),
// which Windows maps out of every folder. Empty steps are harmless.
bool StaysInsideBase(std::wstring_view name);

struct ItemNameParts {
    std::wstring_view folderPart;  // up to and including the last separator; may be empty
    std::wstring_view filePart;
};

// Splits after the last "\" or "/".
ItemNameParts SplitItemName(std::wstring_view name);
