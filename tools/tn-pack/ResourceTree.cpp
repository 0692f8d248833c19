#include "tools/tn-pack/ResourceTree.h"

#include <deque>
#include <unordered_set>
#include <utility>

namespace {

constexpr size_t kDirectorySize = 16;
constexpr size_t kEntrySize = 8;
constexpr uint32_t kSubdirectoryFlag = 0x80000000u;
// Type, name and language: entries of the last level lead to data, so only
// the levels above it are read for their sub-directories.
constexpr int kLevels = 3;

// The file offset of the directory at offset from the root, when the whole
// directory header lies in the section.
std::optional<size_t> DirectoryAt(const ResourceSection& section, uint32_t offset)
{
    if (section.rootOffset > section.end || offset > section.end - section.rootOffset) return std::nullopt;
    const size_t directory = section.rootOffset + offset;
    if (section.end - directory < kDirectorySize) return std::nullopt;
    return directory;
}

}  // namespace

ResourceWalk WalkResourceTree(const uint8_t* data, const ResourceSection& section,
                              const std::function<void(size_t directory)>& visit)
{
    ResourceWalk walk;
    const std::optional<size_t> root = DirectoryAt(section, 0);
    if (!root) return walk;
    std::unordered_set<size_t> reached{*root};
    std::deque<std::pair<size_t, int>> pending{{*root, 0}};
    while (!pending.empty()) {
        const auto [directory, level] = pending.front();
        pending.pop_front();
        visit(directory);
        ++walk.directories;
        if (level + 1 >= kLevels) continue;
        const size_t entries = static_cast<size_t>(ReadLe16(data + directory + 12)) + ReadLe16(data + directory + 14);
        for (size_t i = 0; i < entries; ++i) {
            const size_t entry = directory + kDirectorySize + i * kEntrySize;
            if (section.end - entry < kEntrySize) break;
            ++walk.entriesRead;
            const uint32_t target = ReadLe32(data + entry + 4);
            if ((target & kSubdirectoryFlag) == 0) continue;
            const std::optional<size_t> below = DirectoryAt(section, target & ~kSubdirectoryFlag);
            if (!below) continue;
            if (!reached.insert(*below).second) {
                walk.sharesDirectories = true;
                continue;
            }
            pending.emplace_back(*below, level + 1);
        }
    }
    return walk;
}

std::optional<ResourceWalk> WalkImageResources(const uint8_t* data, size_t size)
{
    const std::optional<PeHeaders> headers = LocatePeHeaders(data, size);
    const std::optional<ResourceSection> section = headers ? LocateResourceSection(data, size, *headers) : std::nullopt;
    if (!section) return std::nullopt;
    return WalkResourceTree(data, *section, [](size_t) {});
}
