#include "tests/archive/TestZip.h"

#include <zlib.h>

#include <stdexcept>

namespace {

void Put16(std::string* out, uint32_t value)
{
    out->push_back(static_cast<char>(value & 0xFF));
    out->push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string* out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void Put64(std::string* out, uint64_t value)
{
    Put32(out, static_cast<uint32_t>(value & 0xFFFFFFFFu));
    Put32(out, static_cast<uint32_t>(value >> 32));
}

std::string LocalRecord(const TestZipEntry& entry, const std::string& stored, uint32_t crc)
{
    std::string out;
    Put32(&out, entry.localSignature.value_or(0x04034b50));
    Put16(&out, 20);
    Put16(&out, entry.flags);
    Put16(&out, entry.localMethod.value_or(entry.method));
    Put32(&out, entry.dosDateTime);
    Put32(&out, entry.localCrc.value_or(crc));
    Put32(&out, entry.localCompressedSize.value_or(static_cast<uint32_t>(stored.size())));
    Put32(&out, entry.localUncompressedSize.value_or(static_cast<uint32_t>(entry.data.size())));
    Put16(&out, entry.localNameLength.value_or(static_cast<uint16_t>(entry.name.size())));
    Put16(&out, entry.localExtraLength.value_or(static_cast<uint16_t>(entry.localExtra.size())));
    out += entry.name;
    out += entry.localExtra;
    out += stored;
    return out;
}

}  // namespace

std::string Deflate(const std::string& data)
{
    z_stream stream{};
    if (deflateInit2(&stream, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())) + 16, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    deflateEnd(&stream);
    if (result != Z_STREAM_END) throw std::runtime_error("deflate");
    out.resize(stream.total_out);
    return out;
}

uint32_t Crc32(const std::string& data)
{
    return static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second)
{
    const uint32_t date = static_cast<uint32_t>(((year - 1980) << 9) | (month << 5) | day);
    const uint32_t time = static_cast<uint32_t>((hour << 11) | (minute << 5) | (second / 2));
    return (date << 16) | time;
}

std::string ExtraBlock(uint16_t id, const std::string& data)
{
    std::string out;
    Put16(&out, id);
    Put16(&out, static_cast<uint32_t>(data.size()));
    return out + data;
}

std::string ExtendedTimestampBlock(uint8_t flags, const std::vector<int32_t>& times)
{
    std::string data(1, static_cast<char>(flags));
    for (int32_t t : times) Put32(&data, static_cast<uint32_t>(t));
    return ExtraBlock(0x5455, data);
}

std::string NtfsTimesBlock(uint64_t modification, uint64_t access, uint64_t creation)
{
    std::string data;
    Put32(&data, 0);  // reserved
    Put16(&data, 1);  // tag 1: the three times
    Put16(&data, 24);
    Put64(&data, modification);
    Put64(&data, access);
    Put64(&data, creation);
    return ExtraBlock(0x000A, data);
}

TestZipEntry FolderEntry(const std::string& name)
{
    TestZipEntry entry;
    entry.name = name;
    entry.externalAttributes = 0x10;
    return entry;
}

TestZipEntry FileEntry(const std::string& name, const std::string& data, uint16_t method)
{
    TestZipEntry entry;
    entry.name = name;
    entry.data = data;
    entry.method = method;
    return entry;
}

std::string BuildTestZip(const std::vector<TestZipEntry>& entries, const TestZipOptions& options)
{
    std::string body;
    std::string central;
    std::vector<size_t> trailingEntries;
    std::vector<uint32_t> offsets(entries.size());
    std::vector<std::string> storedData(entries.size());
    std::vector<uint32_t> crcs(entries.size());

    for (size_t i = 0; i < entries.size(); ++i) {
        const TestZipEntry& entry = entries[i];
        storedData[i] = entry.compressedData ? *entry.compressedData
                        : entry.method == 8  ? Deflate(entry.data)
                                             : entry.data;
        crcs[i] = entry.crc.value_or(Crc32(entry.data));
        if (entry.localRecordAfterEnd) {
            trailingEntries.push_back(i);
            continue;
        }
        offsets[i] = static_cast<uint32_t>(body.size());
        body += LocalRecord(entry, storedData[i], crcs[i]);
    }

    const uint32_t centralOffset = static_cast<uint32_t>(body.size());
    // Records after the end record start after the central directory and
    // the 22-byte end record; the second pass writes their offsets.
    std::string after;
    for (size_t pass = 0; pass < 2; ++pass) {
        central.clear();
        for (size_t i = 0; i < entries.size(); ++i) {
            const TestZipEntry& entry = entries[i];
            Put32(&central, entry.brokenCentralSignature ? 0x02014b51u : 0x02014b50u);
            Put16(&central, entry.versionMadeBy);
            Put16(&central, 20);
            Put16(&central, entry.flags);
            Put16(&central, entry.method);
            Put32(&central, entry.dosDateTime);
            Put32(&central, crcs[i]);
            Put32(&central, static_cast<uint32_t>(storedData[i].size()));
            Put32(&central, entry.centralUncompressedSize.value_or(static_cast<uint32_t>(entry.data.size())));
            Put16(&central, static_cast<uint32_t>(entry.name.size()));
            Put16(&central, static_cast<uint32_t>(entry.centralExtra.size()));
            Put16(&central, 0);  // comment
            Put16(&central, 0);  // disk
            Put16(&central, 0);  // internal attributes
            Put32(&central, entry.externalAttributes);
            Put32(&central, offsets[i]);
            central += entry.name;
            central += entry.centralExtra;
        }
        uint32_t position = centralOffset + static_cast<uint32_t>(central.size()) + 22;
        after.clear();
        for (size_t i : trailingEntries) {
            offsets[i] = position + static_cast<uint32_t>(after.size());
            after += LocalRecord(entries[i], storedData[i], crcs[i]);
        }
    }

    std::string end;
    Put32(&end, 0x06054b50);
    Put16(&end, 0);
    Put16(&end, 0);
    Put16(&end, options.diskEntryCount.value_or(static_cast<uint16_t>(entries.size())));
    Put16(&end, options.totalEntryCount.value_or(static_cast<uint16_t>(entries.size())));
    Put32(&end, static_cast<uint32_t>(central.size()));
    Put32(&end, centralOffset);
    Put16(&end, 0);
    return body + central + end + after;
}
