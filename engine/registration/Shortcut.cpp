#include "engine/registration/Registration.h"

#include <windows.h>
#include <shlobj.h>
#include <shellapi.h>
#include <wrl/client.h>

#include "engine/ProductFiles.h"
#include "framework/Handles.h"

using Microsoft::WRL::ComPtr;

namespace {

const wchar_t kShortcutFile[] = L"\\Tarnivo 2.0.lnk";
// A fixed path, not looked up: where the all-users Programs folder is on
// every system the product supports.
const wchar_t kCommonProgramsShortcut[] = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tarnivo 2.0.lnk";

// The desktop folder, or empty when the shell cannot name it; the shortcut
// then goes to the root of the current drive.
std::wstring DesktopFolder()
{
    tn::UniqueCoTaskMem itemList;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, reinterpret_cast<PIDLIST_ABSOLUTE*>(itemList.put())))) {
        return std::wstring();
    }
    wchar_t path[MAX_PATH] = {};
    (void)::SHGetPathFromIDListW(static_cast<PCIDLIST_ABSOLUTE>(itemList.get()), path);
    return path;
}

}  // namespace

std::wstring CreateDesktopShortcut(const std::wstring& folder)
{
    // COM lives only around the shortcut; the owners below are released
    // before it is uninitialised.
    tn::ScopedComInitialization com;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link)))) {
        (void)link.As(&file);
    }
    if (link && file) {
        (void)link->SetPath((folder + kProductProgramFile).c_str());
        (void)link->SetWorkingDirectory(folder.c_str());
        (void)link->SetShowCmd(SW_SHOWNORMAL);
    }

    const std::wstring shortcut = DesktopFolder() + kShortcutFile;
    if (link && file) (void)file->Save(shortcut.c_str(), TRUE);
    return shortcut;
}

void PinShortcut(const std::wstring& path)
{
    // Shells without these verbs do nothing with them; the results say nothing useful.
    (void)::ShellExecuteW(nullptr, L"TaskBarPin", path.c_str(), nullptr, nullptr, SW_SHOW);
    (void)::ShellExecuteW(nullptr, L"StartPin", path.c_str(), nullptr, nullptr, SW_SHOW);
}

void CopyShortcutToCommonPrograms(const std::wstring& path)
{
    // Fail if it exists: a copy from an earlier installation stays.
    (void)::CopyFileW(path.c_str(), kCommonProgramsShortcut, TRUE);
}
