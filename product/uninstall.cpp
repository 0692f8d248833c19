// The stand-in uninstaller: removes what an installation wrote (everything
// under its own folder, the desktop shortcut and its all-users copy, both
// uninstall keys) and then itself, as far as Windows allows a running
// program to.
#include <windows.h>
#include <shlobj.h>

#include <string>

namespace {

const wchar_t kShortcutName[] = L"\\Tarnivo 2.0.lnk";
const wchar_t kCommonProgramsShortcut[] = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tarnivo 2.0.lnk";
const wchar_t* const kUninstallKeys[] = {
    L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarnivo2.0",
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarnivo2.0",
};

void DeleteFileEvenReadOnly(const std::wstring& path)
{
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
}

// Removes everything under folder except the file named keep.
void DeleteContents(const std::wstring& folder, const std::wstring& keep)
{
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            DeleteContents(path, keep);
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::RemoveDirectoryW(path.c_str());
        } else if (lstrcmpiW(path.c_str(), keep.c_str()) != 0) {
            DeleteFileEvenReadOnly(path);
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

std::wstring DesktopFolder()
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return path;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder = self;
    folder.erase(folder.find_last_of(L'\\'));

    DeleteContents(folder, self);
    if (const std::wstring desktop = DesktopFolder(); !desktop.empty()) DeleteFileEvenReadOnly(desktop + kShortcutName);
    DeleteFileEvenReadOnly(kCommonProgramsShortcut);
    for (const wchar_t* key : kUninstallKeys) ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, key);

    // A running program cannot delete its own file: leave it and its folder
    // to the next restart.
    ::MoveFileExW(self, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    ::MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return 0;
}
