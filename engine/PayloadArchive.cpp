#include "engine/PayloadArchive.h"

#include "engine/ArchiveAttributes.h"
#include "engine/ArchiveFileWriter.h"
#include "engine/ArchiveNames.h"
#include "engine/ArchiveTimes_win.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

namespace {

constexpr unsigned kTransferSize = 16384;
constexpr uint32_t kEncryptedFlag = 0x0001;

// Flagged names as UTF-8, strictly, so that bytes that are not UTF-8 fall
// back to the code page; other names in the system's ANSI code page.
size_t DecodeStoredName(const char* bytes, size_t length, bool utf8, wchar_t* out, size_t capacity)
{
    const int decoded = MultiByteToWideChar(utf8 ? CP_UTF8 : CP_ACP, utf8 ? MB_ERR_INVALID_CHARS : 0, bytes,
                                            static_cast<int>(length), out, static_cast<int>(capacity));
    return decoded > 0 ? static_cast<size_t>(decoded) : 0;
}

constexpr RecordConversions kConversions{DecodeStoredName, LocalCivilTimeToUtc};

}  // namespace

CPayloadArchive::CPayloadArchive(const void* data, size_t size) : m_entries(data, size) {}

CPayloadArchive::~CPayloadArchive() = default;

std::unique_ptr<CPayloadArchive> CPayloadArchive::OpenFromMemory(const void* data, size_t size)
{
    if (data == nullptr || size == 0) return nullptr;
    std::unique_ptr<CPayloadArchive> archive(new CPayloadArchive(data, size));
    if (!archive->m_entries.Open()) return nullptr;

    wchar_t current[ArchivePath::kMaxLength + 1];
    const DWORD length = GetCurrentDirectoryW(ARRAYSIZE(current), current);
    archive->m_baseFolderUsable =
        length != 0 && length < ARRAYSIZE(current) && MakeBaseFolder(std::wstring_view(current, length), &archive->m_baseFolder);
    return archive;
}

ArchiveResult CPayloadArchive::SetBaseFolder(const wchar_t* folder)
{
    const std::wstring_view text = folder != nullptr ? std::wstring_view(folder) : std::wstring_view();
    m_baseFolderUsable = MakeBaseFolder(text, &m_baseFolder);
    m_folders.Forget();
    m_placement = CArchiveFileWriter::Placement::Link;  // another folder may lie on another file system
    return m_baseFolderUsable ? ArcOk : ArcBadArgument;
}

ArchiveResult CPayloadArchive::ReadItem(int index, ArchiveItem* record)
{
    if (record == nullptr || index < -1 || index >= m_entries.count()) return ArcBadArgument;
    (void)m_entries.CloseMember();  // a safeguard: none is open between calls
    if (index == -1) {
        std::memset(record, 0, sizeof(*record));
        record->index = m_entries.count();
        return ArcOk;
    }
    if (index != m_cachedIndex) {
        m_cachedIndex = -1;
        const ArchiveResult result = m_entries.ReadEntry(index, kConversions, &m_cached);
        if (result != ArcOk) return result;
        m_cachedIndex = index;
    }
    *record = m_cached.record;
    return ArcOk;
}

ArchiveResult CPayloadArchive::ExtractItem(int index, const wchar_t* name)
{
    (void)m_entries.CloseMember();
    if (index < 0 || index >= m_entries.count()) return ArcBadArgument;
    ArchiveItem record;
    const ArchiveResult read = ReadItem(index, &record);
    if (read != ArcOk) return read;
    if (!m_baseFolderUsable) return ArcNoFile;
    if (name == nullptr) return ArcBadArgument;

    const size_t nameLength = wcsnlen(name, ArchivePath::kMaxLength + 1);
    if (nameLength > ArchivePath::kMaxLength) return ArcNoFile;
    const std::wstring_view text(name, nameLength);
    // Nothing is written outside the base folder: names that are absolute,
    // or that would climb out of it, are refused rather than rewritten, so a
    // tampered archive fails visibly instead of landing somewhere unexpected.
    if (IsAbsoluteItemName(text) || !StaysInsideBase(text)) return ArcBadArgument;
    if (m_cached.nameProblem != ArcOk) return m_cached.nameProblem;

    if ((record.attributes & ArchiveAttribute::Folder) != 0) return ExtractFolder(text);
    // The installer supplies no password.
    if ((m_cached.flags & kEncryptedFlag) != 0) return ArcBadPassword;
    return ExtractFile(index, text);
}

