#include "engine/ArchiveEndRecord.h"

#include <cstdint>

namespace {

constexpr size_t kEndRecordSize = 22;

uint32_t Little(const unsigned char* bytes, int count)
{
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

}  // namespace

bool IsArchiveWithoutEntries(const void* data, size_t size)
{
    if (data == nullptr || size < kEndRecordSize) return false;
    const auto* record = static_cast<const unsigned char*>(data);
    return Little(record, 4) == 0x06054B50 &&  // "PK\5\6"
           Little(record + 4, 2) == 0 &&       // this disk
           Little(record + 6, 2) == 0 &&       // disk of the central directory
           Little(record + 8, 2) == 0 &&       // entries on this disk
           Little(record + 10, 2) == 0 &&      // entries in all
           Little(record + 12, 4) == 0 &&      // central directory size
           Little(record + 16, 4) == 0 &&      // and offset
           Little(record + 20, 2) == size - kEndRecordSize;  // nothing but the comment follows
}
