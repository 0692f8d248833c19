#pragma once
// A small ZIP writer for the archive tests: every field the reader looks at
// can be set, and the local header can be made to disagree with the central
// record, so each fixture is built by the test that needs it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

constexpr uint16_t kHostDos = 0x0014;   // version made by: MS-DOS, ZIP 2.0
constexpr uint16_t kHostUnix = 0x0314;  // version made by: Unix, ZIP 2.0

struct TestZipEntry {
    std::string name;  // stored bytes, in whatever code page the test wants
    std::string data;  // uncompressed content
    uint16_t method = 0;
    uint16_t versionMadeBy = kHostDos;
    uint32_t externalAttributes = 0x20;
    uint32_t dosDateTime = 0x52A45A2D;  // 2021-05-04 11:17:26
    uint16_t flags = 0;
    std::string localExtra;
    std::string centralExtra;

    // Faults. Overrides apply to one header only unless said otherwise.
    std::optional<uint32_t> crc;  // both headers
    std::optional<uint32_t> localSignature;
    std::optional<uint16_t> localMethod;
    std::optional<uint32_t> localCrc;
    std::optional<uint32_t> localCompressedSize;
    std::optional<uint32_t> localUncompressedSize;
    std::optional<uint16_t> localNameLength;
    std::optional<uint16_t> localExtraLength;   // the length field only; the bytes stay as given
    std::optional<uint32_t> centralUncompressedSize;
    std::optional<std::string> compressedData;  // replaces the member's stored bytes
    bool localRecordAfterEnd = false;           // placed after the end record, so it can run off the archive
    bool brokenCentralSignature = false;
};

struct TestZipOptions {
    std::optional<uint16_t> diskEntryCount;  // the end record's two counts, to make them disagree
    std::optional<uint16_t> totalEntryCount;
};

std::string BuildTestZip(const std::vector<TestZipEntry>& entries, const TestZipOptions& options = {});

// Raw deflate of data, as a member stores it.
std::string Deflate(const std::string& data);
uint32_t Crc32(const std::string& data);

uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second);

// Extra-field blocks.
std::string ExtraBlock(uint16_t id, const std::string& data);
std::string ExtendedTimestampBlock(uint8_t flags, const std::vector<int32_t>& times);
std::string NtfsTimesBlock(uint64_t modification, uint64_t access, uint64_t creation);

// Folder entry: stored, size 0, folder attribute.
TestZipEntry FolderEntry(const std::string& name);
TestZipEntry FileEntry(const std::string& name, const std::string& data, uint16_t method = 0);
