// The header fix-up on arbitrary bytes, and the stub's checks before it
// (the resource tree's walk, the certificate table found and cleared): a
// stub or an updated copy that is no well-formed program must be left
// alone, never read or written past, and every walk must end.
#include "tools/tn-pack/ReproducibleImage.h"
#include "tools/tn-pack/ResourceTree.h"
#include "tools/tn-pack/StubSignature.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> image(data, data + size);
    (void)WalkImageResources(image.data(), image.size());
    (void)FindStubSignature(image.data(), image.size());
    if (const std::optional<size_t> cut = ClearStubSignature(image.data(), image.size())) image.resize(*cut);
    const std::optional<ImageStamps> stamps = ReadImageStamps(image.data(), image.size());
    (void)ApplyImageStamps(image.data(), image.size(), stamps.value_or(ImageStamps{1, 2, true}));
    return 0;
}
