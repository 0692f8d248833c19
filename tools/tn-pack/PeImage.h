#pragma once
// Where the fields tn-pack reads and writes lie in a PE image (PE32 or
// PE32+), found by a walk that never reads past the bytes it is given.
// Platform-free.

#include <cstddef>
#include <cstdint>
#include <optional>

uint16_t ReadLe16(const uint8_t* p);
uint32_t ReadLe32(const uint8_t* p);
void WriteLe32(uint8_t* p, uint32_t value);

// True when length bytes from offset lie inside size bytes.
inline bool FitsWithin(size_t size, size_t offset, size_t length) { return offset <= size && length <= size - offset; }

struct PeHeaders {
    size_t timeDateStampOffset = 0;
    size_t checksumOffset = 0;
    size_t directoriesOffset = 0;  // the data directory table
    size_t directoriesEnd = 0;     // the optional header's end: no entry lies past it
    size_t sectionsOffset = 0;
    size_t sectionCount = 0;
    size_t sectionsEnd = 0;  // the section table's end, inside the data
};

// nullopt unless the bytes hold a DOS header, the PE signature, a PE32 or
// PE32+ optional header and the whole section table.
std::optional<PeHeaders> LocatePeHeaders(const uint8_t* data, size_t size);

// The file offset of data directory entry index (address, then size), when
// the optional header has room for it.
std::optional<size_t> DataDirectoryEntry(const PeHeaders& headers, size_t index);

// The resource section's tree: the root directory's file offset, and the end
// of the section's raw data, which no directory of the tree passes.
struct ResourceSection {
    size_t rootOffset = 0;
    size_t end = 0;
};

// nullopt when the image has no resource table, or its table lies in no
// section's raw data.
std::optional<ResourceSection> LocateResourceSection(const uint8_t* data, size_t size, const PeHeaders& headers);
