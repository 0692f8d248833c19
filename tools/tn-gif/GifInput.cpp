#include "tools/tn-gif/GifInput.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

constexpr size_t kReadPiece = 1024 * 1024;

}  // namespace

GifInputResult ReadGifInput(const std::string& path, size_t limit, std::vector<uint8_t>* data)
{
    data->clear();
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return GifInputResult::CannotRead;
    std::ifstream file(path, std::ios::binary);
    if (!file) return GifInputResult::CannotRead;
    std::vector<char> piece(kReadPiece);
    for (;;) {
        file.read(piece.data(), static_cast<std::streamsize>(piece.size()));
        const size_t got = static_cast<size_t>(file.gcount());
        if (got > limit - data->size()) return GifInputResult::TooLarge;
        const size_t filled = data->size();
        if (filled + got > data->capacity()) {
            // Doubling as a vector would, but never past the limit.
            data->reserve(std::min(limit, std::max(data->capacity() * 2, filled + got)));
        }
        if (got > 0) {
            data->resize(filled + got);
            std::memcpy(data->data() + filled, piece.data(), got);
        }
        if (file.bad()) return GifInputResult::CannotRead;
        if (got < piece.size()) return GifInputResult::Read;
    }
}
