#pragma once
// EnsureFolders: makes sure a folder exists before files are written into
// it. Only levels below the base folder, and the base folder's own last
// level, are ever created; the base's parents must exist.
//
// Folders already made sure of are remembered, so the files of a folder cost
// no folder call at all; a folder removed behind the reader's back is found
// again when a file cannot be created in it (Forget, then Ensure).

#include "engine/ArchivePath.h"

#include <string>
#include <unordered_set>

class CArchiveFolders {
public:
    // folder: the folder's path, trailing separators allowed; its first
    // baseLength characters are the base folder (with its separator).
    bool Ensure(const ArchivePath& folder, size_t baseLength);
    void Forget() { m_known.clear(); }

private:
    bool EnsurePath(ArchivePath& path, size_t baseFolderLength);

    std::unordered_set<std::wstring> m_known;
};
