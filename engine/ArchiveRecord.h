#pragma once
// An entry's record from what the archive stores: the central directory's
// fields, the stored name's bytes and the local extra field. Platform-free:
// the name's decoding and the local-to-UTC step are passed in, so the record
// the installer reads is the one the fuzz target derives.

#include "engine/ArchiveItem.h"
#include "engine/ArchiveTimes.h"

#include <cstddef>
#include <cstdint>

// The central directory's fields the record is made from.
struct CentralEntryFields {
    uint32_t versionMadeBy;       // host system in the high byte
    uint32_t flags;               // general-purpose bits
    uint32_t externalAttributes;
    uint32_t dosDateTime;
    uint64_t compressedSize;
    uint64_t uncompressedSize;
    uint64_t nameLength;          // as stored, which may be more than the record can hold
};

constexpr uint32_t kUtf8NameFlag = 0x0800;  // general-purpose bit 11
constexpr size_t kStoredNameLimit = 259;     // bytes of a stored name the record can hold

// Decodes length bytes of a stored name, as UTF-8 or in the system's ANSI
// code page, into at most capacity units of out. Returns the number of units,
// 0 when the bytes cannot be decoded that way.
using StoredNameDecoder = size_t (*)(const char* bytes, size_t length, bool utf8, wchar_t* out, size_t capacity);

struct RecordConversions {
    StoredNameDecoder decodeName;
    LocalToUtcConversion localToUtc;
};

// Fills record for entry index. storedName holds the first storedLength
// bytes of the name (at most kStoredNameLimit are looked at). Returns ArcOk
// when the name can be written as stored; otherwise what every extraction of
// the entry must give, the record still filled: ArcNoFile for a name no
// target path could hold or that cannot be decoded, ArcBadArgument for a
// name with a NUL byte inside.
ArchiveResult DeriveItemRecord(int32_t index, const CentralEntryFields& fields, const char* storedName,
                               size_t storedLength, const uint8_t* extra, size_t extraLength,
                               const RecordConversions& conversions, ArchiveItem* record);
