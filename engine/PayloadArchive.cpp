#include "engine/PayloadArchive.h"

#include "engine/ArchiveAttributes.h"
#include "engine/ArchiveEndRecord.h"
#include "engine/ArchiveFileWriter.h"
#include "engine/ArchiveMemoryIo.h"
#include "engine/ArchiveNames.h"
#include "engine/ArchiveTimes.h"
#include "engine/ArchiveTimes_win.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

namespace {

constexpr unsigned kTransferSize = 16384;
constexpr size_t kStoredNameLimit = 259;  // bytes of an entry's name the record can hold
constexpr uint32_t kEncryptedFlag = 0x0001;

}  // namespace

CPayloadArchive::CPayloadArchive(const void* data, size_t size) : m_source(data, size) {}

CPayloadArchive::~CPayloadArchive()
{
    CloseMember();
    if (m_archive != nullptr) (void)unzClose(m_archive);
}

std::unique_ptr<CPayloadArchive> CPayloadArchive::OpenFromMemory(const void* data, size_t size)
{
    if (data == nullptr || size == 0) return nullptr;
    std::unique_ptr<CPayloadArchive> archive(new CPayloadArchive(data, size));
    zlib_filefunc64_def functions;
    FillMemoryFileFunctions(&functions, &archive->m_source);
    archive->m_archive = unzOpen2_64(&archive->m_source, &functions);
    if (archive->m_archive != nullptr) {
        unz_global_info64 info;
        if (unzGetGlobalInfo64(archive->m_archive, &info) != UNZ_OK) return nullptr;
        archive->m_count = static_cast<int>(info.number_entry);
    } else if (!IsArchiveWithoutEntries(data, size)) {
        return nullptr;
    }
    // An archive without entries has no minizip handle: its count of 0 keeps
    // every later call away from it.

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
    return m_baseFolderUsable ? ArcOk : ArcBadArgument;
}

void CPayloadArchive::CloseMember()
{
    if (!m_memberOpen) return;
    (void)unzCloseCurrentFile(m_archive);  // a CRC result only matters inside ExtractItem
    m_memberOpen = false;
}

ArchiveResult CPayloadArchive::MoveToEntry(int index)
{
    if (m_currentEntry < 0 || index < m_currentEntry) {
        if (unzGoToFirstFile(m_archive) != UNZ_OK) {
            m_currentEntry = -1;
            return ArcCorrupt;
        }
        m_currentEntry = 0;
    }
    while (m_currentEntry < index) {
        // A central record that cannot be read hides every entry after it:
        // their records cannot be found without it.
        if (unzGoToNextFile(m_archive) != UNZ_OK) {
            m_currentEntry = -1;
            return ArcCorrupt;
        }
        ++m_currentEntry;
    }
    return ArcOk;
}

ArchiveResult CPayloadArchive::ReadItem(int index, ArchiveItem* record)
{
    if (record == nullptr || index < -1 || index >= m_count) return ArcBadArgument;
    CloseMember();
    if (index == -1) {
        std::memset(record, 0, sizeof(*record));
        record->index = m_count;
        return ArcOk;
    }
    if (index != m_cachedIndex) {
        const ArchiveResult result = LoadRecord(index);
        if (result != ArcOk) return result;
    }
    *record = m_cachedRecord;
    return ArcOk;
}

