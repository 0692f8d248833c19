#include "tools/tn-pack/ArchiveBuilder.h"

#include "framework/Handles.h"
#include "tools/tn-pack/PackRules.h"
#include "tools/tn-pack/ProductFolder.h"
#include "tools/tn-pack/ZipFields.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace {

// Most product files fit one read; larger ones are read in pieces of this.
constexpr size_t kChunkSize = 4 * 1024 * 1024;
// zip.c takes at most this much per write call.
constexpr size_t kLargestWrite = 1 << 30;

// Local header, central record and what each leaves room for.
constexpr uint64_t kEntryOverhead = 30 + 46 + 2 * sizeof(ExtendedTimestampBlock);
constexpr uint64_t kEndRecordSize = 22;

ArchiveSink* SinkOf(voidpf stream) { return static_cast<ArchiveSink*>(stream); }

voidpf ZCALLBACK OpenSink(voidpf opaque, const void* /*fileName*/, int mode)
{
    return (mode & ZLIB_FILEFUNC_MODE_CREATE) != 0 ? opaque : nullptr;
}

uLong ZCALLBACK ReadSink(voidpf /*opaque*/, voidpf /*stream*/, void* /*buffer*/, uLong /*size*/)
{
    return 0;  // a new archive is never read back
}

uLong ZCALLBACK WriteSink(voidpf /*opaque*/, voidpf stream, const void* buffer, uLong size)
{
    return SinkOf(stream)->Write(buffer, size) ? size : 0;
}

ZPOS64_T ZCALLBACK TellSink(voidpf /*opaque*/, voidpf stream) { return SinkOf(stream)->Tell(); }

long ZCALLBACK SeekSink(voidpf /*opaque*/, voidpf stream, ZPOS64_T offset, int origin)
{
    ArchiveSink* sink = SinkOf(stream);
    uint64_t position = offset;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR) position += sink->Tell();
    else if (origin == ZLIB_FILEFUNC_SEEK_END) position += sink->bytes().size();
    else if (origin != ZLIB_FILEFUNC_SEEK_SET) return -1;
    return sink->Seek(position) ? 0 : -1;
}

int ZCALLBACK CloseSink(voidpf /*opaque*/, voidpf /*stream*/) { return 0; }

int ZCALLBACK SinkError(voidpf /*opaque*/, voidpf stream) { return SinkOf(stream)->overLimit() ? 1 : 0; }

void FillSinkFunctions(zlib_filefunc64_def* functions, ArchiveSink* sink)
{
    functions->zopen64_file = OpenSink;
    functions->zread_file = ReadSink;
    functions->zwrite_file = WriteSink;
    functions->ztell64_file = TellSink;
    functions->zseek64_file = SeekSink;
    functions->zclose_file = CloseSink;
    functions->zerror_file = SinkError;
    functions->opaque = sink;
}

