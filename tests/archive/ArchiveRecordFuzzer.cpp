// Arbitrary bytes opened as the installer opens its archive (minizip over
// the memory source), every entry's record derived and its member read into
// memory; nothing is written. Checks what every record must satisfy, and
// that stepping back to an entry gives the record it gave before.
#include "engine/ArchiveAttributes.h"
#include "engine/ArchiveEntryReader.h"
#include "engine/ArchiveNames.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string_view>

namespace {

constexpr int kEntryLimit = 512;                 // inputs are small; a count beyond this only costs time
constexpr size_t kMemberBytesLimit = 1 << 20;    // per input: a small member may claim gigabytes
constexpr uint32_t kKnownAttributes = 0x37;

void Check(bool condition)
{
    if (!condition) std::abort();
}

void Put(wchar_t* out, size_t capacity, size_t* count, uint32_t unit, bool* fits)
{
    if (*count >= capacity) *fits = false;
    else out[(*count)++] = static_cast<wchar_t>(unit);
}

// Strict UTF-8 to UTF-16 units, as the system's decoder refuses what is not
// UTF-8: overlong forms, surrogates, values past U+10FFFF, cut sequences.
size_t DecodeUtf8(const uint8_t* bytes, size_t length, wchar_t* out, size_t capacity)
{
    size_t count = 0;
    bool fits = true;
    for (size_t i = 0; i < length;) {
        const uint8_t lead = bytes[i];
        const size_t size = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
        if (size == 0 || i + size > length) return 0;
        uint32_t code = size == 1 ? lead : lead & (0x7F >> size);
        for (size_t k = 1; k < size; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80) return 0;
            code = (code << 6) | (bytes[i + k] & 0x3F);
        }
        static const uint32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[size] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
        if (code >= 0x10000) {
            Put(out, capacity, &count, 0xD800 + ((code - 0x10000) >> 10), &fits);
            Put(out, capacity, &count, 0xDC00 + ((code - 0x10000) & 0x3FF), &fits);
        } else {
            Put(out, capacity, &count, code, &fits);
        }
        i += size;
    }
    return fits ? count : 0;
}

// Shaped like code page 936: a lead byte and the byte after it make one
// unit; a lead byte at the end becomes one unit of its own.
size_t DecodeDoubleByte(const uint8_t* bytes, size_t length, wchar_t* out, size_t capacity)
{
    size_t count = 0;
    bool fits = true;
    for (size_t i = 0; i < length; ++i) {
        if (bytes[i] >= 0x81 && bytes[i] <= 0xFE && i + 1 < length) {
            Put(out, capacity, &count, 0x4E00u + ((bytes[i] << 8) | bytes[i + 1]) % 0x5000u, &fits);
            ++i;
        } else {
            Put(out, capacity, &count, bytes[i] < 0x80 ? bytes[i] : 0x3F, &fits);
        }
    }
    return fits ? count : 0;
}

size_t DecodeName(const char* bytes, size_t length, bool utf8, wchar_t* out, size_t capacity)
{
    const auto* data = reinterpret_cast<const uint8_t*>(bytes);
    return utf8 ? DecodeUtf8(data, length, out, capacity) : DecodeDoubleByte(data, length, out, capacity);
}

bool LocalIsUtc(const CivilTime& local, uint64_t* utc) { return CivilTimeToFileTime(local, utc); }

constexpr RecordConversions kConversions{DecodeName, LocalIsUtc};

void CheckRecord(int index, const EntryRecord& entry)
{
    const ArchiveItem& record = entry.record;
    Check(record.index == index);
    const size_t length = std::wcslen(record.name);  // terminated inside the field, or ASan tells
    Check(length < sizeof(record.name) / sizeof(record.name[0]));
    const std::wstring_view name(record.name, length);
    Check(SanitiseItemName(name) == name);
    Check(!IsAbsoluteItemName(name));
    Check((record.attributes & ~kKnownAttributes) == 0);
    Check(entry.nameProblem == ArcOk || entry.nameProblem == ArcNoFile || entry.nameProblem == ArcBadArgument);
    // A name with a NUL inside shows only its start, and is never extracted.
    if (entry.nameProblem != ArcBadArgument && !name.empty() && IsNameSeparator(name.back())) {
        Check((record.attributes & ArchiveAttribute::Folder) != 0);
    }
    Check(record.uncompressedSize == static_cast<int32_t>(entry.uncompressedSize));
}

bool SameRecord(const ArchiveItem& a, const ArchiveItem& b)
{
    return a.index == b.index && std::wcscmp(a.name, b.name) == 0 && a.attributes == b.attributes &&
           a.accessTime == b.accessTime && a.creationTime == b.creationTime &&
           a.modificationTime == b.modificationTime && a.compressedSize == b.compressedSize &&
           a.uncompressedSize == b.uncompressedSize;
}

// The member's data into memory, as the extractor reads it, up to the budget.
void ReadMember(ArchiveEntryReader* reader, uint64_t size, size_t* budget)
{
    if (!reader->OpenMember()) return;
    static uint8_t buffer[16384];
    uint64_t remaining = size;
    while (remaining > 0 && *budget > 0) {
        const size_t ask = remaining < sizeof(buffer) ? static_cast<size_t>(remaining) : sizeof(buffer);
        const int received = reader->ReadMember(buffer, static_cast<unsigned>(ask < *budget ? ask : *budget));
        if (received <= 0) break;
        Check(static_cast<size_t>(received) <= ask);
        remaining -= static_cast<uint64_t>(received);
        *budget -= *budget < static_cast<size_t>(received) ? *budget : static_cast<size_t>(received);
    }
    (void)reader->CloseMember();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ArchiveEntryReader reader(data, size);
    if (!reader.Open()) return 0;
    Check(reader.count() >= 0);
    const int walked = reader.count() < kEntryLimit ? reader.count() : kEntryLimit;

    EntryRecord first{};
    bool firstRead = false;
    size_t budget = kMemberBytesLimit;
    for (int index = 0; index < walked; ++index) {
        EntryRecord entry;
        std::memset(&entry, 0xAB, sizeof(entry));
        const ArchiveResult result = reader.ReadEntry(index, kConversions, &entry);
        Check(result == ArcOk || result == ArcCorrupt || result == ArcReadFailed);
        if (result != ArcOk) continue;
        CheckRecord(index, entry);
        if (index == 0) {
            first = entry;
            firstRead = true;
        }
        ReadMember(&reader, entry.uncompressedSize, &budget);
    }
    // Back to the first entry: the same record as on the way forward.
    if (firstRead) {
        EntryRecord again;
        Check(reader.ReadEntry(0, kConversions, &again) == ArcOk);
        Check(SameRecord(again.record, first.record));
        Check(again.nameProblem == first.nameProblem && again.flags == first.flags);
    }
    Check(reader.ReadEntry(reader.count(), kConversions, &first) == ArcBadArgument);
    return 0;
}
