#include "tools/tn-pack/ProductFolder.h"

#include "app/DefaultInstallFolder.h"
#include "framework/Handles.h"
#include "tools/tn-pack/AnsiName.h"
#include "tools/tn-pack/PackRules.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr wchar_t kProductProgram[] = L"Tarnivo.exe";

struct FindTraits {
    using Handle = HANDLE;
    static Handle Null() { return INVALID_HANDLE_VALUE; }
    static void Release(Handle handle) { ::FindClose(handle); }
};
using UniqueFind = tn::UniqueResource<FindTraits>;

// "\\?\C:\..." or "\\?\UNC\server\share\...": no 260-character limit and no
// rewriting of trailing dots and spaces.
std::wstring ExtendedLengthPath(const std::wstring& path)
{
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return std::wstring();
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, &full[0], nullptr);
    if (length == 0 || length >= size) return std::wstring();
    full.resize(length);
    while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
    if (full.compare(0, 4, L"\\\\?\\") == 0) return full;
    if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

uint64_t FileTimeValue(const FILETIME& time)
{
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::wstring WithBackslashes(std::wstring name)
{
    std::replace(name.begin(), name.end(), L'/', L'\\');
    return name;
}

std::wstring ErrorText() { return L"(error " + std::to_wstring(GetLastError()) + L")"; }

// Where an open file or folder really lies, every link on the way followed:
// "\\?\C:\..." (or "\\?\UNC\..."); empty when the system cannot tell.
std::wstring FinalPathOf(HANDLE handle)
{
    const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    const DWORD size = GetFinalPathNameByHandleW(handle, nullptr, 0, flags);
    if (size == 0) return std::wstring();
    std::wstring path(size, L'\0');
    const DWORD length = GetFinalPathNameByHandleW(handle, &path[0], size, flags);
    if (length == 0 || length >= size) return std::wstring();
    path.resize(length);
    return path;
}

// A final path as a user writes it: "C:\..." or "\\server\...".
std::wstring WithoutExtendedPrefix(const std::wstring& path)
{
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\" + path.substr(7);
    if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
    return path;
}

// Names from the file system compared as the file system compares them.
bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

PackOutcome LinkRefusal(const std::wstring& path)
{
    return PackOutcome::Refuse(path + L" is a link, junction or other reparse point; tn-pack packs nothing from "
                                      L"outside the product folder");
}

}  // namespace