// The file time as the local civil time of this machine's time zone rules
// for that date, not today's offset: the same file gives the same DOS time
// whatever the season it is packed in.
CivilTime LocalCivilTimeOf(uint64_t fileTime)
{
    FILETIME utc;
    utc.dwLowDateTime = static_cast<DWORD>(fileTime);
    utc.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
    SYSTEMTIME universal, local;
    if (!FileTimeToSystemTime(&utc, &universal) || !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
        return CivilTime{1980, 1, 1, 0, 0, 0};
    }
    return CivilTime{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

std::wstring Shown(const PackEntry& entry)
{
    std::wstring name = entry.name;
    std::replace(name.begin(), name.end(), L'/', L'\\');
    return name;
}

PackOutcome ReadFailure(const PackEntry& entry)
{
    return PackOutcome::Fail(L"cannot read " + Shown(entry) + L" (error " + std::to_wstring(GetLastError()) + L")");
}

PackOutcome ChangedFailure(const PackEntry& entry)
{
    return PackOutcome::Fail(Shown(entry) + L" changed while it was packed");
}

// Reads up to size bytes; false on a read error.
bool ReadSome(HANDLE file, uint8_t* buffer, size_t size, size_t* got)
{
    DWORD read = 0;
    if (!ReadFile(file, buffer, static_cast<DWORD>(size), &read, nullptr)) return false;
    *got = read;
    return true;
}

// True when the file holds nothing past what was read.
bool AtEnd(HANDLE file)
{
    uint8_t probe;
    size_t got = 0;
    return ReadSome(file, &probe, 1, &got) && got == 0;
}

}  // namespace

CArchiveBuilder::CArchiveBuilder() : m_sink(kMaxArchiveValue)
{
    m_deflateReady = deflateInit2(&m_deflate, kCompressionLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
}

CArchiveBuilder::~CArchiveBuilder()
{
    if (m_zip != nullptr) (void)zipClose(m_zip, nullptr);  // only after a failure: the archive is dropped
    if (m_deflateReady) (void)deflateEnd(&m_deflate);
}

PackOutcome CArchiveBuilder::Build(const CProductFolder& folder, const std::vector<PackEntry>& entries)
{
    if (!m_deflateReady) return PackOutcome::Fail(L"not enough memory to compress");
    uint64_t expected = kEndRecordSize;
    for (const PackEntry& entry : entries) expected += entry.size + kEntryOverhead + 2 * entry.storedName.size();
    // Room for every file stored: no copy of the block as it grows. Without
    // that much memory the block grows as it must.
    (void)m_sink.Reserve(expected);

    zlib_filefunc64_def functions;
    FillSinkFunctions(&functions, &m_sink);
    m_zip = zipOpen2_64("archive", APPEND_STATUS_CREATE, nullptr, &functions);
    if (m_zip == nullptr) return WriteFailure();
    for (const PackEntry& entry : entries) {
        const PackOutcome added = entry.folder ? AddFolder(entry) : AddFile(folder, entry);
        if (!added.ok()) return added;
    }
    const int closed = zipClose(m_zip, nullptr);
    m_zip = nullptr;
    return closed == ZIP_OK ? PackOutcome::Done() : WriteFailure();
}

PackOutcome CArchiveBuilder::WriteFailure() const
{
    if (m_sink.overLimit()) {
        return PackOutcome::Refuse(L"the archive would pass " + std::to_wstring(kMaxArchiveValue) +
                                   L" bytes, more than a ZIP without its 64-bit extension holds");
    }
    return PackOutcome::Fail(L"not enough memory for the archive");
}

bool CArchiveBuilder::OpenEntry(const PackEntry& entry, int method)
{
    zip_fileinfo info{};
    info.dosDate = DosDateTimeOf(LocalCivilTimeOf(entry.modificationTime));
    info.internal_fa = 0;
    info.external_fa = ExternalAttributesOf(entry);
    // A time outside the block's 1901 to 2038 is left to the DOS time alone.
    const std::optional<int32_t> unixTime = UnixTimeOf(entry.modificationTime);
    const ExtendedTimestampBlock block = MakeExtendedTimestampBlock(unixTime.value_or(0));
    const void* extra = unixTime ? block.data() : nullptr;
    const uInt extraSize = unixTime ? static_cast<uInt>(block.size()) : 0;
    // Raw: the data handed over is already in its final form. A level of
    // neither 1, 2, 8 nor 9 leaves the general-purpose flags at 0.
    const int flagNeutralLevel = method == Z_DEFLATED ? kCompressionLevel : 0;
    return zipOpenNewFileInZip4_64(m_zip, entry.storedName.c_str(), &info, extra, extraSize, extra, extraSize, nullptr,
                                   method, flagNeutralLevel, 1, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, nullptr, 0,
                                   kVersionMadeByDos, 0, 0) == ZIP_OK;
}

bool CArchiveBuilder::WriteData(const uint8_t* data, size_t size)
{
    while (size > 0) {
        const size_t piece = std::min(size, kLargestWrite);
        if (zipWriteInFileInZip(m_zip, data, static_cast<unsigned>(piece)) != ZIP_OK) return false;
        data += piece;
        size -= piece;
    }
    return true;
}

bool CArchiveBuilder::CloseEntry(uint64_t size, uint32_t crc)
{
    return zipCloseFileInZipRaw64(m_zip, size, crc) == ZIP_OK;
}

PackOutcome CArchiveBuilder::AddFolder(const PackEntry& entry)
{
    if (!OpenEntry(entry, 0) || !CloseEntry(0, 0)) return WriteFailure();
    return PackOutcome::Done();
}

PackOutcome CArchiveBuilder::AddFile(const CProductFolder& folder, const PackEntry& entry)
{
    tn::UniqueFile file;
    const PackOutcome opened = folder.OpenFile(entry, &file);
    if (!opened.ok()) return opened;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size)) return ReadFailure(entry);
    if (static_cast<uint64_t>(size.QuadPart) != entry.size) return ChangedFailure(entry);

    bool pays = false;
    uint32_t crc = 0;
    const PackOutcome compressed = Compress(file.get(), entry, &pays, &crc);
    if (!compressed.ok()) return compressed;
    if (!pays) return WriteStored(file.get(), entry, crc);

    if (!OpenEntry(entry, Z_DEFLATED) || !WriteData(m_compressed.data(), m_deflate.total_out) ||
        !CloseEntry(entry.size, crc)) {
        return WriteFailure();
    }
    return PackOutcome::Done();
}

