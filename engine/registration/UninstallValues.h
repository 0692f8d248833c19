#pragma once
// What the uninstall entry holds: the two keys under HKEY_LOCAL_MACHINE, in
// the order they are written, and the seven string values of each.
// Platform-free.

#include <string>
#include <vector>

// Apps & Features looks under both: the first is where 32-bit programs'
// entries live on a 64-bit system, the second where the system's own view has
// them.
constexpr const wchar_t* kUninstallKeyPaths[] = {
    L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarnivo2.0",
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarnivo2.0",
};

struct UninstallValue {
    const wchar_t* name;
    std::wstring data;
};

// The values in the order they are written. folder is the target folder as
// the user gave it: the file names are appended without normalising
// separators. subChannel is the installer's own file name without extension.
std::vector<UninstallValue> UninstallValues(const std::wstring& folder, const std::wstring& subChannel);
