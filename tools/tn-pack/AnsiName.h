#pragma once
// Entry names in the system's ANSI code page, the one the installer's reader
// decodes them with.

#include <optional>
#include <string>
#include <string_view>

// The name's bytes, or nothing when a character has no exact counterpart in
// the code page (no best-fit look-alikes, no default character) or the bytes
// would not decode back to the same name.
std::optional<std::string> EncodeAnsiExactly(std::wstring_view name);

// The code page's number, for messages.
unsigned AnsiCodePage();
