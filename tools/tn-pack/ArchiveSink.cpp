#include "tools/tn-pack/ArchiveSink.h"

#include <cstring>
#include <new>
#include <stdexcept>

bool ArchiveSink::Reserve(uint64_t expected)
{
    const uint64_t size = expected < m_limit ? expected : m_limit;
    if (size > m_bytes.max_size()) return false;
    try {
        m_bytes.reserve(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool ArchiveSink::Write(const void* data, size_t size)
{
    if (size > m_limit || m_position > m_limit - size) {
        m_overLimit = true;
        return false;
    }
    const uint8_t* const bytes = static_cast<const uint8_t*>(data);
    // zip.c only goes back to complete a header it wrote, so a write
    // overwrites what is there and appends the rest.
    const size_t position = static_cast<size_t>(m_position);
    const size_t overlap = size < m_bytes.size() - position ? size : m_bytes.size() - position;
    try {
        m_bytes.insert(m_bytes.end(), bytes + overlap, bytes + size);
    } catch (const std::exception&) {  // bad_alloc, or length_error past max_size
        return false;
    }
    if (overlap != 0) std::memcpy(m_bytes.data() + position, bytes, overlap);
    m_position += size;
    return true;
}

bool ArchiveSink::Seek(uint64_t position)
{
    if (position > m_bytes.size()) return false;
    m_position = position;
    return true;
}
