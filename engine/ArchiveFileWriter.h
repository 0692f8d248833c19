#pragma once
// Writes one extracted file without ever exposing a partial one: the data
// goes to a temporary file in the target's folder, which takes the target's
// place only when it is complete and verified. Until then, and whenever the
// entry fails, an old file under the target's name stays exactly as it was,
// and the temporary file goes away even when the process is ended.

#include "framework/Handles.h"
#include "engine/ArchivePath.h"

#include <cstdint>
#include <string>
#include <vector>

struct FileTimes {
    uint64_t creation;
    uint64_t access;
    uint64_t modification;
};

class CArchiveFileWriter {
public:
    // How the finished file takes the target's place. Either way the
    // temporary file is deleted by the system when the process ends first.
    enum class Placement {
        // The file is created to be deleted with its handle and is linked
        // over the target before that: a process ended at any moment leaves
        // no temporary file. Needs a file system with hard links (NTFS).
        Link,
        // The file is marked for deletion and renamed over the target once
        // the mark is taken off: a process ended between those two calls
        // leaves a whole temporary file. For file systems without links.
        Rename,
    };

    CArchiveFileWriter() = default;
    ~CArchiveFileWriter() { Discard(); }
    CArchiveFileWriter(const CArchiveFileWriter&) = delete;
    CArchiveFileWriter& operator=(const CArchiveFileWriter&) = delete;

    // Creates the temporary file beside target, whose first folderLength
    // characters are its folder (separator included). nameSeed picks the
    // first temporary name tried. On failure GetLastError() tells why
    // (ERROR_PATH_NOT_FOUND: the folder is missing).
    bool Create(const ArchivePath& target, size_t folderLength, uint32_t nameSeed, Placement placement);

    bool Write(const void* data, uint32_t size);

    // Gives the file its attributes and, when times is not null, its times,
    // then puts it over the target in one step and closes it, replacing an
    // old file even when it is read-only, hidden or system. False when the
    // target cannot be replaced (a running program, a file held open, or no
    // links on this file system for Placement::Link): then the temporary
    // file is gone and the old file is left as it was.
    bool Commit(uint32_t attributes, const FileTimes* times);

    // Closes and removes the temporary file, if any.
    void Discard();

    // After a refused Commit with Placement::Link: the file system has no
    // links at all, so every later file should be renamed into place.
    bool LinksUnsupported() const { return m_linksUnsupported; }

private:
    bool MakeTemporaryPath(uint32_t number);
    bool SetDeleteMark(bool marked);
    bool PlaceOverTarget();
    bool ReplaceTarget();

    tn::UniqueFile m_file;
    ArchivePath m_target;
    size_t m_folderLength = 0;
    Placement m_placement = Placement::Link;
    std::wstring m_temporary;  // may exceed the 259 characters: then in "\\?\" form
    std::wstring m_targetNtPath;
    std::vector<uint8_t> m_nameBuffer;
    bool m_created = false;
    bool m_readOnly = false;  // the temporary file carries the read-only flag
    bool m_marked = false;    // Placement::Rename: marked for deletion
    bool m_linksUnsupported = false;
};
