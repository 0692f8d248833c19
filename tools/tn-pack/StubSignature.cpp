#include "tools/tn-pack/StubSignature.h"

#include "tools/tn-pack/PeImage.h"

namespace {

constexpr size_t kSecurityDirectoryIndex = 4;

}  // namespace

std::optional<StubSignature> FindStubSignature(const uint8_t* data, size_t size)
{
    const std::optional<PeHeaders> headers = LocatePeHeaders(data, size);
    if (!headers) return std::nullopt;
    StubSignature signature;
    const std::optional<size_t> entry = DataDirectoryEntry(*headers, kSecurityDirectoryIndex);
    if (!entry) return signature;  // headers too short to name a table
    signature.tableOffset = ReadLe32(data + *entry);
    signature.tableSize = ReadLe32(data + *entry + 4);
    if (signature.tableOffset == 0 && signature.tableSize == 0) return signature;
    // The table must not start inside the headers it is named in.
    const bool atEnd = signature.tableOffset >= headers->sectionsEnd && signature.tableSize != 0 &&
                       signature.tableOffset <= size && signature.tableSize == size - signature.tableOffset;
    signature.shape = atEnd ? SignatureShape::AtEnd : SignatureShape::Misplaced;
    return signature;
}

std::optional<size_t> ClearStubSignature(uint8_t* data, size_t size)
{
    const std::optional<StubSignature> signature = FindStubSignature(data, size);
    if (!signature || signature->shape != SignatureShape::AtEnd) return std::nullopt;
    const std::optional<PeHeaders> headers = LocatePeHeaders(data, size);
    const size_t entry = *DataDirectoryEntry(*headers, kSecurityDirectoryIndex);
    WriteLe32(data + entry, 0);
    WriteLe32(data + entry + 4, 0);
    return signature->tableOffset;
}
