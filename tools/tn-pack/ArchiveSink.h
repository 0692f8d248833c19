#pragma once
// The archive as zip.c writes it: a block of memory with a write position,
// which zip.c moves back to complete each local header. It refuses to grow
// past a limit (the largest archive without the 64-bit extension), so an
// archive that would need the extension is never written. Platform-free.

#include <cstddef>
#include <cstdint>
#include <vector>

class ArchiveSink {
public:
    explicit ArchiveSink(uint64_t limit) : m_limit(limit) {}

    // Room for the expected size, so the block is not copied as it grows;
    // false (and nothing reserved) when the memory is not there.
    bool Reserve(uint64_t expected);

    // Writes at the position; false, with nothing written, when the data
    // would take the archive past the limit.
    bool Write(const void* data, size_t size);
    bool Seek(uint64_t position);  // not past the end
    uint64_t Tell() const { return m_position; }

    bool overLimit() const { return m_overLimit; }
    const std::vector<uint8_t>& bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
    uint64_t m_position = 0;
    uint64_t m_limit;
    bool m_overLimit = false;
};
