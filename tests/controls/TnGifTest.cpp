// tn-gif as a user runs it: its listing, the one-frame GIFs it writes and its
// exit codes, on the shipped banner and on GIFs built here. Native tree only:
// the test starts the tool as a Linux process.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "controls/GifSplitter.h"
#include "tests/support/GifBuilder.h"
#include "tools/tn-gif/GifInput.h"

using tn::test::GifBuilder;

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class TnGif : public testing::Test {
protected:
    void SetUp() override
    {
        m_folder = fs::temp_directory_path() /
                   ("tn-gif-test-" + std::to_string(::getpid()) + "-" +
                    testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        const fs::path path = m_folder / name;
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    static std::string Quote(const std::string& text) { return "'" + text + "'"; }

    // feeder, when given, is a shell command piped into the tool's standard
    // input; prefix goes before the tool on its command line.
    ToolRun Tool(const std::string& arguments, const std::string& feeder = "", const std::string& prefix = "")
    {
        const fs::path errors = m_folder / "stderr.txt";
        const std::string command = (feeder.empty() ? "" : feeder + " | ") + prefix + Quote(TN_GIF_TOOL) + " " +
                                    arguments + " 2>" + Quote(errors.string());
        ToolRun run;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (pipe == nullptr) return run;
        char buffer[4096];
        for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, got);
        const int status = ::pclose(pipe);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.err = ReadText(errors);
        return run;
    }

    static std::string ReadText(const fs::path& path)
    {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    fs::path m_folder;
};

std::vector<uint8_t> ReadBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST_F(TnGif, ListsTheBannerAndWritesEachFrameAsTheControlCutsIt)
{
    const std::vector<uint8_t> banner = ReadBytes(TN_BANNER_GIF);
    GifFrameSplitter splitter;
    splitter.Attach(banner.data(), static_cast<uint32_t>(banner.size()));
    splitter.ReadScreen();
    std::vector<std::vector<uint8_t>> cut;
    while (auto frame = splitter.CutNextFrame()) cut.push_back(frame->bytes);
    ASSERT_EQ(cut.size(), 4u);

    const fs::path out = m_folder / "frames";
    const ToolRun run = Tool(Quote(TN_BANNER_GIF) + " --out " + Quote(out.string()));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::string expected = "canvas 479 236\ncolour-table-bytes 768\nframes 4\n";
    for (size_t index = 0; index < cut.size(); ++index) {
        expected += "frame " + std::to_string(index) + " length " + std::to_string(cut[index].size()) +
                    " delay 300 disposal 1 size 479 236 offset 0 0\n";
        EXPECT_EQ(ReadBytes(out / ("frame-" + std::to_string(index) + ".gif")), cut[index]) << index;
    }
    EXPECT_EQ(run.out, expected);
    EXPECT_FALSE(fs::exists(out / "frame-4.gif"));
}

TEST_F(TnGif, ABrokenGifIsListedUpToWhereTheWalkStops)
{
    GifBuilder gif(8, 6, {{0, 0, 0}, {255, 255, 255}});
    gif.Comment("c").Control(5, 2).SolidImage(1, 2, 3, 4, 1).SolidImage(0, 0, 8, 6, 0).Control(7, 3).SolidImage(0, 0, 8, 6, 1);
    std::vector<uint8_t> data = gif.Bytes();
    data.resize(data.size() - 3);  // into the last image's data
    const std::string file = Write("broken.gif", data);

    const ToolRun run = Tool(Quote(file));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const size_t firstLength = 13 + 6 + (gif.BlockStarts()[3] - gif.BlockStarts()[1]) + 1;
    const size_t secondLength = 13 + 6 + (gif.BlockStarts()[4] - gif.BlockStarts()[3]) + 1;
    EXPECT_EQ(run.out, "canvas 8 6\ncolour-table-bytes 6\nframes 2\n"
                       "frame 0 length " + std::to_string(firstLength) + " delay 5 disposal 2 size 3 4 offset 1 2\n"
                       "frame 1 length " + std::to_string(secondLength) +
                       " delay 4294967295 disposal 0 size 8 6 offset 0 0\n");
}

TEST_F(TnGif, OtherDataIsNotGifAndBadCallsEndWithCodeTwo)
{
    const std::string png = Write("picture.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'});
    const std::string empty = Write("empty", {});
    const ToolRun notGif = Tool(Quote(png));
    EXPECT_EQ(notGif.exitCode, 0);
    EXPECT_EQ(notGif.out, "not-gif\n");
    EXPECT_EQ(Tool(Quote(empty)).out, "not-gif\n");

    const struct {
        std::string arguments;
        std::string message;
    } failures[] = {
        {"", "usage: tn-gif FILE [--out DIR]"},
        {Quote(png) + " --out", "usage: tn-gif FILE [--out DIR]"},
        {Quote(png) + " " + Quote(empty), "usage: tn-gif FILE [--out DIR]"},
        {"--frames " + Quote(png), "usage: tn-gif FILE [--out DIR]"},
        {Quote((m_folder / "missing.gif").string()), "tn-gif: cannot read"},
        {Quote(m_folder.string()), "tn-gif: cannot read"},
    };
    for (const auto& failure : failures) {
        const ToolRun run = Tool(failure.arguments);
        EXPECT_EQ(run.exitCode, 2) << failure.arguments;
        EXPECT_EQ(run.out, "") << failure.arguments;
        EXPECT_EQ(run.err.rfind(failure.message, 0), 0u) << failure.arguments << ": " << run.err;
    }

    // A folder that cannot be made: a file stands in its way.
    const std::string gif = Write("one.gif", GifBuilder(2, 2).SolidImage(0, 0, 2, 2, 0).Trailer().Bytes());
    const ToolRun blocked = Tool(Quote(gif) + " --out " + Quote(png + "/frames"));
    EXPECT_EQ(blocked.exitCode, 2);
    EXPECT_EQ(blocked.err.rfind("tn-gif: cannot create", 0), 0u) << blocked.err;
}

// Input that never ends, or ends past the limit, is refused while it is
// read: exit code 2 and a message, never an allocation past the limit.
TEST_F(TnGif, RefusesInputPastItsLimitWhileReading)
{
    const std::string pastLimit = (m_folder / "past-limit.gif").string();
    fs::copy_file(Write("header.gif", GifBuilder(2, 2).Bytes()), pastLimit);
    fs::resize_file(pastLimit, kMaxGifInputBytes + 1);  // sparse: the size without the bytes

    const struct {
        const char* what;
        std::string feeder;
        std::string input;
    } cases[] = {
        {"a device", "", "/dev/zero"},
        {"a pipe fed forever", "yes GIF89a", "/dev/stdin"},
        {"a file one byte past the limit", "", pastLimit},
    };
    // Any allocation past the limit ends the tool with the sanitizer's
    // report instead of taking the machine's memory; a tool that never
    // stops is ended.
    const std::string bounded =
        "ASAN_OPTIONS=max_allocation_size_mb=" + std::to_string(kMaxGifInputBytes >> 20) + " timeout -s KILL 120 ";
    for (const auto& c : cases) {
        const ToolRun run = Tool(Quote(c.input), c.feeder, bounded);
        EXPECT_EQ(run.exitCode, 2) << c.what << ": " << run.err;
        EXPECT_EQ(run.out, "") << c.what;
        const std::string message = "tn-gif: " + c.input + " holds more than " + std::to_string(kMaxGifInputBytes) +
                                    " bytes, more than any banner\n";
        EXPECT_EQ(run.err, message) << c.what;
    }

    // Up to the limit it is read as ever.
    const std::string atLimit = (m_folder / "at-limit.gif").string();
    fs::rename(pastLimit, atLimit);
    fs::resize_file(atLimit, kMaxGifInputBytes);
    const ToolRun run = Tool(Quote(atLimit), "", bounded);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "canvas 2 2\ncolour-table-bytes 0\nframes 0\n");
}

// Relative names mean the current folder's files, and messages name them in full.
TEST_F(TnGif, RelativePathsAreTakenFromTheCurrentFolder)
{
    Write("one.gif", GifBuilder(2, 2).SolidImage(0, 0, 2, 2, 0).Trailer().Bytes());
    const std::string here = "cd " + Quote(m_folder.string()) + " && ";
    const ToolRun run = Tool("one.gif --out frames", "", here);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(fs::exists(m_folder / "frames" / "frame-0.gif"));
    const ToolRun missing = Tool("missing.gif", "", here);
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.err, "tn-gif: cannot read " + (m_folder / "missing.gif").string() + "\n");
}

}  // namespace
