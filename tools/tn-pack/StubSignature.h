#pragma once
// A stub's Authenticode signature: the certificate table the security data
// directory (entry 4) points at, by file offset, at the end of the file.
// The signature covers the image's bytes, so it cannot survive the new
// archive; tn-pack removes it and the release is signed again. Platform-free.

#include <cstddef>
#include <cstdint>
#include <optional>

enum class SignatureShape {
    Unsigned,
    AtEnd,      // the table runs to the file's end, as signing tools write it
    Misplaced,  // an entry naming bytes that are not the file's last ones
};

struct StubSignature {
    SignatureShape shape = SignatureShape::Unsigned;
    size_t tableOffset = 0;  // of the certificate table in the file
    size_t tableSize = 0;
};

// nullopt when data is not a PE image.
std::optional<StubSignature> FindStubSignature(const uint8_t* data, size_t size);

// Clears the security directory entry of an image signed at its end and
// gives the length the file is then cut to (the certificate table's
// offset); nullopt, with nothing changed, for any other image.
std::optional<size_t> ClearStubSignature(uint8_t* data, size_t size);
