#include "engine/ArchiveRecord.h"

#include "engine/ArchiveAttributes.h"
#include "engine/ArchiveNames.h"

#include <cstring>
#include <string_view>

namespace {

// The name in UTF-16 when the entry says UTF-8 and the bytes are UTF-8;
// otherwise in the ANSI code page, as every name was read before writers
// began to flag theirs. 0 when neither decodes.
size_t DecodeName(const CentralEntryFields& fields, const char* bytes, size_t length, StoredNameDecoder decode,
                  wchar_t* out, size_t capacity)
{
    size_t decoded = 0;
    if ((fields.flags & kUtf8NameFlag) != 0) decoded = decode(bytes, length, true, out, capacity);
    if (decoded == 0) decoded = decode(bytes, length, false, out, capacity);
    return decoded <= capacity ? decoded : 0;
}

}  // namespace

ArchiveResult DeriveItemRecord(int32_t index, const CentralEntryFields& fields, const char* storedName,
                               size_t storedLength, const uint8_t* extra, size_t extraLength,
                               const RecordConversions& conversions, ArchiveItem* record)
{
    size_t length = storedLength < kStoredNameLimit ? storedLength : kStoredNameLimit;
    if (fields.nameLength < length) length = static_cast<size_t>(fields.nameLength);

    ArchiveResult nameProblem = ArcOk;
    if (fields.nameLength > kStoredNameLimit) nameProblem = ArcNoFile;  // no target path could hold it
    else if (length > 0 && std::memchr(storedName, '\0', length) != nullptr) nameProblem = ArcBadArgument;

    wchar_t decoded[kStoredNameLimit + 1];
    size_t decodedLength = 0;
    if (length > 0) {
        decodedLength = DecodeName(fields, storedName, length, conversions.decodeName, decoded, kStoredNameLimit);
        if (decodedLength == 0) nameProblem = ArcNoFile;
    }
    const std::wstring_view name = SanitiseItemName(std::wstring_view(decoded, decodedLength));

    std::memset(record, 0, sizeof(*record));
    record->index = index;
    name.copy(record->name, name.size());
    record->name[name.size()] = L'\0';
    record->attributes = DeriveAttributes(fields.versionMadeBy, fields.externalAttributes);
    // Many writers mark a folder only by the separator that ends its name:
    // the name as the record shows it, up to a NUL that a name too long to
    // be checked for one may hold.
    const std::wstring_view shown = name.substr(0, name.find(L'\0'));
    if (!shown.empty() && IsNameSeparator(shown.back())) record->attributes |= ArchiveAttribute::Folder;
    const ItemTimes times = DeriveItemTimes(fields.dosDateTime, extra, extraLength, conversions.localToUtc);
    record->modificationTime = times.modification;
    record->accessTime = times.access;
    record->creationTime = times.creation;
    record->compressedSize = static_cast<int32_t>(fields.compressedSize);
    record->uncompressedSize = static_cast<int32_t>(fields.uncompressedSize);
    return nameProblem;
}
