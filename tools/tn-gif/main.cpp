// tn-gif: the banner control's GIF walk as a console tool. Prints what the
// control would find in a file (canvas, colour table, frame count, and each
// frame it would cut) and can write the cut one-frame GIFs out.
//
//   tn-gif FILE [--out DIR]

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "controls/GifSplitter.h"
#include "tools/tn-gif/GifInput.h"

namespace {

int Usage()
{
    std::fputs("usage: tn-gif FILE [--out DIR]\n", stderr);
    return 2;
}

int Fail(const std::string& message)
{
    std::fprintf(stderr, "tn-gif: %s\n", message.c_str());
    return 2;
}

// A full path before any use, as every tool makes it (on Windows through
// GetFullPathNameW); unchanged when the system cannot make it full.
std::string FullPath(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    return error ? path : full.string();
}

bool WriteWhole(const std::filesystem::path& path, const std::vector<uint8_t>& data)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(file.flush());
}

}  // namespace

int main(int argc, char** argv)
{
    std::string input;
    std::string outputFolder;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--out" && i + 1 < argc && outputFolder.empty()) {
            outputFolder = argv[++i];
            if (outputFolder.empty()) return Usage();
        } else if (argument.empty() || argument[0] == '-' || !input.empty()) {
            return Usage();
        } else {
            input = argument;
        }
    }
    if (input.empty()) return Usage();
    input = FullPath(input);
    if (!outputFolder.empty()) outputFolder = FullPath(outputFolder);

    std::vector<uint8_t> data;
    static_assert(kMaxGifInputBytes <= UINT32_MAX, "the walk takes a 32-bit size");
    switch (ReadGifInput(input, kMaxGifInputBytes, &data)) {
    case GifInputResult::Read:
        break;
    case GifInputResult::CannotRead:
        return Fail("cannot read " + input);
    case GifInputResult::TooLarge:
        return Fail(input + " holds more than " + std::to_string(kMaxGifInputBytes) + " bytes, more than any banner");
    }
    if (!outputFolder.empty()) {
        std::error_code error;
        std::filesystem::create_directories(outputFolder, error);
        if (error) return Fail("cannot create " + outputFolder + ": " + error.message());
    }

    GifFrameSplitter splitter;
    splitter.Attach(data.data(), static_cast<uint32_t>(data.size()));
    if (!splitter.HasGifHeader()) {
        std::puts("not-gif");
        return 0;
    }
    const GifSize canvas = splitter.ReadScreen();
    std::printf("canvas %d %d\n", canvas.width, canvas.height);
    std::printf("colour-table-bytes %u\n", splitter.m_colourTableBytes);
    std::printf("frames %u\n", splitter.CountFrames());

    splitter.m_readPos = splitter.FirstBlockPos();
    unsigned index = 0;
    for (auto frame = splitter.CutNextFrame(); frame; frame = splitter.CutNextFrame(), ++index) {
        std::printf("frame %u length %zu delay %u disposal %u size %d %d offset %d %d\n", index, frame->bytes.size(),
                    frame->delay, frame->disposal, frame->size.width, frame->size.height, frame->offset.left,
                    frame->offset.top);
        if (outputFolder.empty()) continue;
        const std::filesystem::path path = std::filesystem::path(outputFolder) / ("frame-" + std::to_string(index) + ".gif");
        if (!WriteWhole(path, frame->bytes)) return Fail("cannot write " + path.string());
    }
    return std::fflush(stdout) == 0 ? 0 : Fail("cannot write the listing");
}
