#include "tools/tn-pack/ReproducibleImage_win.h"

#include "framework/Handles.h"
#include "tools/tn-pack/ReproducibleImage.h"

#include <windows.h>

namespace {

// A whole file mapped into memory, for reading or for changing in place.
class CMappedFile {
public:
    bool Open(const std::wstring& path, bool writable)
    {
        m_file.reset(CreateFileW(path.c_str(), GENERIC_READ | (writable ? GENERIC_WRITE : 0), FILE_SHARE_READ,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER size;
        if (!m_file || !GetFileSizeEx(m_file.get(), &size) || size.QuadPart <= 0 ||
            static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX) {
            return false;
        }
        m_size = static_cast<size_t>(size.QuadPart);
        m_mapping.reset(CreateFileMappingW(m_file.get(), nullptr, writable ? PAGE_READWRITE : PAGE_READONLY, 0, 0,
                                           nullptr));
        if (!m_mapping) return false;
        m_view.reset(MapViewOfFile(m_mapping.get(), writable ? FILE_MAP_WRITE : FILE_MAP_READ, 0, 0, 0));
        return m_view.valid();
    }

    uint8_t* data() const { return static_cast<uint8_t*>(m_view.get()); }
    size_t size() const { return m_size; }
    bool Flush() const { return FlushViewOfFile(m_view.get(), 0) != FALSE; }

private:
    tn::UniqueFile m_file;
    tn::UniqueHandle m_mapping;
    tn::UniqueMappedView m_view;
    size_t m_size = 0;
};

std::wstring ErrorText() { return L"(error " + std::to_wstring(GetLastError()) + L")"; }

}  // namespace

PackOutcome MakeReproducible(const std::wstring& path, const std::wstring& stub)
{
    std::optional<ImageStamps> stamps;
    {
        CMappedFile original;
        if (!original.Open(stub, false)) return PackOutcome::Fail(L"cannot read " + stub + L" " + ErrorText());
        stamps = ReadImageStamps(original.data(), original.size());
    }
    if (!stamps) return PackOutcome::Fail(stub + L" has no resource section");
    CMappedFile output;
    if (!output.Open(path, true)) return PackOutcome::Fail(L"cannot open " + path + L" " + ErrorText());
    if (!ApplyImageStamps(output.data(), output.size(), *stamps)) {
        return PackOutcome::Fail(path + L" has no resource section after the update");
    }
    if (!output.Flush()) return PackOutcome::Fail(L"cannot write " + path + L" " + ErrorText());
    return PackOutcome::Done();
}
