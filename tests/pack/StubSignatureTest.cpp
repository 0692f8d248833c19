// A stub's signature, on the small image with certificate tables appended
// as signing tools append them: one that ends the file is found and
// cleared (the file is then cut where it began), any other placement is
// told apart, and an unsigned image is left alone.
#include "tools/tn-pack/StubSignature.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tests/pack/SmallImage.h"

namespace {

using namespace tn::test;

TEST(StubSignature, ATableThatEndsTheFileIsClearedAndCutOff)
{
    const std::vector<uint8_t> unsignedImage = SmallImage(1, 0x1234);
    std::vector<uint8_t> image = SignedImage(unsignedImage, 1500);
    const std::optional<StubSignature> found = FindStubSignature(image.data(), image.size());
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(SignatureShape::AtEnd, found->shape);
    EXPECT_EQ(unsignedImage.size(), found->tableOffset);
    EXPECT_EQ(1504u, found->tableSize);

    const std::optional<size_t> length = ClearStubSignature(image.data(), image.size());
    ASSERT_EQ(std::optional<size_t>(unsignedImage.size()), length);
    image.resize(*length);
    EXPECT_EQ(unsignedImage, image);
}

TEST(StubSignature, OtherPlacementsAreToldApartAndLeftAlone)
{
    const std::vector<uint8_t> signedImage = SignedImage(SmallImage(1, 0), 800);
    const size_t table = SmallImage(1, 0).size();
    const struct {
        const char* what;
        std::function<void(std::vector<uint8_t>*)> change;
        SignatureShape shape;
    } cases[] = {
        {"no table",
         [](std::vector<uint8_t>* image) {
             Put32(image, kSecurityEntry, 0);
             Put32(image, kSecurityEntry + 4, 0);
         },
         SignatureShape::Unsigned},
        {"bytes after the table", [](std::vector<uint8_t>* image) { image->resize(image->size() + 8, 0); },
         SignatureShape::Misplaced},
        {"a table running past the end", [](std::vector<uint8_t>* image) { image->resize(image->size() - 8); },
         SignatureShape::Misplaced},
        {"a table past the end altogether",
         [](std::vector<uint8_t>* image) { Put32(image, kSecurityEntry, 0x7FFFFF00); }, SignatureShape::Misplaced},
        {"a table of no bytes at the end",
         [&](std::vector<uint8_t>* image) {
             image->resize(table);
             Put32(image, kSecurityEntry + 4, 0);
         },
         SignatureShape::Misplaced},
        {"a table over the headers",
         [](std::vector<uint8_t>* image) {
             Put32(image, kSecurityEntry, static_cast<uint32_t>(kPe));
             Put32(image, kSecurityEntry + 4, static_cast<uint32_t>(image->size() - kPe));
         },
         SignatureShape::Misplaced},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> image = signedImage;
        c.change(&image);
        const std::optional<StubSignature> found = FindStubSignature(image.data(), image.size());
        ASSERT_TRUE(found.has_value()) << c.what;
        EXPECT_EQ(c.shape, found->shape) << c.what;
        const std::vector<uint8_t> before = image;
        EXPECT_FALSE(ClearStubSignature(image.data(), image.size()).has_value()) << c.what;
        EXPECT_EQ(before, image) << c.what;
    }
}

TEST(StubSignature, NoImageHasNone)
{
    std::vector<uint8_t> notImage = SignedImage(SmallImage(1, 0), 100);
    notImage[0] = 'Z';
    EXPECT_FALSE(FindStubSignature(notImage.data(), notImage.size()).has_value());
    EXPECT_FALSE(ClearStubSignature(notImage.data(), notImage.size()).has_value());
    // Optional headers too short for the security entry: nothing to remove.
    std::vector<uint8_t> shortHeaders = SmallImage(1, 0);
    Put16(&shortHeaders, kFileHeader + 16, 112 + 4 * 8);
    const std::optional<StubSignature> found = FindStubSignature(shortHeaders.data(), shortHeaders.size());
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(SignatureShape::Unsigned, found->shape);
}

}  // namespace
