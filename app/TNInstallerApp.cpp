#include "app/TNInstallerApp.h"

#include "app/SubChannel.h"
#include "engine/WindowLease.h"
#include "framework/ShellManager.h"
#include "framework/VisualManager.h"
#include "ui/TNInstallerDlg.h"

// The one application object, constructed before the entry point runs.
CTNInstallerApp theApp;

BEGIN_MESSAGE_MAP(CTNInstallerApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

namespace {
const wchar_t kRegistryKey[] = L"应用程序向导生成的本地应用程序";
}

CTNInstallerApp::CTNInstallerApp()
{
    // Version 1, no debug callback, background thread and external codecs not suppressed.
    m_gdiplusStartupInput.GdiplusVersion = 1;
    m_gdiplusStartupInput.DebugEventCallback = nullptr;
    m_gdiplusStartupInput.SuppressBackgroundThread = FALSE;
    m_gdiplusStartupInput.SuppressExternalCodecs = FALSE;
}

CTNInstallerApp::~CTNInstallerApp() = default;

BOOL CTNInstallerApp::InitInstance()
{
    CWinApp::InitInstance();
    g_strSubChannel = m_pszExeName;

    CShellManager* shellManager = new CShellManager;
    CMFCVisualManager::SetDefaultManager(RUNTIME_CLASS(CMFCVisualManagerWindows));
    SetRegistryKey(kRegistryKey);
    (void)Gdiplus::GdiplusStartup(&m_gdiplusToken, &m_gdiplusStartupInput, nullptr);

    CTNInstallerDlg dialog;
    m_pMainWnd = &dialog;
    (void)dialog.DoModal();

    delete shellManager;
    if (WindowLease::Held()) {
        // The user ended the window while the worker still uses it: end the
        // process now, before the window object goes away.
        ::ExitProcess(static_cast<UINT>(ExitInstance()));
    }
    return FALSE;
}

int CTNInstallerApp::ExitInstance()
{
    Gdiplus::GdiplusShutdown(m_gdiplusToken);
    return CWinApp::ExitInstance();
}
