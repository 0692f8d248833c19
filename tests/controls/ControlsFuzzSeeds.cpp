// Seeds of the GIF splitter's fuzz target: GIFs of the shapes the splitter's
// tests build with GifBuilder (every block kind, local tables, frames with
// and without control extensions, cut short at the places its walk must
// stop), and the opening of the shipped banner.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/FuzzSeeds.h"
#include "tests/support/GifBuilder.h"

namespace {

using tn::test::GifBuilder;
using tn::test::Rgb;
using tn::test::SeedFolder;

const std::vector<Rgb> kFourColours = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};

// The banner's header, colour table, extensions and first image data: the
// real file's shapes without its 130 KB, which would make every run slow.
const size_t kBannerOpening = 8 * 1024;

std::vector<uint8_t> Cut(const std::vector<uint8_t>& data, size_t length)
{
    return std::vector<uint8_t>(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(std::min(length, data.size())));
}

void GifSplitterSeeds(SeedFolder& seeds, const std::vector<std::string>& arguments)
{
    GifBuilder animated(4, 4, kFourColours);
    animated.LoopCount(3)
        .Comment("made by hand")
        .Control(7, 1)
        .SolidImage(0, 0, 4, 4, 1)
        .Comment("between frames")
        .Application("XMPDataXMP!", std::string(300, 'x'))
        .Control(9, 0)
        .SolidImage(0, 0, 4, 4, 2)
        .Trailer();
    seeds.Add("animated", animated.Bytes());
    // Cut inside the second control extension and inside the last image.
    seeds.Add("animated-cut", Cut(animated.Bytes(), animated.BlockStarts()[6] + 5));
    seeds.Add("animated-cut", Cut(animated.Bytes(), animated.Bytes().size() - 3));

    GifBuilder inside(4, 4, kFourColours);
    inside.Control(5, 3).Comment("inside the frame").Application("XMPDataXMP!", "x").SolidImage(1, 2, 3, 2, 0).Trailer();
    seeds.Add("blocks-inside-a-frame", inside.Bytes());

    GifBuilder local(2, 2);
    local.Control(4, 0).Image(0, 0, 2, 2, {0, 1, 2, 7}, std::vector<Rgb>(8, Rgb{1, 2, 3})).Trailer();
    seeds.Add("local-table", local.Bytes());

    GifBuilder plain(4, 4, kFourColours);
    plain.Control(10, 1).PlainText("hello").Control(10, 1).SolidImage(1, 1, 2, 2, 0).SolidImage(2, 1, 2, 3, 3).Trailer();
    seeds.Add("plain-text-and-bare-image", plain.Bytes());

    GifBuilder unknown(4, 4, kFourColours, "GIF87a");
    unknown.Control(0xFFFF, 7, true, 0xE0).SolidImage(0, 0, 4, 4, 1).Raw({0x21, 0x02, 0x01, 'x', 0x00});
    seeds.Add("unknown-extension", unknown.Bytes());

    GifBuilder unterminated(4, 4, kFourColours);
    unterminated.Control(10, 1).Raw({0x2C, 0, 0, 0, 0, 4, 0, 4, 0, 0, 2, 3, 1, 2, 3});
    seeds.Add("unterminated-chain", unterminated.Bytes());

    seeds.Add("screen-only", GifBuilder(4, 4, kFourColours).Bytes());
    seeds.Add("short-table", Cut(GifBuilder(4, 4, kFourColours).Bytes(), 20));

    if (arguments.size() != 1) throw std::runtime_error("the banner's path is the one argument");
    std::ifstream file(arguments[0], std::ios::binary);
    const std::vector<uint8_t> banner((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (banner.empty()) throw std::runtime_error("cannot read " + arguments[0]);
    seeds.Add("banner-opening", Cut(banner, kBannerOpening));
}

}  // namespace

int main(int argc, char** argv)
{
    return tn::test::RunSeedWriter(argc, argv, {{"controls_gif_splitter_fuzzer", GifSplitterSeeds}});
}
