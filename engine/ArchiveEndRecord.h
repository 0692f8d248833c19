#pragma once
// The end-of-central-directory record of an archive without entries.
// Platform-free.

#include <cstddef>

// True when the block is exactly an end record that lists no entries (and
// its comment). minizip never finds an end record at the block's first byte,
// which is where such an archive has it, so the reader recognises it itself.
bool IsArchiveWithoutEntries(const void* data, size_t size);
