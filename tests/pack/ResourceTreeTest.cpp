// The walk over a stub's resource directories, on sections the tests lay
// out: each directory is visited once however many entries name it, so a
// tree whose entries share sub-directories costs steps linear in its size
// (an exhaustive walk would take the cube of its entries), and a cycle ends.
#include "tools/tn-pack/ResourceTree.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "tests/pack/SmallImage.h"

namespace {

using namespace tn::test;

constexpr uint32_t kSubdirectory = 0x80000000u;

// A section of directories at the given offsets, each with entries naming
// their targets (a sub-directory's offset with kSubdirectory, or a data
// entry's offset).
std::vector<uint8_t> Section(size_t size, const std::map<size_t, std::vector<uint32_t>>& directories)
{
    std::vector<uint8_t> section(size, 0);
    for (const auto& [offset, targets] : directories) {
        Put16(&section, offset + 14, static_cast<uint16_t>(targets.size()));
        for (size_t i = 0; i < targets.size(); ++i) {
            Put32(&section, offset + 16 + 8 * i, static_cast<uint32_t>(i + 1));
            Put32(&section, offset + 20 + 8 * i, targets[i]);
        }
    }
    return section;
}

// The steps of a walk that follows every entry anew, three levels deep:
// what a section costs without the once-each rule.
size_t ExhaustiveSteps(const std::vector<uint8_t>& section, size_t directory, int level)
{
    if (level >= 3 || directory + 16 > section.size()) return 0;
    const size_t entries = static_cast<size_t>(section[directory + 12] | (section[directory + 13] << 8)) +
                           (section[directory + 14] | (section[directory + 15] << 8));
    size_t steps = 0;
    for (size_t i = 0; i < entries && directory + 24 + 8 * i <= section.size(); ++i) {
        ++steps;
        const uint32_t target = Get32(section, directory + 20 + 8 * i);
        if ((target & kSubdirectory) != 0) steps += ExhaustiveSteps(section, target & ~kSubdirectory, level + 1);
    }
    return steps;
}

ResourceWalk Walk(const std::vector<uint8_t>& section, std::vector<size_t>* visited)
{
    const ResourceSection where{0, section.size()};
    return WalkResourceTree(section.data(), where, [&](size_t directory) { visited->push_back(directory); });
}

TEST(ResourceTree, VisitsEachDirectoryOnceWhateverNamesIt)
{
    const struct {
        const char* what;
        std::vector<uint8_t> section;
        std::vector<size_t> visited;  // in the walk's order
        size_t entriesRead;
        bool shares;
    } cases[] = {
        {"one resource, as a linker writes it",
         Section(0x60, {{0x00, {kSubdirectory | 0x18}}, {0x18, {kSubdirectory | 0x30}}, {0x30, {0x48}}}),
         {0x00, 0x18, 0x30}, 2, false},
        {"two types, two names, each its own directory",
         Section(0x100, {{0x00, {kSubdirectory | 0x20, kSubdirectory | 0x40}},
                         {0x20, {kSubdirectory | 0x60}},
                         {0x40, {kSubdirectory | 0x80}},
                         {0x60, {0xC0}},
                         {0x80, {0xC0}}}),
         {0x00, 0x20, 0x40, 0x60, 0x80}, 4, false},
        {"every entry of each level naming one directory", SharedDirectoriesSection(64, 0),
         {0, 16 + 8 * 64, 2 * (16 + 8 * 64)}, 2 * 64, true},
        // Reached first at the shallowest level: its entries are followed.
        {"a language directory also named as a type's", 
         Section(0x100, {{0x00, {kSubdirectory | 0x20, kSubdirectory | 0x60}},
                         {0x20, {kSubdirectory | 0x60}},
                         {0x60, {kSubdirectory | 0x80}},
                         {0x80, {0xC0}}}),
         {0x00, 0x20, 0x60, 0x80}, 4, true},
        {"an entry naming its own directory", Section(0x40, {{0x00, {kSubdirectory | 0x00}}}), {0x00}, 1, true},
        {"a cycle two levels deep",
         Section(0x60, {{0x00, {kSubdirectory | 0x20}}, {0x20, {kSubdirectory | 0x00}}}), {0x00, 0x20}, 2, true},
        {"entries naming directories past the section",
         Section(0x40, {{0x00, {kSubdirectory | 0x7FFFFFF0, kSubdirectory | 0x38}}}), {0x00}, 2, false},
    };
    for (const auto& c : cases) {
        std::vector<size_t> visited;
        const ResourceWalk walk = Walk(c.section, &visited);
        EXPECT_EQ(c.visited, visited) << c.what;
        EXPECT_EQ(c.visited.size(), walk.directories) << c.what;
        EXPECT_EQ(c.entriesRead, walk.entriesRead) << c.what;
        EXPECT_EQ(c.shares, walk.sharesDirectories) << c.what;
    }
}

TEST(ResourceTree, SharedSubdirectoriesCostStepsLinearInTheSection)
{
    for (const uint16_t entries : {16, 64, 255}) {
        SCOPED_TRACE(entries);
        const std::vector<uint8_t> section = SharedDirectoriesSection(entries, 0);
        const size_t n = entries;
        // The fixture is what it says: exhaustively, the cube of its entries.
        EXPECT_EQ(n + n * n + n * n * n, ExhaustiveSteps(section, 0, 0));
        std::vector<size_t> visited;
        const ResourceWalk walk = Walk(section, &visited);
        EXPECT_EQ(2 * n, walk.entriesRead);
        EXPECT_LE(walk.entriesRead, section.size() / 8);
        EXPECT_EQ(3u, walk.directories);
    }
}

TEST(ResourceTree, AWholeImageIsWalkedFromItsResourceTable)
{
    const std::optional<ResourceWalk> small = WalkImageResources(SmallImage(1, 0).data(), SmallImage(1, 0).size());
    ASSERT_TRUE(small.has_value());
    EXPECT_EQ(3u, small->directories);
    EXPECT_FALSE(small->sharesDirectories);

    const std::vector<uint8_t> hostile = ImageWithResourceSection(SharedDirectoriesSection(200, 0), 1);
    const std::optional<ResourceWalk> shared = WalkImageResources(hostile.data(), hostile.size());
    ASSERT_TRUE(shared.has_value());
    EXPECT_EQ(400u, shared->entriesRead);
    EXPECT_TRUE(shared->sharesDirectories);

    std::vector<uint8_t> noResources = SmallImage(1, 0);
    Put32(&noResources, kOptional + 112 + 2 * 8, 0);
    EXPECT_FALSE(WalkImageResources(noResources.data(), noResources.size()).has_value());
}

}  // namespace