ArchiveResult CPayloadArchive::ExtractFolder(std::wstring_view name)
{
    while (!name.empty() && IsNameSeparator(name.back())) name.remove_suffix(1);
    ArchivePath folder = m_baseFolder;
    if (!folder.Append(name)) return ArcNoFile;
    return m_folders.Ensure(folder, m_baseFolder.size()) ? ArcOk : ArcNoFile;
}

ArchiveResult CPayloadArchive::ExtractFile(int index, std::wstring_view name)
{
    const ItemNameParts parts = SplitItemName(name);
    if (parts.filePart.empty()) return ArcNoFile;
    ArchivePath target = m_baseFolder;
    if (!target.Append(name)) return ArcNoFile;
    const size_t folderLength = m_baseFolder.size() + parts.folderPart.size();
    ArchivePath folder;
    folder.Assign(target.view().substr(0, folderLength));
    if (!m_folders.Ensure(folder, m_baseFolder.size())) return ArcNoFile;

    const CArchiveFileWriter::Placement placement = m_placement;
    CommitOutcome outcome;
    const ArchiveResult result = WriteEntryFile(index, target, folder, placement, &outcome);
    if (outcome != CommitOutcome::Refused || placement == CArchiveFileWriter::Placement::Rename) return result;
    // No link over the old file (one held open), or none on this file
    // system at all (FAT): the entry once more, renamed into place.
    return WriteEntryFile(index, target, folder, CArchiveFileWriter::Placement::Rename, &outcome);
}

ArchiveResult CPayloadArchive::WriteEntryFile(int index, const ArchivePath& target, const ArchivePath& folder,
                                              CArchiveFileWriter::Placement placement, CommitOutcome* outcome)
{
    *outcome = CommitOutcome::NotTried;
    CArchiveFileWriter writer;
    const uint32_t nameSeed = static_cast<uint32_t>(index);
    if (!writer.Create(target, folder.size(), nameSeed, placement)) {
        // A folder removed since it was made sure of: make it again, once.
        if (GetLastError() != ERROR_PATH_NOT_FOUND) return ArcNoFile;
        m_folders.Forget();
        if (!m_folders.Ensure(folder, m_baseFolder.size()) || !writer.Create(target, folder.size(), nameSeed, placement)) {
            return ArcNoFile;
        }
    }

    if (!m_transferBuffer) m_transferBuffer.reset(new uint8_t[kTransferSize]);
    if (!m_entries.OpenMember()) return ArcCorrupt;
    const uint64_t size = m_cached.uncompressedSize;
    ArchiveResult result = CopyMember(&writer, size);
    const int closed = m_entries.CloseMember();

    // An empty member never delivers a byte, so it reports ArcInflateFailed;
    // its empty file is still complete and takes its place.
    const bool complete = result == ArcOk || (result == ArcInflateFailed && size == 0);
    if (!complete) return result;  // the writer removes the temporary file
    if (closed == UNZ_CRCERROR) return ArcCorrupt;
    // Times only on success: an empty member keeps the time it was written.
    const ArchiveItem& record = m_cached.record;
    const FileTimes times{record.creationTime, record.accessTime, record.modificationTime};
    if (!writer.Commit(record.attributes, result == ArcOk ? &times : nullptr)) {
        if (placement == CArchiveFileWriter::Placement::Link && writer.LinksUnsupported()) {
            m_placement = CArchiveFileWriter::Placement::Rename;
        }
        *outcome = CommitOutcome::Refused;
        return ArcNoFile;
    }
    *outcome = CommitOutcome::Placed;
    return result;
}

ArchiveResult CPayloadArchive::CopyMember(CArchiveFileWriter* writer, uint64_t size)
{
    uint64_t remaining = size;
    for (;;) {
        const unsigned ask = remaining < kTransferSize ? static_cast<unsigned>(remaining) : kTransferSize;
        // No read is made once nothing is left to come; a member that ends
        // before its stated size brings nothing and fails here too.
        const int received = ask != 0 ? m_entries.ReadMember(m_transferBuffer.get(), ask) : 0;
        if (received <= 0) return ArcInflateFailed;
        if (!writer->Write(m_transferBuffer.get(), static_cast<uint32_t>(received))) return ArcWriteFailed;
        remaining -= static_cast<uint64_t>(received);
        if (remaining == 0) return ArcOk;
    }
}
