#include "engine/ArchiveAttributes.h"

namespace {

// Hosts whose entries carry DOS attribute bits in the low byte: MS-DOS (0),
// VFAT (14), and 7 and 11, which the installer's archives treat alike.
bool IsDosLikeHost(uint32_t host)
{
    return host == 0 || host == 7 || host == 11 || host == 14;
}

bool Bit(uint32_t value, unsigned bit) { return ((value >> bit) & 1u) != 0; }

}  // namespace

uint32_t DeriveAttributes(uint32_t versionMadeBy, uint32_t externalAttributes)
{
    const uint32_t host = (versionMadeBy >> 8) & 0xFFu;
    bool readOnly, hidden, system, folder, archive;
    if (IsDosLikeHost(host)) {
        readOnly = Bit(externalAttributes, 0);
        hidden = Bit(externalAttributes, 1);
        system = Bit(externalAttributes, 2);
        folder = Bit(externalAttributes, 4);
        archive = Bit(externalAttributes, 5);
    } else {
        // Unix-like hosts keep the mode in the high 16 bits: bit 30 is the
        // directory type, bit 23 the owner's write permission.
        folder = Bit(externalAttributes, 30);
        readOnly = !Bit(externalAttributes, 23);
        hidden = false;
        system = false;
        archive = true;
    }
    uint32_t attributes = 0;
    if (folder) attributes |= ArchiveAttribute::Folder;
    if (archive) attributes |= ArchiveAttribute::Archive;
    if (hidden) attributes |= ArchiveAttribute::Hidden;
    if (readOnly) attributes |= ArchiveAttribute::ReadOnly;
    if (system) attributes |= ArchiveAttribute::System;
    return attributes;
}
