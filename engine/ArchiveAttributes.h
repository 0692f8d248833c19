#pragma once
// Windows file attributes of an entry, from the host system that made it.
// Platform-free.

#include <cstdint>

namespace ArchiveAttribute {
constexpr uint32_t ReadOnly = 0x01;
constexpr uint32_t Hidden = 0x02;
constexpr uint32_t System = 0x04;
constexpr uint32_t Folder = 0x10;
constexpr uint32_t Archive = 0x20;
}  // namespace ArchiveAttribute

// versionMadeBy is the entry's 16-bit field (host system in its high byte),
// externalAttributes its 32-bit external attributes.
uint32_t DeriveAttributes(uint32_t versionMadeBy, uint32_t externalAttributes);
