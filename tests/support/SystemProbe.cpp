// tn-system-probe: reads what an installation registered, through the
// Windows API, for the end-to-end tests. Output is UTF-8, one item a line.
//
//   tn-system-probe shortcut PATH        target, working folder, show command
//                                        and arguments of the shell link
//   tn-system-probe key 32|64 PATH       each value under HKLM\PATH in that
//                                        registry view: name, type, byte
//                                        count, data; exit 1 when the key
//                                        does not exist
//   tn-system-probe delete-key 32|64 PATH
//   tn-system-probe desktop              the desktop folder
//   tn-system-probe mac                  the first adapter's address as the
//                                        installer writes it, or nothing
//   tn-system-probe rename FROM TO       MoveFileW; prints the system's error
//                                        number and exits 1 when it fails
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "framework/Handles.h"
#include "report/MacAddress.h"

using Microsoft::WRL::ComPtr;

namespace {

void PrintUtf8(const std::wstring& text)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), stdout);
    fputc('\n', stdout);
}

int Shortcut(const wchar_t* path)
{
    tn::ScopedComInitialization com;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&file)) || FAILED(file->Load(path, STGM_READ))) {
        return 1;
    }
    wchar_t text[MAX_PATH * 2] = {};
    int showCommand = 0;
    (void)link->GetPath(text, ARRAYSIZE(text), nullptr, SLGP_RAWPATH);
    PrintUtf8(std::wstring(L"target\t") + text);
    text[0] = L'\0';
    (void)link->GetWorkingDirectory(text, ARRAYSIZE(text));
    PrintUtf8(std::wstring(L"working-folder\t") + text);
    (void)link->GetShowCmd(&showCommand);
    PrintUtf8(L"show-command\t" + std::to_wstring(showCommand));
    text[0] = L'\0';
    (void)link->GetArguments(text, ARRAYSIZE(text));
    PrintUtf8(std::wstring(L"arguments\t") + text);
    return 0;
}

REGSAM View(const wchar_t* bits)
{
    return wcscmp(bits, L"32") == 0 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

int Key(const wchar_t* bits, const wchar_t* path)
{
    tn::UniqueHKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | View(bits), key.put()) != ERROR_SUCCESS) return 1;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = ARRAYSIZE(name);
        DWORD type = 0;
        BYTE data[4096];
        DWORD size = sizeof(data);
        if (::RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        std::wstring text;
        if (type == REG_SZ) text.assign(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t));
        // The data as stored: a terminator the writer left out is not added.
        std::wstring line = std::wstring(name) + L"\t" + std::to_wstring(type) + L"\t" + std::to_wstring(size) + L"\t";
        for (wchar_t c : text) line += c == L'\0' ? std::wstring(L"\\0") : std::wstring(1, c);
        PrintUtf8(line);
    }
    return 0;
}

int DeleteKey(const wchar_t* bits, const wchar_t* path)
{
    const LSTATUS status = ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path, View(bits), 0);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? 0 : 1;
}

int Desktop()
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path))) return 1;
    PrintUtf8(path);
    return 0;
}

int Rename(const wchar_t* from, const wchar_t* to)
{
    if (::MoveFileW(from, to)) return 0;
    PrintUtf8(std::to_wstring(::GetLastError()));
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && wcscmp(argv[1], L"shortcut") == 0) return Shortcut(argv[2]);
    if (argc == 4 && wcscmp(argv[1], L"key") == 0) return Key(argv[2], argv[3]);
    if (argc == 4 && wcscmp(argv[1], L"delete-key") == 0) return DeleteKey(argv[2], argv[3]);
    if (argc == 2 && wcscmp(argv[1], L"desktop") == 0) return Desktop();
    if (argc == 4 && wcscmp(argv[1], L"rename") == 0) return Rename(argv[2], argv[3]);
    if (argc == 2 && wcscmp(argv[1], L"mac") == 0) {
        PrintUtf8(GetMacAddress());
        return 0;
    }
    fwprintf(stderr, L"usage: tn-system-probe shortcut PATH | key 32|64 PATH | delete-key 32|64 PATH | desktop | mac | rename FROM TO\n");
    return 2;
}
