#pragma once
// A whole file mapped into memory, for reading or for changing in place.
// Unmapped and closed by its owners when it goes.

#include "framework/Handles.h"

#include <cstddef>
#include <cstdint>
#include <string>

class CMappedFile {
public:
    // False when the file cannot be opened, is empty, or cannot be mapped.
    bool Open(const std::wstring& path, bool writable);

    uint8_t* data() const { return static_cast<uint8_t*>(m_view.get()); }
    size_t size() const { return m_size; }
    bool Flush() const;

private:
    tn::UniqueFile m_file;
    tn::UniqueHandle m_mapping;
    tn::UniqueMappedView m_view;
    size_t m_size = 0;
};
