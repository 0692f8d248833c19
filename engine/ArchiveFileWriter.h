#pragma once
// Writes one extracted file without ever exposing a partial one: the data
// goes to a temporary file in the target's folder, which takes the target's
// place only when it is complete and verified. Until then, and whenever the
// entry fails, an old file under the target's name stays exactly as it was.

#include "engine/ArchiveFileHandle.h"
#include "engine/ArchivePath.h"

#include <cstdint>
#include <string>

class CArchiveFileWriter {
public:
    CArchiveFileWriter() = default;
    ~CArchiveFileWriter() { Discard(); }
    CArchiveFileWriter(const CArchiveFileWriter&) = delete;
    CArchiveFileWriter& operator=(const CArchiveFileWriter&) = delete;

    // Creates the temporary file beside target, whose first folderLength
    // characters are its folder (separator included), with the entry's
    // attributes. nameSeed picks the first temporary name tried. On failure
    // GetLastError() tells why (ERROR_PATH_NOT_FOUND: the folder is missing).
    bool Create(const ArchivePath& target, size_t folderLength, uint32_t attributes, uint32_t nameSeed);

    bool Write(const void* data, uint32_t size);
    bool SetTimes(uint64_t creation, uint64_t access, uint64_t modification);

    // Closes the file and moves it over the target, replacing an old file
    // even when it is read-only, hidden or system. False when the target
    // cannot be replaced (a running program, a file held open): then the
    // temporary file is removed and the old file is left as it was.
    bool Commit();

    // Closes and removes the temporary file, if any.
    void Discard();

private:
    bool MakeTemporaryPath(uint32_t number);

    ArchiveFileHandle m_file;
    ArchivePath m_target;
    size_t m_folderLength = 0;
    std::wstring m_temporary;  // may exceed the 259 characters: then in "\\?\" form
    uint32_t m_attributes = 0;
    bool m_created = false;
};
