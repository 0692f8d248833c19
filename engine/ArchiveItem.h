#pragma once
// The archive reader's entry record and result codes, shared with the worker.
// Platform-free: the worker and the tools read these on every tree.

#include <cstdint>

enum ArchiveResult : uint32_t {
    ArcOk = 0x00000000,
    ArcNoFile = 0x00000200,         // the archive cannot be opened, or an output file cannot be created
    ArcWriteFailed = 0x00000400,    // writing an output file failed
    ArcCorrupt = 0x00000700,        // a local header disagrees with the central directory, or a CRC-32 mismatch
    ArcReadFailed = 0x00000800,     // a local extra field is shorter than its header says
    ArcBadPassword = 0x00001000,    // an encrypted entry: the installer has no password
    ArcBadArgument = 0x00010000,    // index out of range, or a name that would leave the base folder
    ArcInflateFailed = 0x05000000,  // member data unreadable, or nothing came (every empty member)
};

// Fields in this order; the count request (index -1) puts the number of
// entries into index and leaves everything else zero.
struct ArchiveItem {
    int32_t index;
    wchar_t name[260];
    uint32_t attributes;        // Windows file attribute flags
    uint64_t accessTime;        // FILETIME values: 100 ns units since 1601-01-01 UTC
    uint64_t creationTime;
    uint64_t modificationTime;
    int32_t compressedSize;
    int32_t uncompressedSize;
};
