// The header fix-up on arbitrary bytes: a stub or an updated copy that is
// no well-formed program must be left alone, never read or written past.
#include "tools/tn-pack/ReproducibleImage.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> image(data, data + size);
    const std::optional<ImageStamps> stamps = ReadImageStamps(image.data(), image.size());
    (void)ApplyImageStamps(image.data(), image.size(), stamps.value_or(ImageStamps{1, 2, true}));
    return 0;
}
