// Seeds of the header fix-up's fuzz target: the small image its test lays
// out, with and without a checksum, the shapes the test says must be left
// alone (no "MZ", no resource table, cut inside the section table), a tree
// whose entries share their directories, and a signed image.
#include <string>
#include <vector>

#include "tests/pack/SmallImage.h"
#include "tests/support/FuzzSeeds.h"

namespace {

using namespace tn::test;

void ReproducibleImageSeeds(SeedFolder& seeds, const std::vector<std::string>&)
{
    seeds.Add("stub", SmallImage(0x5F000000, 0x1234));
    seeds.Add("no-checksum", SmallImage(7, 0));
    std::vector<uint8_t> updated = SmallImage(0x65432100, 0x1234);
    updated[kResourceRaw + 0x58] = 0x99;
    seeds.Add("updated", updated);
    std::vector<uint8_t> noMz = SmallImage(1, 1);
    noMz[0] = 'Z';
    seeds.Add("no-mz", noMz);
    std::vector<uint8_t> noResources = SmallImage(1, 1);
    Put32(&noResources, kOptional + 112 + 2 * 8, 0);
    seeds.Add("no-resource-table", noResources);
    std::vector<uint8_t> cut = SmallImage(1, 1);
    cut.resize(kSectionTable + 20);
    seeds.Add("cut-in-section-table", cut);
    seeds.Add("shared-directories", ImageWithResourceSection(SharedDirectoriesSection(8, 3), 3));
    seeds.Add("signed", SignedImage(SmallImage(1, 0x1234), 100));
}

}  // namespace

int main(int argc, char** argv)
{
    return RunSeedWriter(argc, argv, {{"reproducible_image_fuzzer", ReproducibleImageSeeds}});
}
