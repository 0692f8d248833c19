#include "engine/ArchiveFileWriter.h"

#include <windows.h>
#include <winternl.h>

#include <cstring>

namespace {

// Attributes that stop a file from being replaced or opened for writing.
constexpr DWORD kProtectiveAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kFileAttributeMask = kProtectiveAttributes | FILE_ATTRIBUTE_ARCHIVE;
constexpr uint32_t kNameAttempts = 64;

LARGE_INTEGER ToLarge(uint64_t value)
{
    LARGE_INTEGER large;
    large.QuadPart = static_cast<LONGLONG>(value);
    return large;
}

// The target as an NT path, which linking or renaming an open file needs
// whatever the base folder looked like (relative, "/" separators).
bool NtPathOf(const wchar_t* path, std::wstring* ntPath)
{
    wchar_t full[ArchivePath::kMaxLength + 1];
    const DWORD length = GetFullPathNameW(path, ARRAYSIZE(full), full, nullptr);
    if (length == 0 || length >= ARRAYSIZE(full)) return false;
    if (full[0] == L'\\' && full[1] == L'\\') ntPath->assign(L"\\??\\UNC\\").append(full + 2, length - 2);
    else ntPath->assign(L"\\??\\").append(full, length);
    return true;
}

// What a file system without hard links (FAT, some network shares) answers.
bool IsUnsupported(NTSTATUS status)
{
    constexpr NTSTATUS kNotImplemented = static_cast<NTSTATUS>(0xC0000002);
    constexpr NTSTATUS kInvalidInfoClass = static_cast<NTSTATUS>(0xC0000003);
    constexpr NTSTATUS kInvalidParameter = static_cast<NTSTATUS>(0xC000000D);
    constexpr NTSTATUS kInvalidDeviceRequest = static_cast<NTSTATUS>(0xC0000010);
    constexpr NTSTATUS kNotSupported = static_cast<NTSTATUS>(0xC00000BB);
    return status == kNotImplemented || status == kInvalidInfoClass || status == kInvalidParameter ||
           status == kInvalidDeviceRequest || status == kNotSupported;
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
    const std::wstring folderText(folder);
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

bool CArchiveFileWriter::Create(const ArchivePath& target, size_t folderLength, uint32_t nameSeed, Placement placement)
{
    Discard();
    m_target = target;
    m_folderLength = folderLength;
    m_placement = placement;
    m_linksUnsupported = false;
    // Deleted with its handle from its first moment: whatever ends the
    // process (a kill, the exit question, a crash), the system removes it.
    const DWORD flags = FILE_ATTRIBUTE_ARCHIVE | (placement == Placement::Link ? FILE_FLAG_DELETE_ON_CLOSE : 0);
    for (uint32_t attempt = 0; attempt < kNameAttempts; ++attempt) {
        if (!MakeTemporaryPath(nameSeed + attempt)) return false;
        // DELETE access: the file is linked or renamed while still open. A
        // name already taken (a leftover, or an entry of that name) is never
        // overwritten: the next one is tried.
        m_file.reset(CreateFileW(m_temporary.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW, flags, nullptr));
        if (m_file.valid()) {
            m_created = true;
            // Without links the mark can be taken off again; a file system
            // that refuses it leaves only Discard to remove the file.
            if (placement == Placement::Rename) m_marked = SetDeleteMark(true);
            return true;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}

bool CArchiveFileWriter::SetDeleteMark(bool marked)
{
    FILE_DISPOSITION_INFO disposition;
    disposition.DeleteFile = marked ? TRUE : FALSE;
    return SetFileInformationByHandle(m_file.get(), FileDispositionInfo, &disposition, sizeof(disposition)) != FALSE;
}

bool CArchiveFileWriter::Write(const void* data, uint32_t size)
{
    DWORD written = 0;
    return WriteFile(m_file.get(), data, size, &written, nullptr) && written == size;
}

bool CArchiveFileWriter::PlaceOverTarget()
{
    // One call on the open handle; closing it and moving the file by name
    // would cost three more round trips per file under Wine.
    const size_t nameBytes = m_targetNtPath.size() * sizeof(wchar_t);
    if (m_placement == Placement::Link) {
        m_nameBuffer.assign(sizeof(FILE_LINK_INFORMATION) + nameBytes, 0);
        FILE_LINK_INFORMATION* link = reinterpret_cast<FILE_LINK_INFORMATION*>(m_nameBuffer.data());
        link->ReplaceIfExists = TRUE;
        link->RootDirectory = nullptr;
        link->FileNameLength = static_cast<ULONG>(nameBytes);
        std::memcpy(link->FileName, m_targetNtPath.c_str(), nameBytes);
        IO_STATUS_BLOCK io;
        const NTSTATUS status = NtSetInformationFile(m_file.get(), &io, link, static_cast<ULONG>(m_nameBuffer.size()),
                                                     FileLinkInformation);
        m_linksUnsupported = IsUnsupported(status);
        return status >= 0;
    }
    // The mark goes just before the rename: a file renamed while marked
    // would vanish under the target's name when closed.
    if (m_marked) {
        if (!SetDeleteMark(false)) return false;
        m_marked = false;
    }
    m_nameBuffer.assign(sizeof(FILE_RENAME_INFO) + nameBytes, 0);
    FILE_RENAME_INFO* rename = reinterpret_cast<FILE_RENAME_INFO*>(m_nameBuffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(rename->FileName, m_targetNtPath.c_str(), nameBytes);
    return SetFileInformationByHandle(m_file.get(), FileRenameInfo, rename, static_cast<DWORD>(m_nameBuffer.size())) !=
           FALSE;
}

bool CArchiveFileWriter::ReplaceTarget()
{
    if (PlaceOverTarget()) return true;
    // Only a protected old file costs the extra calls: its read-only, hidden
    // and system flags are cleared for the replacement and put back if it
    // still fails (a running program, a file held open).
    const DWORD old = GetFileAttributesW(m_target.c_str());
    if (old == INVALID_FILE_ATTRIBUTES || (old & FILE_ATTRIBUTE_DIRECTORY) != 0 || (old & kProtectiveAttributes) == 0) {
        return false;
    }
    const DWORD cleared = old & ~kProtectiveAttributes;
    if (!SetFileAttributesW(m_target.c_str(), cleared != 0 ? cleared : FILE_ATTRIBUTE_NORMAL)) return false;
    if (PlaceOverTarget()) return true;
    (void)SetFileAttributesW(m_target.c_str(), old);
    return false;
}

bool CArchiveFileWriter::Commit(uint32_t attributes, const FileTimes* times)
{
    if (!m_created) return false;
    // Attributes and times in one call; zero times leave a time alone.
    FILE_BASIC_INFO basic;
    std::memset(&basic, 0, sizeof(basic));
    if (times != nullptr) {
        basic.CreationTime = ToLarge(times->creation);
        basic.LastAccessTime = ToLarge(times->access);
        basic.LastWriteTime = ToLarge(times->modification);
    }
    const DWORD fileAttributes = attributes & kFileAttributeMask;
    // A file about to be deleted with its handle does not get the read-only
    // flag, which could keep the system from deleting its temporary name:
    // the target gets it once that name is gone.
    const bool readOnlyAfterwards =
        m_placement == Placement::Link && (fileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    const DWORD temporaryAttributes = readOnlyAfterwards ? fileAttributes & ~FILE_ATTRIBUTE_READONLY : fileAttributes;
    basic.FileAttributes = temporaryAttributes != 0 ? temporaryAttributes : FILE_ATTRIBUTE_NORMAL;
    // A file whose times or flags cannot be set is still the right file.
    if (SetFileInformationByHandle(m_file.get(), FileBasicInfo, &basic, sizeof(basic))) {
        m_readOnly = (temporaryAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    }

    if (!NtPathOf(m_target.c_str(), &m_targetNtPath) || !ReplaceTarget()) {
        Discard();
        return false;
    }
    m_created = false;
    m_marked = false;
    m_readOnly = false;
    m_file.reset();
    if (readOnlyAfterwards) (void)SetFileAttributesW(m_target.c_str(), fileAttributes);
    return true;
}

void CArchiveFileWriter::Discard()
{
    m_file.reset();  // a file made to be deleted with its handle, or still marked, goes here
    if (!m_created) return;
    m_created = false;
    const bool gone = m_placement == Placement::Link || m_marked;
    const bool readOnly = m_readOnly;
    m_marked = false;
    m_readOnly = false;
    if (gone) return;
    const DWORD lastError = GetLastError();
    if (readOnly) (void)SetFileAttributesW(m_temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    (void)DeleteFileW(m_temporary.c_str());
    SetLastError(lastError);
}
