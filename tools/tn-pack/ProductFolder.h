#pragma once
// The product folder tn-pack reads: its check (a folder, Tarnivo.exe at its
// top, no link), the walk that lists its files and folders in the archive's
// order, and the files it opens for reading, each checked to lie in it.
// Links, junctions and other reparse points are refused wherever they are
// met, so nothing from elsewhere reaches a release.

#include "framework/Handles.h"
#include "tools/tn-pack/PackEntry.h"
#include "tools/tn-pack/PackOutcome.h"

#include <string>
#include <vector>

class CProductFolder {
public:
    // Refused when folder (a full path) is not a folder, is a reparse
    // point itself, or has no Tarnivo.exe at its top.
    static PackOutcome Open(const std::wstring& folder, CProductFolder* opened);

    // Every file and folder below the top, each folder's files first and
    // then its subfolders, each group in ordinal order of the names; a
    // folder's entry comes right before its contents. Refused at the first
    // entry the installer could not install as it is, with its name, and at
    // the first reparse point, with its path.
    PackOutcome List(std::vector<PackEntry>* entries) const;

    // Opens a file entry for reading through an extended-length path, so
    // names that fit the installer's paths can be read from a deeper
    // product folder. Refused when the file opened lies anywhere but at
    // its place in the folder.
    PackOutcome OpenFile(const PackEntry& entry, tn::UniqueFile* file) const;

private:
    PackOutcome ListFolder(const std::wstring& relative, std::vector<PackEntry>* entries) const;
    PackOutcome Add(PackEntry entry, std::vector<PackEntry>* entries) const;
    PackOutcome Check(PackEntry* entry) const;

    std::wstring m_shownPath;  // as given, for messages
    std::wstring m_path;       // extended-length, without a trailing separator
    std::wstring m_finalPath;  // where the folder lies, links on the way followed
};
