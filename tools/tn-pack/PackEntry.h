#pragma once
// One file or folder of a product folder, as tn-pack found it. Platform-free.

#include <cstdint>
#include <string>

struct PackEntry {
    std::wstring name;         // relative to the product folder, "/" separators; a folder's ends in "/"
    std::string storedName;    // name in the system's ANSI code page, as the archive holds it
    bool folder = false;
    uint64_t size = 0;         // bytes; 0 for a folder
    uint32_t attributes = 0;   // Windows file attribute flags as found
    uint64_t modificationTime = 0;  // UTC file time: 100 ns units since 1601-01-01
};
