#include "engine/FullInstallation.h"

#include "app/RunningProduct.h"

#include <windows.h>

#include "engine/Install.h"
#include "engine/InstallWindow.h"
#include "engine/LaunchProduct.h"
#include "engine/PayloadExtraction.h"
#include "engine/ProtectedFolder.h"
#include "engine/TargetFolderLock.h"
#include "engine/registration/Registration.h"
#include "report/InstallEvent.h"

void CreateParentFolders(const std::wstring& path)
{
    std::wstring::size_type separator = path.find(L'\\');
    if (separator == std::wstring::npos) return;
    while ((separator = path.find(L'\\', separator + 1)) != std::wstring::npos) {
        (void)CreateProtectedFolder(path.substr(0, separator));
    }
}

void RunFullInstallation(const std::wstring& folder, CInstallWindow* window)
{
    const HWND windowHandle = window->m_hWnd;
    const std::wstring mac = window->m_strMac;

    TargetFolderLock lock(folder);
    // Its files must be free before anything is written, as at the start.
    if (lock.WaitedForAnother()) EndRunningProductCopies();
    CreateParentFolders(folder);
    // The steps after it run whether every entry was extracted or not.
    (void)ExtractPayload(folder, window);
    const std::wstring shortcut = CreateDesktopShortcut(folder);
    PinShortcut(shortcut);
    CopyShortcutToCommonPrograms(shortcut);
    WriteUninstallEntry(folder);
    LaunchProduct(folder);
    ReportInstallEvent(InstallEventCode::S2_i05, mac);
    // The thread ends below without unwinding: let go by hand.
    lock.Release();
    PostQuitToWindow(windowHandle);
    AfxEndThread(0, TRUE);
}
