// The header fix-up after the resource update, on a small image the test
// lays out: the stub's time stamps go back into the file header and every
// resource directory, and the checksum is the one of the new bytes.
#include "tools/tn-pack/ReproducibleImage.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr size_t kPe = 0x40;
constexpr size_t kFileHeader = kPe + 4;
constexpr size_t kOptional = kFileHeader + 20;
constexpr size_t kOptionalSize = 240;  // PE32+ with 16 data directories
constexpr size_t kChecksum = kOptional + 64;
constexpr size_t kSectionTable = kOptional + kOptionalSize;
constexpr size_t kResourceRaw = 0x200;
constexpr uint32_t kResourceRva = 0x1000;
// The three directories of the one resource: type, name, language.
constexpr size_t kDirectories[] = {0x00, 0x18, 0x30};

void Put16(std::vector<uint8_t>* image, size_t at, uint16_t value)
{
    (*image)[at] = static_cast<uint8_t>(value);
    (*image)[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>* image, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) (*image)[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t Get32(const std::vector<uint8_t>& image, size_t at)
{
    return static_cast<uint32_t>(image[at]) | (static_cast<uint32_t>(image[at + 1]) << 8) |
           (static_cast<uint32_t>(image[at + 2]) << 16) | (static_cast<uint32_t>(image[at + 3]) << 24);
}

// A PE32+ image with one ".rsrc" section holding one resource, every time
// stamp set to stamp and the checksum to checksum.
std::vector<uint8_t> SmallImage(uint32_t stamp, uint32_t checksum)
{
    std::vector<uint8_t> image(kResourceRaw + 0x200, 0);
    Put16(&image, 0, 0x5A4D);
    Put32(&image, 0x3C, kPe);
    Put32(&image, kPe, 0x00004550);
    Put16(&image, kFileHeader, 0x8664);
    Put16(&image, kFileHeader + 2, 1);
    Put32(&image, kFileHeader + 4, stamp);
    Put16(&image, kFileHeader + 16, kOptionalSize);
    Put16(&image, kOptional, 0x20B);
    Put32(&image, kChecksum, checksum);
    Put32(&image, kOptional + 112 + 2 * 8, kResourceRva);
    Put32(&image, kOptional + 112 + 2 * 8 + 4, 0x60);
    const uint8_t name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
    std::copy(name, name + 8, image.begin() + kSectionTable);
    Put32(&image, kSectionTable + 8, 0x200);
    Put32(&image, kSectionTable + 12, kResourceRva);
    Put32(&image, kSectionTable + 16, 0x200);
    Put32(&image, kSectionTable + 20, kResourceRaw);
    for (size_t level = 0; level < 3; ++level) {
        const size_t directory = kResourceRaw + kDirectories[level];
        Put32(&image, directory + 4, stamp);
        Put16(&image, directory + 14, 1);  // one entry by id
        Put32(&image, directory + 16, level == 0 ? 148 : level == 1 ? 148 : 2052);
        const uint32_t target = level < 2 ? (0x80000000u | static_cast<uint32_t>(kDirectories[level + 1])) : 0x48;
        Put32(&image, directory + 20, target);
    }
    Put32(&image, kResourceRaw + 0x48, kResourceRva + 0x58);  // the data entry: data, size
    Put32(&image, kResourceRaw + 0x4C, 4);
    Put32(&image, kResourceRaw + 0x58, 0x04034B50);
    return image;
}

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