ArchiveResult CPayloadArchive::LoadRecord(int index)
{
    m_cachedIndex = -1;
    const ArchiveResult moved = MoveToEntry(index);
    if (moved != ArcOk) return moved;

    unz_file_info64 info;
    char storedName[kStoredNameLimit + 1];
    if (unzGetCurrentFileInfo64(m_archive, &info, storedName, kStoredNameLimit, nullptr, 0, nullptr, 0) != UNZ_OK) {
        m_currentEntry = -1;
        return ArcCorrupt;
    }
    if (info.compression_method != 0 && info.compression_method != Z_DEFLATED) return ArcCorrupt;

    // minizip's own check of the local header against the central record:
    // signature, method, CRC and sizes (unless bit 3 defers them), name length.
    if (unzOpenCurrentFile(m_archive) != UNZ_OK) return ArcCorrupt;
    m_memberOpen = true;
    const int extraLength = unzGetLocalExtrafield(m_archive, nullptr, 0);
    int extraRead = 0;
    if (extraLength > 0) {
        if (m_extraField.size() < static_cast<size_t>(extraLength)) m_extraField.resize(static_cast<size_t>(extraLength));
        extraRead = unzGetLocalExtrafield(m_archive, m_extraField.data(), static_cast<unsigned>(extraLength));
    }
    CloseMember();
    if (extraLength < 0 || extraRead != extraLength) return ArcReadFailed;

    const size_t storedLength = info.size_filename < kStoredNameLimit ? info.size_filename : kStoredNameLimit;
    m_cachedNameProblem = ArcOk;
    if (info.size_filename > kStoredNameLimit) m_cachedNameProblem = ArcNoFile;  // no target path could hold it
    else if (std::memchr(storedName, '\0', storedLength) != nullptr) m_cachedNameProblem = ArcBadArgument;

    // Names are in the system's 8-bit code page, whatever the UTF-8 flag says.
    wchar_t decoded[kStoredNameLimit + 1];
    int decodedLength = 0;
    if (storedLength > 0) {
        decodedLength = MultiByteToWideChar(CP_ACP, 0, storedName, static_cast<int>(storedLength), decoded,
                                            static_cast<int>(kStoredNameLimit));
        if (decodedLength <= 0) {
            decodedLength = 0;
            m_cachedNameProblem = ArcNoFile;
        }
    }
    const std::wstring_view name = SanitiseItemName(std::wstring_view(decoded, static_cast<size_t>(decodedLength)));

    ArchiveItem& record = m_cachedRecord;
    std::memset(&record, 0, sizeof(record));
    record.index = index;
    name.copy(record.name, name.size());
    record.name[name.size()] = L'\0';
    record.attributes = DeriveAttributes(static_cast<uint32_t>(info.version), static_cast<uint32_t>(info.external_fa));
    const ItemTimes times = DeriveItemTimes(static_cast<uint32_t>(info.dosDate), m_extraField.data(),
                                            static_cast<size_t>(extraLength), LocalCivilTimeToUtc);
    record.modificationTime = times.modification;
    record.accessTime = times.access;
    record.creationTime = times.creation;
    record.compressedSize = static_cast<int32_t>(info.compressed_size);
    record.uncompressedSize = static_cast<int32_t>(info.uncompressed_size);

    m_cachedFlags = static_cast<uint32_t>(info.flag);
    m_cachedUncompressedSize = info.uncompressed_size;
    m_cachedIndex = index;
    return ArcOk;
}

ArchiveResult CPayloadArchive::ExtractItem(int index, const wchar_t* name)
{
    CloseMember();
    if (index < 0 || index >= m_count) return ArcBadArgument;
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
    if (m_cachedNameProblem != ArcOk) return m_cachedNameProblem;

    if ((record.attributes & ArchiveAttribute::Folder) != 0) return ExtractFolder(text);
    // The installer supplies no password.
    if ((m_cachedFlags & kEncryptedFlag) != 0) return ArcBadPassword;
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

    CArchiveFileWriter writer;
    const uint32_t nameSeed = static_cast<uint32_t>(index);
    if (!writer.Create(target, folderLength, nameSeed)) {
        // A folder removed since it was made sure of: make it again, once.
        if (GetLastError() != ERROR_PATH_NOT_FOUND) return ArcNoFile;
        m_folders.Forget();
        if (!m_folders.Ensure(folder, m_baseFolder.size()) ||
            !writer.Create(target, folderLength, nameSeed)) {
            return ArcNoFile;
        }
    }

    if (!m_transferBuffer) m_transferBuffer.reset(new uint8_t[kTransferSize]);
    if (unzOpenCurrentFile(m_archive) != UNZ_OK) return ArcCorrupt;
    m_memberOpen = true;
    ArchiveResult result = CopyMember(&writer, m_cachedUncompressedSize);
    const int closed = unzCloseCurrentFile(m_archive);
    m_memberOpen = false;

    // An empty member never delivers a byte, so it reports ArcInflateFailed;
    // its empty file is still complete and takes its place.
    const bool complete = result == ArcOk || (result == ArcInflateFailed && m_cachedUncompressedSize == 0);
    if (!complete) return result;  // the writer removes the temporary file
    if (closed == UNZ_CRCERROR) return ArcCorrupt;
    // Times only on success: an empty member keeps the time it was written.
    const FileTimes times{m_cachedRecord.creationTime, m_cachedRecord.accessTime, m_cachedRecord.modificationTime};
    if (!writer.Commit(m_cachedRecord.attributes, result == ArcOk ? &times : nullptr)) return ArcNoFile;
    return result;
}

ArchiveResult CPayloadArchive::CopyMember(CArchiveFileWriter* writer, uint64_t size)
{
    uint64_t remaining = size;
    for (;;) {
        const unsigned ask = remaining < kTransferSize ? static_cast<unsigned>(remaining) : kTransferSize;
        // No read is made once nothing is left to come; a member that ends
        // before its stated size brings nothing and fails here too.
        const int received = ask != 0 ? unzReadCurrentFile(m_archive, m_transferBuffer.get(), ask) : 0;
        if (received <= 0) return ArcInflateFailed;
        if (!writer->Write(m_transferBuffer.get(), static_cast<uint32_t>(received))) return ArcWriteFailed;
        remaining -= static_cast<uint64_t>(received);
        if (remaining == 0) return ArcOk;
    }
}