// Reads the whole file once: its CRC-32, and its deflated form as long as
// that stays smaller than the file.
PackOutcome CArchiveBuilder::Compress(HANDLE file, const PackEntry& entry, bool* pays, uint32_t* crc)
{
    *crc = static_cast<uint32_t>(crc32(0, Z_NULL, 0));
    *pays = false;
    m_chunkFill = 0;
    if (entry.size == 0) return AtEnd(file) ? PackOutcome::Done() : ChangedFailure(entry);
    // Deflating pays only when the result is at least a byte shorter.
    const uint64_t limit = entry.size - 1;
    bool fits = limit > 0;
    try {
        if (m_chunk.size() < kChunkSize) m_chunk.resize(kChunkSize);
        if (fits && m_compressed.size() < std::min<uint64_t>(limit, kChunkSize)) {
            m_compressed.resize(static_cast<size_t>(std::min<uint64_t>(limit, kChunkSize)));
        }
    } catch (const std::bad_alloc&) {
        return PackOutcome::Fail(L"not enough memory to compress " + Shown(entry));
    }
    (void)deflateReset(&m_deflate);
    m_deflate.next_out = m_compressed.data();
    m_deflate.avail_out = static_cast<uInt>(std::min<uint64_t>(limit, m_compressed.size()));

    // More room for the deflated data, up to the limit; false when it would pass it.
    const auto grow = [&]() -> bool {
        const uint64_t used = m_deflate.total_out;
        if (used >= limit) return false;
        const uint64_t wanted = std::min<uint64_t>(limit, std::max<uint64_t>(m_compressed.size() * 2, kChunkSize));
        try {
            if (m_compressed.size() < wanted) m_compressed.resize(static_cast<size_t>(wanted));
        } catch (const std::exception&) {
            return false;  // a file that large is stored rather than not packed
        }
        m_deflate.next_out = m_compressed.data() + used;
        m_deflate.avail_out = static_cast<uInt>(std::min<uint64_t>(wanted - used, UINT32_MAX));
        return true;
    };

    uint64_t remaining = entry.size;
    while (remaining > 0) {
        size_t got = 0;
        if (!ReadSome(file, m_chunk.data(), static_cast<size_t>(std::min<uint64_t>(remaining, kChunkSize)), &got)) {
            return ReadFailure(entry);
        }
        if (got == 0) return ChangedFailure(entry);
        m_chunkFill = got;
        remaining -= got;
        *crc = static_cast<uint32_t>(crc32(*crc, m_chunk.data(), static_cast<uInt>(got)));
        if (!fits) continue;
        m_deflate.next_in = m_chunk.data();
        m_deflate.avail_in = static_cast<uInt>(got);
        const int flush = remaining == 0 ? Z_FINISH : Z_NO_FLUSH;
        for (;;) {
            const int status = deflate(&m_deflate, flush);
            if (status == Z_STREAM_END) {
                *pays = true;
                break;
            }
            if (status != Z_OK && status != Z_BUF_ERROR) return PackOutcome::Fail(L"cannot compress " + Shown(entry));
            if (flush == Z_NO_FLUSH && m_deflate.avail_in == 0) break;  // what is pending comes with the next piece
            // Short of the end, deflate stops only for want of room.
            if (m_deflate.avail_out != 0) return PackOutcome::Fail(L"cannot compress " + Shown(entry));
            if (!grow()) {
                fits = false;
                break;
            }
        }
    }
    if (!AtEnd(file)) return ChangedFailure(entry);
    return PackOutcome::Done();
}

// The file as it is: from the last read when that held all of it, else read again.
PackOutcome CArchiveBuilder::WriteStored(HANDLE file, const PackEntry& entry, uint32_t expectedCrc)
{
    if (!OpenEntry(entry, 0)) return WriteFailure();
    if (entry.size == m_chunkFill) {
        if (!WriteData(m_chunk.data(), m_chunkFill) || !CloseEntry(entry.size, expectedCrc)) return WriteFailure();
        return PackOutcome::Done();
    }
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return ReadFailure(entry);
    uint32_t crc = static_cast<uint32_t>(crc32(0, Z_NULL, 0));
    uint64_t remaining = entry.size;
    while (remaining > 0) {
        size_t got = 0;
        if (!ReadSome(file, m_chunk.data(), static_cast<size_t>(std::min<uint64_t>(remaining, kChunkSize)), &got)) {
            return ReadFailure(entry);
        }
        if (got == 0) return ChangedFailure(entry);
        remaining -= got;
        crc = static_cast<uint32_t>(crc32(crc, m_chunk.data(), static_cast<uInt>(got)));
        if (!WriteData(m_chunk.data(), got)) return WriteFailure();
    }
    if (crc != expectedCrc || !AtEnd(file)) return ChangedFailure(entry);
    if (!CloseEntry(entry.size, crc)) return WriteFailure();
    return PackOutcome::Done();
}
