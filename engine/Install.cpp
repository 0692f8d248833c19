#include "engine/Install.h"

#include "app/CommandLine.h"
#include "app/RunningProduct.h"
#include "engine/FullInstallation.h"
#include "engine/InstallWindow.h"
#include "engine/LaunchProduct.h"
#include "engine/PayloadExtraction.h"
#include "engine/TargetFolderLock.h"
#include "engine/WindowLease.h"
#include "framework/WinApp.h"
#include "res/resource.h"

IMPLEMENT_DYNCREATE(CInstall, CWinThread)

BEGIN_MESSAGE_MAP(CInstall, CWinThread)
    ON_THREAD_MESSAGE(WM_START_INSTALL, OnStartInstall)
END_MESSAGE_MAP()

BOOL CInstall::InitInstance()
{
    return TRUE;
}

void PostQuitToWindow(HWND window)
{
    // The last thing the worker does with the window: after this the window
    // may go away at any moment.
    WindowLease::Release();
    ::PostMessageW(window, WM_QUIT, 0, 0);
}

void CInstall::OnStartInstall(WPARAM wParam, LPARAM)
{
    CInstallWindow* window = reinterpret_cast<CInstallWindow*>(wParam);
    CommandLinePieces pieces = ParseCommandLine(AfxGetApp()->m_lpCmdLine);

    // Install mode: the folder box holds the target, and the path is the full one.
    if (pieces.firstPiece.empty()) {
        pieces.secondPiece = L"offline";
        pieces.firstPiece = CWnd::GetWindowText(::GetDlgItem(window->m_hWnd, IDC_FOLDER));
    }

    if (!pieces.secondPiece.empty()) {
        RunFullInstallation(pieces.firstPiece, window);  // ends the thread
    }

    const HWND windowHandle = window->m_hWnd;
    TargetFolderLock lock(pieces.firstPiece);
    if (lock.WaitedForAnother()) EndRunningProductCopies();
    if (ExtractPayload(pieces.firstPiece, window)) {
        LaunchProduct(pieces.firstPiece);
    }
    lock.Release();
    PostQuitToWindow(windowHandle);
}
