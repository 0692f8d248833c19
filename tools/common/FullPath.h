#pragma once
// A path as the tools use it: made full (GetFullPathNameW) from the current
// folder before anything opens it. A bare or relative name given to
// LoadLibraryExW is looked up along the library search path, the tool's
// own folder first, while CreateFileW takes it from the current folder; a
// full path names one file for every call.

#include <optional>
#include <string>

// nullopt when the system cannot make the path full (empty, or too long).
std::optional<std::wstring> FullPathOf(const std::wstring& path);
