#pragma once
// The installer program tn-pack builds on: checked to be this installer (its
// main window, dialog 102, and a "ZIP" 148 slot in language 2052, in a
// resource tree as linkers write it), and its copy given the new archive
// through the system's resource update.

#include "tools/tn-pack/PackOutcome.h"

#include <cstdint>
#include <string>
#include <vector>

// Refused when stub (a full path) cannot be loaded as a program, lacks
// dialog 102 or the "ZIP" 148 resource in language 2052, has a resource
// tree whose entries share directories, or a signature that does not end
// the file. isSigned tells whether a signature is there to be removed.
PackOutcome CheckInstallerStub(const std::wstring& stub, bool* isSigned);

// Replaces "ZIP" 148 (language 2052) of the program at path with archive;
// every other resource stays as it is.
PackOutcome ReplaceProductArchive(const std::wstring& path, const std::vector<uint8_t>& archive);
