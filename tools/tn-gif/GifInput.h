#pragma once
// The file tn-gif reads, whole, but never past a limit: the input may be a
// pipe or a device that never ends, so the limit is checked while reading,
// and no buffer is ever made larger than it. Platform-free.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A banner is carried in the installer's resources and loaded whole by a
// 32-bit program; the shipped one is 127 KiB. This is far above any banner
// and still leaves such a program room for the file and a frame cut from it.
constexpr size_t kMaxGifInputBytes = 256u * 1024 * 1024;

enum class GifInputResult {
    Read,
    CannotRead,  // absent, a folder, or a read error
    TooLarge,    // more than the limit: reading stopped there, nothing past it kept
};

GifInputResult ReadGifInput(const std::string& path, size_t limit, std::vector<uint8_t>* data);
