#pragma once
// The archive's entries through minizip, read in place from a memory block:
// stepping to an entry, its record, and its member's data. Platform-free, so
// the path from the archive's bytes to every entry's record is the one the
// native fuzz target runs.
//
// Sequential access costs one step per entry: minizip stays on the current
// entry, and only a lower index rewinds to the first one.

#include "engine/ArchiveItem.h"
#include "engine/ArchiveRecord.h"
#include "engine/MemorySource.h"

#include <minizip/unzip.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <vector>

// An entry's record with what only the reader needs besides it.
struct EntryRecord {
    ArchiveItem record;
    uint32_t flags;             // general-purpose bits
    uint64_t uncompressedSize;  // the full 64-bit size, which the record narrows
    ArchiveResult nameProblem;  // ArcOk, or what extracting the entry must give
};

class ArchiveEntryReader {
public:
    // data must stay valid for the reader's life; nothing is copied.
    ArchiveEntryReader(const void* data, size_t size) : m_source(data, size) {}
    ~ArchiveEntryReader();
    ArchiveEntryReader(const ArchiveEntryReader&) = delete;
    ArchiveEntryReader& operator=(const ArchiveEntryReader&) = delete;

    // False when the block is no archive minizip can open (no end record,
    // counts that disagree) and no archive without entries either, or when
    // it counts more entries than an index can number.
    bool Open();
    int count() const { return m_count; }

    // Moves to entry index (0 to count-1) and derives its record, checking
    // its local header against the central record: ArcCorrupt when they
    // disagree or the central record cannot be read, ArcReadFailed when the
    // local extra field is shorter than its header says. A failure leaves
    // entry as it was. No member is open afterwards.
    ArchiveResult ReadEntry(int index, const RecordConversions& conversions, EntryRecord* entry);

    // The member of the entry ReadEntry last read, opened without a password.
    bool OpenMember();
    // minizip's result: bytes delivered, 0 at the member's end, negative on
    // an error (UNZ_BADPASSWORD among them).
    int ReadMember(void* buffer, unsigned size);
    // minizip's result; UNZ_CRCERROR when the data did not match its CRC-32.
    // Nothing happens when no member is open.
    int CloseMember();

private:
    ArchiveResult MoveToEntry(int index);

    MemorySource m_source;  // minizip holds its address: the reader never moves
    unzFile m_archive = nullptr;
    bool m_memberOpen = false;
    int m_count = 0;
    int m_currentEntry = -1;        // minizip's current entry; -1 when it must start over
    int m_firstHidden = INT_MAX;    // the first entry behind a central record that cannot be read
    std::vector<uint8_t> m_extraField;
};