PackOutcome CProductFolder::Open(const std::wstring& folder, CProductFolder* opened)
{
    const std::wstring path = ExtendedLengthPath(folder);
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return PackOutcome::Refuse(L"no product folder at " + folder);
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return LinkRefusal(folder);
    const DWORD program = GetFileAttributesW((path + L"\\" + kProductProgram).c_str());
    if (program == INVALID_FILE_ATTRIBUTES || (program & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return PackOutcome::Refuse(folder + L" has no " + kProductProgram + L" at its top");
    }
    // The folder itself is no link, but the path to it may pass through
    // one: its files are checked against where the folder really lies.
    tn::UniqueFile handle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    const std::wstring finalPath = handle ? FinalPathOf(handle.get()) : std::wstring();
    if (finalPath.empty()) return PackOutcome::Fail(L"cannot tell where " + folder + L" lies " + ErrorText());
    opened->m_shownPath = folder;
    opened->m_path = path;
    opened->m_finalPath = finalPath;
    return PackOutcome::Done();
}

PackOutcome CProductFolder::List(std::vector<PackEntry>* entries) const
{
    entries->clear();
    return ListFolder(std::wstring(), entries);
}

PackOutcome CProductFolder::OpenFile(const PackEntry& entry, tn::UniqueFile* file) const
{
    const std::wstring name = WithBackslashes(entry.name);
    file->reset(CreateFileW((m_path + L"\\" + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file->valid()) return PackOutcome::Fail(L"cannot read " + name + L" " + ErrorText());
    // A link the listing did not show (Wine shows a link to a file as a
    // plain file), or one put in place since: the file opened is elsewhere.
    const std::wstring finalPath = FinalPathOf(file->get());
    if (finalPath.empty()) return PackOutcome::Fail(L"cannot tell where " + name + L" lies " + ErrorText());
    if (!SamePath(finalPath, m_finalPath + L"\\" + name)) {
        return PackOutcome::Refuse(m_shownPath + L"\\" + name + L" leads to " + WithoutExtendedPrefix(finalPath) +
                                   L"; tn-pack packs nothing from outside the product folder");
    }
    return PackOutcome::Done();
}

PackOutcome CProductFolder::ListFolder(const std::wstring& relative, std::vector<PackEntry>* entries) const
{
    WIN32_FIND_DATAW found;
    const std::wstring pattern = m_path + L"\\" + WithBackslashes(relative) + L"*";
    UniqueFind search(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                       FIND_FIRST_EX_LARGE_FETCH));
    if (!search.valid()) {
        return PackOutcome::Fail(L"cannot list " + m_shownPath + L"\\" + WithBackslashes(relative) + L" (error " +
                                 std::to_wstring(GetLastError()) + L")");
    }

    std::vector<PackEntry> files;
    std::vector<PackEntry> folders;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            return LinkRefusal(m_shownPath + L"\\" + WithBackslashes(relative) + name);
        }
        PackEntry entry;
        entry.folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.name = relative + name + (entry.folder ? L"/" : L"");
        entry.attributes = found.dwFileAttributes;
        entry.size = entry.folder ? 0 : (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        entry.modificationTime = FileTimeValue(found.ftLastWriteTime);
        (entry.folder ? folders : files).push_back(std::move(entry));
    } while (FindNextFileW(search.get(), &found));
    if (GetLastError() != ERROR_NO_MORE_FILES) {
        return PackOutcome::Fail(L"cannot list " + m_shownPath + L"\\" + WithBackslashes(relative) + L" (error " +
                                 std::to_wstring(GetLastError()) + L")");
    }
    search.reset();

    // The file system's order is its own; the archive's must not depend on it.
    const auto byName = [](const PackEntry& a, const PackEntry& b) { return a.name < b.name; };
    std::sort(files.begin(), files.end(), byName);
    std::sort(folders.begin(), folders.end(), byName);

    for (PackEntry& file : files) {
        const PackOutcome added = Add(std::move(file), entries);
        if (!added.ok()) return added;
    }
    for (PackEntry& folder : folders) {
        const std::wstring name = folder.name;
        const PackOutcome added = Add(std::move(folder), entries);
        if (!added.ok()) return added;
        const PackOutcome listed = ListFolder(name, entries);
        if (!listed.ok()) return listed;
    }
    return PackOutcome::Done();
}

PackOutcome CProductFolder::Add(PackEntry entry, std::vector<PackEntry>* entries) const
{
    // Counted as they come, so a folder far too large is refused early.
    if (!FitsEntryCount(entries->size() + 1)) {
        return PackOutcome::Refuse(L"more than " + std::to_wstring(kMaxArchiveEntries) +
                                   L" files and folders, more than a ZIP without its 64-bit extension holds");
    }
    const PackOutcome checked = Check(&entry);
    if (!checked.ok()) return checked;
    entries->push_back(std::move(entry));
    return PackOutcome::Done();
}

PackOutcome CProductFolder::Check(PackEntry* entry) const
{
    const std::wstring shown = WithBackslashes(entry->name);
    std::optional<std::string> stored = EncodeAnsiExactly(entry->name);
    if (!stored) {
        return PackOutcome::Refuse(shown + L": the name cannot be written in the system's code page " +
                                   std::to_wstring(AnsiCodePage()));
    }
    if (!IsWrittenAsNamed(entry->name)) {
        return PackOutcome::Refuse(shown + L": the installer would not write this name as it is");
    }
    if (!FitsUnderDefaultFolder(entry->name)) {
        return PackOutcome::Refuse(shown + L": its path under the default folder \"" +
                                   kDefaultInstallFolder + L"\" would pass 259 characters");
    }
    if (!FitsStoredName(stored->size())) {
        return PackOutcome::Refuse(shown + L": the name takes " + std::to_wstring(stored->size()) +
                                   L" bytes in code page " + std::to_wstring(AnsiCodePage()) +
                                   L"; the installer reads at most 259");
    }
    if (!FitsArchiveValue(entry->size)) {
        return PackOutcome::Refuse(shown + L": " + std::to_wstring(entry->size) +
                                   L" bytes, more than a ZIP without its 64-bit extension holds (4294967294 per file)");
    }
    entry->storedName = std::move(*stored);
    return PackOutcome::Done();
}
