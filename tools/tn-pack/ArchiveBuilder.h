#pragma once
// Writes the product's entries into a ZIP archive in memory with zlib's own
// writer (minizip's zip.c), the way the installer's reader takes them:
// names in the ANSI code page, host MS-DOS, general-purpose flags 0, DOS
// attributes, the DOS date and time and a "UT" block with the modification
// time; each file deflated, or stored when deflating does not make it
// smaller (empty files always stored).

#include "tools/tn-pack/ArchiveSink.h"
#include "tools/tn-pack/PackEntry.h"
#include "tools/tn-pack/PackOutcome.h"

#include <windows.h>

#include <minizip/zip.h>
#include <zlib.h>

#include <cstdint>
#include <vector>

class CProductFolder;

class CArchiveBuilder {
public:
    // Info-ZIP's and zlib's default level.
    static constexpr int kCompressionLevel = 6;

    CArchiveBuilder();
    ~CArchiveBuilder();
    CArchiveBuilder(const CArchiveBuilder&) = delete;
    CArchiveBuilder& operator=(const CArchiveBuilder&) = delete;

    // Refused when the archive would need the 64-bit extension or a file
    // lies outside the folder; failed when a file cannot be read or changes
    // while it is read, or memory runs out.
    PackOutcome Build(const CProductFolder& folder, const std::vector<PackEntry>& entries);

    const std::vector<uint8_t>& bytes() const { return m_sink.bytes(); }

private:
    PackOutcome AddFolder(const PackEntry& entry);
    PackOutcome AddFile(const CProductFolder& folder, const PackEntry& entry);
    PackOutcome Compress(HANDLE file, const PackEntry& entry, bool* pays, uint32_t* crc);
    PackOutcome WriteStored(HANDLE file, const PackEntry& entry, uint32_t expectedCrc);
    bool OpenEntry(const PackEntry& entry, int method);
    bool WriteData(const uint8_t* data, size_t size);
    bool CloseEntry(uint64_t size, uint32_t crc);
    PackOutcome WriteFailure() const;

    ArchiveSink m_sink;
    zipFile m_zip = nullptr;
    z_stream m_deflate{};
    bool m_deflateReady = false;
    std::vector<uint8_t> m_chunk;       // the file's bytes as read
    size_t m_chunkFill = 0;             // bytes of the last read in m_chunk
    std::vector<uint8_t> m_compressed;  // the deflated file, never as large as the file
};
