#include "engine/ArchiveFolders.h"

#include "engine/ArchiveNames.h"

#include <windows.h>

namespace {

bool IsExistingFolder(const wchar_t* path)
{
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

bool CArchiveFolders::Ensure(const ArchivePath& folder, size_t baseLength)
{
    ArchivePath path = folder;
    path.DropTrailingSeparators();
    // The base folder without its separator: the highest level that may be made.
    ArchivePath base;
    base.Assign(folder.view().substr(0, baseLength));
    base.DropTrailingSeparators();
    if (path.size() < base.size()) path = base;
    return EnsurePath(path, base.size());
}

bool CArchiveFolders::EnsurePath(ArchivePath& path, size_t baseFolderLength)
{
    // A bare root ("/" as base, or "C:") always exists.
    if (path.empty() || (path.size() == 2 && path.c_str()[1] == L':')) return true;
    std::wstring key(path.view());
    if (m_known.count(key) != 0) return true;

    // Deepest level first: for a folder whose parent exists, which is the
    // usual case, this is the only call.
    if (!CreateDirectoryW(path.c_str(), nullptr)) {
        const DWORD error = GetLastError();
        if (error == ERROR_PATH_NOT_FOUND && path.size() > baseFolderLength) {
            const size_t length = path.size();
            size_t parent = length;
            while (parent > 0 && !IsNameSeparator(path.c_str()[parent - 1])) --parent;
            while (parent > 0 && IsNameSeparator(path.c_str()[parent - 1])) --parent;
            if (parent == 0) return false;
            ArchivePath parentPath;
            parentPath.Assign(path.view().substr(0, parent));
            if (!EnsurePath(parentPath, baseFolderLength)) return false;
            if (!CreateDirectoryW(path.c_str(), nullptr) && !IsExistingFolder(path.c_str())) return false;
        } else if (!IsExistingFolder(path.c_str())) {
            // Also when a file holds the folder's name (ERROR_ALREADY_EXISTS).
            return false;
        }
    }
    m_known.insert(std::move(key));
    return true;
}
