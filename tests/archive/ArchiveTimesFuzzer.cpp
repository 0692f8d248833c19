// The extra-field walk on arbitrary bytes: the field is copied to a buffer
// of exactly its size, so any read past it is caught by the sanitizers, and
// each time is either left alone or one of the field's own 32-bit values.
#include "engine/ArchiveTimes.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4) return 0;
    uint32_t dosDateTime;
    std::memcpy(&dosDateTime, data, 4);
    const size_t length = size - 4;
    std::unique_ptr<uint8_t[]> extra(new uint8_t[length > 0 ? length : 1]);
    if (length > 0) std::memcpy(extra.get(), data + 4, length);

    const ItemTimes times = DeriveItemTimes(dosDateTime, extra.get(), length, CivilTimeToFileTime);
    uint64_t dos = 0;
    if (!CivilTimeToFileTime(DecodeDosDateTime(dosDateTime), &dos)) dos = 0;
    for (uint64_t value : {times.modification, times.access, times.creation}) {
        if (value == dos) continue;
        // Not the DOS time: it must be a Unix time from the field.
        const int64_t seconds = static_cast<int64_t>(value / 10000000) - 11644473600ll;
        if (value % 10000000 != 0 || seconds < INT32_MIN || seconds > INT32_MAX) std::abort();
    }
    return 0;
}
