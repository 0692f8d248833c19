#pragma once
// A read position over a block of memory, the archive's input. The block is
// not copied and must outlive the source. Platform-free.

#include <cstddef>
#include <cstdint>

class MemorySource {
public:
    enum class Origin { Set, Current, End };

    MemorySource(const void* data, size_t size) : m_data(static_cast<const uint8_t*>(data)), m_size(size) {}

    // Copies up to count bytes from the position and advances it; fewer when
    // the block ends.
    size_t Read(void* buffer, size_t count);

    // False (position unchanged) for a position before the block's start.
    // A position past the end is kept; reads there give nothing.
    bool Seek(int64_t offset, Origin origin);

    uint64_t Tell() const { return m_position; }
    // The last read gave fewer bytes than asked for. minizip asks this after
    // a short read to tell a damaged archive from its normal end.
    bool LastReadWasShort() const { return m_lastReadShort; }
    const void* Data() const { return m_data; }
    size_t Size() const { return m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
    uint64_t m_position = 0;
    bool m_lastReadShort = false;
};
