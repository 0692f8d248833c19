#pragma once
// What the resource update may leave varying or stale in a program's
// headers, set from the stub: the file header's time stamp, the time stamps
// of the resource directories, and the checksum, recomputed over the new
// bytes when the stub carries one (the update itself leaves the stub's
// value, which no longer matches). Platform-free.

#include "tools/tn-pack/ResourceTree.h"

#include <cstddef>
#include <cstdint>
#include <optional>

struct ImageStamps {
    uint32_t timeDateStamp = 0;
    uint32_t resourceTimeDateStamp = 0;  // of the root resource directory
    bool hasChecksum = false;
};

// nullopt when data is not a PE image with a resource section.
std::optional<ImageStamps> ReadImageStamps(const uint8_t* data, size_t size);

// Writes stamps into the image; false when it is not a PE image with a
// resource section (nothing is changed then). walk, when given, tells what
// the stamping walk over the resource directories took.
bool ApplyImageStamps(uint8_t* data, size_t size, const ImageStamps& stamps, ResourceWalk* walk = nullptr);

// The PE checksum: 16-bit one's-complement sum of the file with the
// checksum field taken as 0, plus the file's length.
uint32_t ComputeImageChecksum(const uint8_t* data, size_t size, size_t checksumOffset);

