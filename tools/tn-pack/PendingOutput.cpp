#include "tools/tn-pack/PendingOutput.h"

#include "framework/Handles.h"

#include <windows.h>

namespace {

std::wstring ErrorText() { return L"(error " + std::to_wstring(GetLastError()) + L")"; }

// The folder of path, from its full form; empty when there is none.
std::wstring FolderOf(const std::wstring& path)
{
    wchar_t full[MAX_PATH];
    wchar_t* filePart = nullptr;
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, &filePart);
    if (length == 0 || length >= MAX_PATH || filePart == nullptr) return std::wstring();
    return std::wstring(full, static_cast<size_t>(filePart - full));
}

}  // namespace

CPendingOutput::~CPendingOutput()
{
    if (!m_temporary.empty()) (void)DeleteFileW(m_temporary.c_str());  // nothing of a failed run stays
}

PackOutcome CPendingOutput::CheckPlace(const std::wstring& output)
{
    const DWORD existing = GetFileAttributesW(output.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return PackOutcome::Refuse(output + L" is a folder");
    }
    // Windows would refuse to replace it only at the end, after all the work.
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY) != 0) {
        return PackOutcome::Refuse(output + L" is read-only");
    }
    const std::wstring folder = FolderOf(output);
    const DWORD attributes = folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return PackOutcome::Refuse(L"no folder to write " + output + L" in");
    }
    return PackOutcome::Done();
}

PackOutcome CPendingOutput::Begin(const std::wstring& output, const std::wstring& stub)
{
    const std::wstring folder = FolderOf(output);
    wchar_t temporary[MAX_PATH];
    if (folder.empty() || GetTempFileNameW(folder.c_str(), L"tnp", 0, temporary) == 0) {
        return PackOutcome::Fail(L"cannot create a file beside " + output + L" " + ErrorText());
    }
    m_output = output;
    m_temporary = temporary;
    if (!CopyFileW(stub.c_str(), m_temporary.c_str(), FALSE)) {
        return PackOutcome::Fail(L"cannot copy " + stub + L" " + ErrorText());
    }
    // The copy takes the stub's attributes; a read-only one could not be updated.
    if (!SetFileAttributesW(m_temporary.c_str(), FILE_ATTRIBUTE_NORMAL)) {
        return PackOutcome::Fail(L"cannot write beside " + output + L" " + ErrorText());
    }
    return PackOutcome::Done();
}

PackOutcome CPendingOutput::Commit()
{
    {
        tn::UniqueFile file(CreateFileW(m_temporary.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file || !FlushFileBuffers(file.get())) {
            return PackOutcome::Fail(L"cannot write beside " + m_output + L" " + ErrorText());
        }
    }
    if (!MoveFileExW(m_temporary.c_str(), m_output.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return PackOutcome::Fail(L"cannot replace " + m_output + L" " + ErrorText());
    }
    m_temporary.clear();
    return PackOutcome::Done();
}
