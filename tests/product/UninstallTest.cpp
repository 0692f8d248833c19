// The stand-in uninstaller removes what an installation wrote: the files and
// folders beside it, the desktop shortcut and its all-users copy, and both
// uninstall keys; other files and keys stay.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/archive/ScratchFolder.h"

namespace {

const wchar_t kCommonProgramsShortcut[] = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tarnivo 2.0.lnk";
const wchar_t* const kUninstallKeys[] = {
    L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarnivo2.0",
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarnivo2.0",
};
const wchar_t kNeighbourKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TarnivoNeighbour";

std::wstring DesktopShortcut()
{
    wchar_t desktop[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop);
    return std::wstring(desktop) + L"\\Tarnivo 2.0.lnk";
}

bool KeyExists(const wchar_t* path)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

void CreateKey(const wchar_t* path)
{
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const wchar_t name[] = L"Tarnivo2.0";
    ::RegSetValueExW(key, L"DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name), sizeof(name) - 2);
    ::RegCloseKey(key);
}

int RunToExit(const std::wstring& program)
{
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (!::CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &started)) {
        return -1;
    }
    ::WaitForSingleObject(started.hProcess, 60000);
    DWORD exitCode = 0;
    ::GetExitCodeProcess(started.hProcess, &exitCode);
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    return static_cast<int>(exitCode);
}

TEST(Uninstall, RemovesWhatAnInstallationWroteAndNothingElse)
{
    ScratchFolder scratch;
    const std::wstring installed = scratch.Path(L"Tarnivo");
    const std::wstring elsewhere = scratch.Path(L"elsewhere.txt");
    ASSERT_TRUE(::CreateDirectoryW(installed.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((installed + L"\\html").c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(installed + L"\\Tarnivo.exe", "program"));
    ASSERT_TRUE(WriteWholeFile(installed + L"\\html\\index.html", "<html></html>"));
    ASSERT_TRUE(WriteWholeFile(installed + L"\\readonly.dat", "kept safe"));
    ::SetFileAttributesW((installed + L"\\readonly.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(WriteWholeFile(elsewhere, "not the product's"));

    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring uninstaller = self;
    uninstaller = uninstaller.substr(0, uninstaller.find_last_of(L'\\')) + L"\\uninstall.exe";
    ASSERT_TRUE(::CopyFileW(uninstaller.c_str(), (installed + L"\\uninstall.exe").c_str(), FALSE));

    ASSERT_TRUE(WriteWholeFile(DesktopShortcut(), "shortcut"));
    ::SHCreateDirectoryExW(nullptr, L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs", nullptr);
    ASSERT_TRUE(WriteWholeFile(kCommonProgramsShortcut, "shortcut"));
    for (const wchar_t* key : kUninstallKeys) CreateKey(key);
    CreateKey(kNeighbourKey);

    EXPECT_EQ(RunToExit(installed + L"\\uninstall.exe"), 0);

    // A running program cannot delete itself; it is left for the next restart.
    EXPECT_EQ(ListTree(installed), (std::set<std::wstring>{L"uninstall.exe"}));
    EXPECT_FALSE(Exists(DesktopShortcut()));
    EXPECT_FALSE(Exists(kCommonProgramsShortcut));
    for (const wchar_t* key : kUninstallKeys) EXPECT_FALSE(KeyExists(key)) << "key left";
    EXPECT_TRUE(KeyExists(kNeighbourKey));
    EXPECT_TRUE(Exists(elsewhere));
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kNeighbourKey);
}

}  // namespace
