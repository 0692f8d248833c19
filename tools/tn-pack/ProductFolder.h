#pragma once
// The product folder tn-pack reads: its check (a folder, Tarnivo.exe at its
// top), the walk that lists its files and folders in the archive's order,
// and the paths its files are read from.

#include "tools/tn-pack/PackEntry.h"
#include "tools/tn-pack/PackOutcome.h"

#include <string>
#include <vector>

class CProductFolder {
public:
    // Refused when folder is not a folder or has no Tarnivo.exe at its top.
    static PackOutcome Open(const std::wstring& folder, CProductFolder* opened);

    // Every file and folder below the top, each folder's files first and
    // then its subfolders, each group in ordinal order of the names; a
    // folder's entry comes right before its contents. Refused at the first
    // entry the installer could not install as it is, with its name.
    PackOutcome List(std::vector<PackEntry>* entries) const;

    // Where an entry is read from: an extended-length path, so names that
    // fit the installer's paths can be read from a deeper product folder.
    std::wstring PathOf(const PackEntry& entry) const;

private:
    PackOutcome ListFolder(const std::wstring& relative, std::vector<PackEntry>* entries) const;
    PackOutcome Add(PackEntry entry, std::vector<PackEntry>* entries) const;
    PackOutcome Check(PackEntry* entry) const;

    std::wstring m_shownPath;  // as given, for messages
    std::wstring m_path;       // extended-length, without a trailing separator
};
