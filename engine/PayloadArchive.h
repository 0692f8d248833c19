#pragma once
// CPayloadArchive: reads the product's ZIP archive in place (the installer's
// loaded resource, never copied) and writes its entries under a base folder.
//
// Entries are meant to be read and extracted in rising index order; minizip
// then moves one central record per entry, and ExtractItem finds the record
// its preceding ReadItem of the same entry left in the cache.

#include "engine/ArchiveEntryReader.h"
#include "engine/ArchiveFileWriter.h"
#include "engine/ArchiveFolders.h"
#include "engine/ArchiveItem.h"
#include "engine/ArchivePath.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class CPayloadArchive {
public:
    // data must stay valid for the reader's life. nullptr: the archive cannot
    // be opened (ArcNoFile), e.g. no end-of-central-directory record or counts
    // that disagree. The base folder starts as the current folder.
    static std::unique_ptr<CPayloadArchive> OpenFromMemory(const void* data, size_t size);

    ~CPayloadArchive();
    CPayloadArchive(const CPayloadArchive&) = delete;
    CPayloadArchive& operator=(const CPayloadArchive&) = delete;

    // "/" is appended unless folder ends in "\" or "/". A folder that does not
    // fit the 259 characters is refused (ArcBadArgument) and every extraction
    // fails with ArcNoFile until a folder that fits is set, so nothing can go
    // to a folder other than the one asked for.
    ArchiveResult SetBaseFolder(const wchar_t* folder);

    // index -1: the count record. Otherwise the entry's record; a failure
    // leaves record as it was.
    ArchiveResult ReadItem(int index, ArchiveItem* record);

    // Writes entry index under name (relative to the base folder; normally the
    // record's own name). Names that are absolute or would climb out of the
    // base folder are refused with ArcBadArgument, a target path longer than
    // 259 characters with ArcNoFile.
    ArchiveResult ExtractItem(int index, const wchar_t* name);

private:
    CPayloadArchive(const void* data, size_t size);

    ArchiveResult ExtractFolder(std::wstring_view name);
    ArchiveResult ExtractFile(int index, std::wstring_view name);
    // One attempt at the entry's file, and how far it got: the file put in
    // place, or refused there after it was written whole.
    enum class CommitOutcome { NotTried, Placed, Refused };
    ArchiveResult WriteEntryFile(int index, const ArchivePath& target, const ArchivePath& folder,
                            CArchiveFileWriter::Placement placement, CommitOutcome* outcome);
    ArchiveResult CopyMember(CArchiveFileWriter* writer, uint64_t size);

    ArchiveEntryReader m_entries;

    // The record last produced by ReadItem, with what only the reader needs.
    EntryRecord m_cached{};
    int m_cachedIndex = -1;

    ArchivePath m_baseFolder;
    bool m_baseFolderUsable = true;
    CArchiveFileWriter::Placement m_placement = CArchiveFileWriter::Placement::Link;  // until a file system has none
    CArchiveFolders m_folders;
    std::unique_ptr<uint8_t[]> m_transferBuffer;  // made at the first file extraction
};
