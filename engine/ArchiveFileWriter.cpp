#include "engine/ArchiveFileWriter.h"

#include <windows.h>

namespace {

// Attributes that stop a file from being replaced or opened for writing.
constexpr DWORD kProtectiveAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kFileAttributeMask = kProtectiveAttributes | FILE_ATTRIBUTE_ARCHIVE;
constexpr uint32_t kNameAttempts = 64;

FILETIME ToFileTime(uint64_t value)
{
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(value & 0xFFFFFFFFu);
    time.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return time;
}

void AppendHex(std::wstring* text, uint32_t value)
{
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    for (int shift = 28; shift >= 0; shift -= 4) text->push_back(kDigits[(value >> shift) & 15u]);
}

}  // namespace

bool CArchiveFileWriter::MakeTemporaryPath(uint32_t number)
{
    const std::wstring_view folder = m_target.view().substr(0, m_folderLength);
    std::wstring name = L"~tn";
    AppendHex(&name, number);
    name += L".tmp";
    if (folder.size() + name.size() <= ArchivePath::kMaxLength) {
        m_temporary.assign(folder);
        m_temporary += name;
        return true;
    }
    // The target fits but its temporary sibling would not: name the folder
    // in full so the longer path is still accepted.
    std::wstring folderText(folder.empty() ? std::wstring_view(L".\\") : folder);
    const DWORD needed = GetFullPathNameW(folderText.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return false;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(folderText.c_str(), needed, &full[0], nullptr);
    if (length == 0 || length >= needed) return false;
    full.resize(length);
    if (full.compare(0, 2, L"\\\\") == 0) m_temporary = L"\\\\?\\UNC\\" + full.substr(2);
    else m_temporary = L"\\\\?\\" + full;
    if (!m_temporary.empty() && m_temporary.back() != L'\\') m_temporary += L'\\';
    m_temporary += name;
    return true;
}

bool CArchiveFileWriter::Create(const ArchivePath& target, size_t folderLength, uint32_t attributes,
                                uint32_t nameSeed)
{
    Discard();
    m_target = target;
    m_folderLength = folderLength;
    m_attributes = attributes & kFileAttributeMask;
    const DWORD flags = m_attributes != 0 ? m_attributes : FILE_ATTRIBUTE_NORMAL;
    for (uint32_t attempt = 0; attempt < kNameAttempts; ++attempt) {
        if (!MakeTemporaryPath(nameSeed + attempt)) return false;
        // A name already taken (a leftover, or an entry of that name) is
        // never overwritten: the next one is tried.
        m_file.Reset(CreateFileW(m_temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, flags, nullptr));
        if (m_file.valid()) {
            m_created = true;
            return true;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}

bool CArchiveFileWriter::Write(const void* data, uint32_t size)
{
    DWORD written = 0;
    return WriteFile(m_file.get(), data, size, &written, nullptr) && written == size;
}

bool CArchiveFileWriter::SetTimes(uint64_t creation, uint64_t access, uint64_t modification)
{
    const FILETIME creationTime = ToFileTime(creation);
    const FILETIME accessTime = ToFileTime(access);
    const FILETIME modificationTime = ToFileTime(modification);
    return SetFileTime(m_file.get(), &creationTime, &accessTime, &modificationTime) != FALSE;
}

bool CArchiveFileWriter::Commit()
{
    if (!m_created) return false;
    m_file.Close();
    if (MoveFileExW(m_temporary.c_str(), m_target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        m_created = false;
        return true;
    }
    // Only a protected old file costs the extra calls: its read-only, hidden
    // and system flags are cleared for the move and put back if it fails.
    const DWORD old = GetFileAttributesW(m_target.c_str());
    if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_DIRECTORY) == 0 && (old & kProtectiveAttributes) != 0) {
        const DWORD cleared = old & ~kProtectiveAttributes;
        if (SetFileAttributesW(m_target.c_str(), cleared != 0 ? cleared : FILE_ATTRIBUTE_NORMAL)) {
            if (MoveFileExW(m_temporary.c_str(), m_target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
                m_created = false;
                return true;
            }
            (void)SetFileAttributesW(m_target.c_str(), old);
        }
    }
    Discard();
    return false;
}

void CArchiveFileWriter::Discard()
{
    m_file.Close();
    if (!m_created) return;
    m_created = false;
    const DWORD lastError = GetLastError();
    if ((m_attributes & FILE_ATTRIBUTE_READONLY) != 0) (void)SetFileAttributesW(m_temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    (void)DeleteFileW(m_temporary.c_str());
    SetLastError(lastError);
}
