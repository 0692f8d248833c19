#include "engine/MemorySource.h"

#include <cstdint>
#include <cstring>

size_t MemorySource::Read(void* buffer, size_t count)
{
    const uint64_t left = m_position < m_size ? m_size - m_position : 0;
    const size_t taken = count < left ? count : static_cast<size_t>(left);
    m_lastReadShort = taken < count;
    if (taken == 0) return 0;
    std::memcpy(buffer, m_data + m_position, taken);
    m_position += taken;
    return taken;
}

bool MemorySource::Seek(int64_t offset, Origin origin)
{
    int64_t from = 0;
    if (origin == Origin::Current) from = static_cast<int64_t>(m_position);
    else if (origin == Origin::End) from = static_cast<int64_t>(m_size);
    if (offset < -from || offset > INT64_MAX - from) return false;
    m_position = static_cast<uint64_t>(from + offset);
    return true;
}
