#include "engine/ArchiveEntryReader.h"

#include "engine/ArchiveEndRecord.h"
#include "engine/ArchiveMemoryIo.h"

#include <climits>

ArchiveEntryReader::~ArchiveEntryReader()
{
    (void)CloseMember();
    if (m_archive != nullptr) (void)unzClose(m_archive);
}

bool ArchiveEntryReader::Open()
{
    zlib_filefunc64_def functions;
    FillMemoryFileFunctions(&functions, &m_source);
    m_archive = unzOpen2_64(&m_source, &functions);
    if (m_archive == nullptr) {
        // An archive without entries has no minizip handle: its count of 0
        // keeps every later call away from it.
        return IsArchiveWithoutEntries(m_source.Data(), m_source.Size());
    }
    unz_global_info64 info;
    if (unzGetGlobalInfo64(m_archive, &info) != UNZ_OK || info.number_entry > static_cast<ZPOS64_T>(INT_MAX)) {
        return false;
    }
    m_count = static_cast<int>(info.number_entry);
    return true;
}

int ArchiveEntryReader::CloseMember()
{
    if (!m_memberOpen) return UNZ_OK;
    m_memberOpen = false;
    return unzCloseCurrentFile(m_archive);
}

bool ArchiveEntryReader::OpenMember()
{
    (void)CloseMember();
    m_memberOpen = unzOpenCurrentFile(m_archive) == UNZ_OK;
    return m_memberOpen;
}

int ArchiveEntryReader::ReadMember(void* buffer, unsigned size)
{
    return m_memberOpen ? unzReadCurrentFile(m_archive, buffer, size) : UNZ_PARAMERROR;
}

ArchiveResult ArchiveEntryReader::MoveToEntry(int index)
{
    // A central record that cannot be read hides every entry after it: their
    // records cannot be found without it. Asked again, they fail at once
    // rather than after a walk from the first entry.
    if (index >= m_firstHidden) return ArcCorrupt;
    if (m_currentEntry < 0 || index < m_currentEntry) {
        if (unzGoToFirstFile(m_archive) != UNZ_OK) {
            m_currentEntry = -1;
            m_firstHidden = 0;
            return ArcCorrupt;
        }
        m_currentEntry = 0;
    }
    while (m_currentEntry < index) {
        if (unzGoToNextFile(m_archive) != UNZ_OK) {
            m_firstHidden = m_currentEntry + 1;
            m_currentEntry = -1;
            return ArcCorrupt;
        }
        ++m_currentEntry;
    }
    return ArcOk;
}

ArchiveResult ArchiveEntryReader::ReadEntry(int index, const RecordConversions& conversions, EntryRecord* entry)
{
    if (index < 0 || index >= m_count) return ArcBadArgument;
    (void)CloseMember();
    const ArchiveResult moved = MoveToEntry(index);
    if (moved != ArcOk) return moved;

    unz_file_info64 info;
    char storedName[kStoredNameLimit + 1];
    if (unzGetCurrentFileInfo64(m_archive, &info, storedName, kStoredNameLimit, nullptr, 0, nullptr, 0) != UNZ_OK) {
        m_currentEntry = -1;
        m_firstHidden = index;
        return ArcCorrupt;
    }
    if (info.compression_method != 0 && info.compression_method != Z_DEFLATED) return ArcCorrupt;

    // minizip's own check of the local header against the central record:
    // signature, method, CRC and sizes (unless bit 3 defers them), name length.
    if (!OpenMember()) return ArcCorrupt;
    const int extraLength = unzGetLocalExtrafield(m_archive, nullptr, 0);
    int extraRead = 0;
    if (extraLength > 0) {
        if (m_extraField.size() < static_cast<size_t>(extraLength)) m_extraField.resize(static_cast<size_t>(extraLength));
        extraRead = unzGetLocalExtrafield(m_archive, m_extraField.data(), static_cast<unsigned>(extraLength));
    }
    (void)CloseMember();  // a CRC result means nothing before the data is read
    if (extraLength < 0 || extraRead != extraLength) return ArcReadFailed;

    const CentralEntryFields fields{static_cast<uint32_t>(info.version),       static_cast<uint32_t>(info.flag),
                                    static_cast<uint32_t>(info.external_fa),   static_cast<uint32_t>(info.dosDate),
                                    info.compressed_size,                      info.uncompressed_size,
                                    info.size_filename};
    const size_t storedLength = info.size_filename < kStoredNameLimit ? info.size_filename : kStoredNameLimit;
    entry->nameProblem = DeriveItemRecord(index, fields, storedName, storedLength, m_extraField.data(),
                                          static_cast<size_t>(extraLength), conversions, &entry->record);
    entry->flags = fields.flags;
    entry->uncompressedSize = info.uncompressed_size;
    return ArcOk;
}
