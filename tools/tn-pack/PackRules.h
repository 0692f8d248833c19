#pragma once
// What the installer can install, checked before anything is packed:
// the limits of a ZIP without its 64-bit extension, which is all the
// installer's reader takes, and names the reader writes exactly as they are.
// Platform-free.

#include <cstddef>
#include <cstdint>
#include <string_view>

// Up to 65535 entries the end record holds the count itself; zip.c adds the
// 64-bit extension above that.
constexpr size_t kMaxArchiveEntries = 65535;

// 0xFFFFFFFF in a size or offset field sends a reader to the 64-bit
// extension, so every size, offset and the archive itself stay below it.
constexpr uint64_t kMaxArchiveValue = 0xFFFFFFFEull;

// The reader keeps at most 259 bytes of a stored name.
constexpr size_t kMaxStoredNameBytes = 259;

// True when the entry's path under the default install folder fits the
// installer's 259-character paths. name as stored: "/" separators, a
// folder's with its trailing "/".
bool FitsUnderDefaultFolder(std::wstring_view name);

// True when the installer writes the entry under exactly this name: no
// drive, no leading separator, no step the reader would drop or refuse
// ("..", dots and spaces only, device names such as CON), and no step
// ending in a dot or space, which Windows would drop.
bool IsWrittenAsNamed(std::wstring_view name);

inline bool FitsEntryCount(size_t entries) { return entries <= kMaxArchiveEntries; }
inline bool FitsStoredName(size_t storedBytes) { return storedBytes <= kMaxStoredNameBytes; }
inline bool FitsArchiveValue(uint64_t value) { return value <= kMaxArchiveValue; }
