#pragma once
// The walk over an image's resource directories: type, name and language,
// three levels deep. Each directory is visited once however many entries
// name it, so the walk's steps stay linear in the section's size even when
// a hostile image points many entries at one sub-directory (an exhaustive
// walk would take steps in the cube of the entries) or at a directory above
// them. Platform-free.

#include "tools/tn-pack/PeImage.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

struct ResourceWalk {
    size_t directories = 0;  // distinct directories visited
    size_t entriesRead = 0;  // the walk's steps
    // An entry led to a directory reached before: a sub-directory shared
    // by several entries, or a cycle. A linker never writes either.
    bool sharesDirectories = false;
};

// Calls visit with the file offset of each directory, once each, level by
// level from the root; a directory is first reached at its shallowest level.
ResourceWalk WalkResourceTree(const uint8_t* data, const ResourceSection& section,
                              const std::function<void(size_t directory)>& visit);

// The walk over an image's whole tree without a visitor; nullopt when data
// is no PE image with a resource section.
std::optional<ResourceWalk> WalkImageResources(const uint8_t* data, size_t size);
