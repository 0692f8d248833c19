#include "engine/ArchiveAttributes.h"

#include <gtest/gtest.h>

namespace {

TEST(DeriveAttributes, ByHostSystem)
{
    struct Case {
        uint32_t versionMadeBy;
        uint32_t external;
        uint32_t expected;
    };
    const Case cases[] = {
        // DOS-like hosts: the low bits as they are; other bits are dropped.
        {0x0014, 0x20, 0x20},
        {0x0014, 0x10, 0x10},
        {0x0000, 0x01, 0x01},
        {0x0014, 0x02, 0x02},
        {0x0014, 0x04, 0x04},
        {0x0014, 0x3F, 0x37},        // volume label bit 3 is not a file attribute
        {0x0014, 0xFFFFFFC0, 0x00},  // nothing in the low six bits
        {0x0714, 0x21, 0x21},
        {0x0B14, 0x12, 0x12},
        {0x0E14, 0x24, 0x24},
        // Every other host: folder from bit 30, read-only when bit 23 is clear.
        {0x0314, 0x41ED0000, 0x30},
        {0x0314, 0x416D0000, 0x31},  // dr-xr-xr-x
        {0x0314, 0x81A40000, 0x20},
        {0x0314, 0x81240000, 0x21},
        {0x0314, 0x00000000, 0x21},  // no mode at all
        {0x0314, 0x00000037, 0x21},  // DOS bits are not looked at
        {0x0A14, 0x00800010, 0x20},  // NTFS host (10) counts as "other"
        {0x1314, 0x40800000, 0x30},
        {0xFF14, 0x00000000, 0x21},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, DeriveAttributes(c.versionMadeBy, c.external))
            << std::hex << c.versionMadeBy << " " << c.external;
    }
}

}  // namespace
