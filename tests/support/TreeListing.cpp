// tn-tree: a folder's files and folders as Windows sees them, for the
// end-to-end tests that compare an installed tree with the product folder.
//
//   tn-tree list FOLDER              one UTF-8 line per file and folder below
//                                    FOLDER, in ordinal order of the names:
//                                    name ("\" separators, a folder's ending
//                                    in "\"), attributes (0x%02X: read-only,
//                                    hidden, system, folder, archive),
//                                    modification time (decimal file time;
//                                    0 for folders), size
//   tn-tree set-attributes PATH HEX  sets PATH's attributes
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "framework/Handles.h"

namespace {

constexpr DWORD kShownAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                   FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE;

struct FindTraits {
    using Handle = HANDLE;
    static Handle Null() { return INVALID_HANDLE_VALUE; }
    static void Release(Handle handle) { ::FindClose(handle); }
};

struct Item {
    std::wstring name;
    DWORD attributes;
    unsigned long long modified;
    unsigned long long size;
};

void ListInto(const std::wstring& root, const std::wstring& relative, std::vector<Item>* items)
{
    WIN32_FIND_DATAW found;
    tn::UniqueResource<FindTraits> search(::FindFirstFileW((root + relative + L"*").c_str(), &found));
    if (!search) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        Item item{relative + name + (folder ? L"\\" : L""), found.dwFileAttributes & kShownAttributes, 0, 0};
        if (!folder) {
            item.modified = (static_cast<unsigned long long>(found.ftLastWriteTime.dwHighDateTime) << 32) |
                            found.ftLastWriteTime.dwLowDateTime;
            item.size = (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        }
        items->push_back(item);
        if (folder) ListInto(root, item.name, items);
    } while (::FindNextFileW(search.get(), &found));
}

void PrintUtf8(const std::wstring& text)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    if (size <= 0) return;
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && std::wcscmp(argv[1], L"list") == 0) {
        std::wstring root = argv[2];
        if (root.empty() || root.back() != L'\\') root += L'\\';
        std::vector<Item> items;
        ListInto(root, L"", &items);
        std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.name < b.name; });
        for (const Item& item : items) {
            wchar_t numbers[96];
            swprintf(numbers, 96, L"\t0x%02lX\t%llu\t%llu\n", item.attributes, item.modified, item.size);
            PrintUtf8(item.name + numbers);
        }
        return 0;
    }
    if (argc == 4 && std::wcscmp(argv[1], L"set-attributes") == 0) {
        const DWORD attributes = std::wcstoul(argv[3], nullptr, 16);
        return ::SetFileAttributesW(argv[2], attributes) ? 0 : 1;
    }
    fputs("usage: tn-tree list FOLDER | tn-tree set-attributes PATH HEX\n", stderr);
    return 2;
}
