#include "tools/tn-pack/MappedFile.h"

#include <windows.h>

bool CMappedFile::Open(const std::wstring& path, bool writable)
{
    m_file.reset(CreateFileW(path.c_str(), GENERIC_READ | (writable ? GENERIC_WRITE : 0), FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!m_file || !GetFileSizeEx(m_file.get(), &size) || size.QuadPart <= 0 ||
        static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX) {
        return false;
    }
    m_size = static_cast<size_t>(size.QuadPart);
    m_mapping.reset(
        CreateFileMappingW(m_file.get(), nullptr, writable ? PAGE_READWRITE : PAGE_READONLY, 0, 0, nullptr));
    if (!m_mapping) return false;
    m_view.reset(MapViewOfFile(m_mapping.get(), writable ? FILE_MAP_WRITE : FILE_MAP_READ, 0, 0, 0));
    return m_view.valid();
}

bool CMappedFile::Flush() const { return FlushViewOfFile(m_view.get(), 0) != FALSE; }
