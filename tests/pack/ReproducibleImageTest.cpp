// The header fix-up after the resource update, on a small image the test
// lays out: the stub's time stamps go back into the file header and every
// resource directory, and the checksum is the one of the new bytes.
#include "tools/tn-pack/ReproducibleImage.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/pack/SmallImage.h"

namespace {

using namespace tn::test;

TEST(ImageChecksum, OnesComplementSumOfWordsPlusTheLength)
{
    const std::vector<uint8_t> bytes = {0x34, 0x12, 0xFF, 0xFF, 0x02, 0x00};
    // 0x1234 + 0xFFFF folds to 0x1234, + 2, + 6 bytes.
    EXPECT_EQ(0x123Cu, ComputeImageChecksum(bytes.data(), bytes.size(), 100));
    // The checksum field's own bytes (here 2 to 5) count as 0.
    EXPECT_EQ(0x123Au, ComputeImageChecksum(bytes.data(), bytes.size(), 2));
    const std::vector<uint8_t> odd = {0x01};
    EXPECT_EQ(2u, ComputeImageChecksum(odd.data(), odd.size(), 100));
}

TEST(ImageStamps, TheStubsStampsAndAChecksumOfTheNewBytes)
{
    const std::vector<uint8_t> stub = SmallImage(0x5F000000, 0x1234);
    const std::optional<ImageStamps> stamps = ReadImageStamps(stub.data(), stub.size());
    ASSERT_TRUE(stamps.has_value());
    EXPECT_EQ(0x5F000000u, stamps->timeDateStamp);
    EXPECT_EQ(0x5F000000u, stamps->resourceTimeDateStamp);
    EXPECT_TRUE(stamps->hasChecksum);

    // As an update might leave it: its own time stamps, the stub's checksum.
    std::vector<uint8_t> updated = SmallImage(0x65432100, 0x1234);
    updated[kResourceRaw + 0x58] = 0x99;
    ASSERT_TRUE(ApplyImageStamps(updated.data(), updated.size(), *stamps));
    EXPECT_EQ(0x5F000000u, Get32(updated, kFileHeader + 4));
    for (size_t directory : kDirectories) {
        EXPECT_EQ(0x5F000000u, Get32(updated, kResourceRaw + directory + 4)) << directory;
    }
    const uint32_t checksum = Get32(updated, kChecksum);
    EXPECT_EQ(ComputeImageChecksum(updated.data(), updated.size(), kChecksum), checksum);
    EXPECT_NE(0x1234u, checksum);

    // The same bytes give the same result whatever the update wrote.
    std::vector<uint8_t> again = SmallImage(0x12345678, 0);
    again[kResourceRaw + 0x58] = 0x99;
    ASSERT_TRUE(ApplyImageStamps(again.data(), again.size(), *stamps));
    EXPECT_EQ(updated, again);
}

TEST(ImageStamps, AStubWithoutChecksumGivesAnOutputWithout)
{
    const std::vector<uint8_t> stub = SmallImage(7, 0);
    const std::optional<ImageStamps> stamps = ReadImageStamps(stub.data(), stub.size());
    ASSERT_TRUE(stamps.has_value());
    EXPECT_FALSE(stamps->hasChecksum);
    std::vector<uint8_t> updated = SmallImage(8, 0xABCD);
    ASSERT_TRUE(ApplyImageStamps(updated.data(), updated.size(), *stamps));
    EXPECT_EQ(0u, Get32(updated, kChecksum));
    EXPECT_EQ(7u, Get32(updated, kFileHeader + 4));
}

// The fix-up runs over the updated copy: should its tree share
// directories, each is stamped once, in steps linear in the section (an
// exhaustive walk would read 255 + 255^2 + 255^3 entries here).
TEST(ImageStamps, ATreeWithSharedDirectoriesIsStampedInLinearSteps)
{
    const std::vector<uint8_t> section = SharedDirectoriesSection(255, 9);
    std::vector<uint8_t> image = ImageWithResourceSection(section, 9);
    ResourceWalk walk;
    ASSERT_TRUE(ApplyImageStamps(image.data(), image.size(), ImageStamps{5, 6, true}, &walk));
    EXPECT_EQ(3u, walk.directories);
    EXPECT_EQ(2u * 255, walk.entriesRead);
    for (size_t level = 0; level < 3; ++level) {
        EXPECT_EQ(6u, Get32(image, kResourceRaw + level * (16 + 8 * 255) + 4)) << level;
    }
    EXPECT_EQ(ComputeImageChecksum(image.data(), image.size(), kChecksum), Get32(image, kChecksum));
}

TEST(ImageStamps, LeavesWhatIsNoImageWithResourcesAlone)
{
    std::vector<uint8_t> cases[] = {
        std::vector<uint8_t>(16, 0),
        SmallImage(1, 1),
        SmallImage(1, 1),
        SmallImage(1, 1),
    };
    cases[1][0] = 'Z';                                   // no "MZ"
    Put32(&cases[2], kOptional + 112 + 2 * 8, 0);        // no resource table
    cases[3].resize(kSectionTable + 20);                 // cut inside the section table
    const ImageStamps stamps{2, 2, true};
    for (std::vector<uint8_t>& image : cases) {
        const std::vector<uint8_t> before = image;
        EXPECT_FALSE(ReadImageStamps(image.data(), image.size()).has_value());
        EXPECT_FALSE(ApplyImageStamps(image.data(), image.size(), stamps));
        EXPECT_EQ(before, image);
    }
}

}  // namespace
