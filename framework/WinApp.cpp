#include "framework/WinApp.h"

#include <windows.h>
#include <commctrl.h>

#include "framework/EditBrowseCtrl.h"
#include "framework/ProgramNames.h"
#include "framework/Wnd.h"

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace {
CWinApp* g_application = nullptr;
HINSTANCE g_resourceHandle = nullptr;
}

CWinApp::CWinApp(const wchar_t* lpszAppName)
{
    g_application = this;
    if (lpszAppName != nullptr) {
        m_appName = lpszAppName;
        m_pszAppName = m_appName.c_str();
    }
}

CWinApp::~CWinApp()
{
    if (g_application == this) g_application = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

void CWinApp::SetRegistryKey(const wchar_t* lpszRegistryKey)
{
    m_registryKey = lpszRegistryKey != nullptr ? lpszRegistryKey : L"";
    m_pszRegistryKey = m_registryKey.c_str();
}

void CWinApp::SetCurrentHandles(HINSTANCE instance, const std::wstring& fullCommandLine)
{
    m_hInstance = instance;
    m_commandLine = ArgumentsAfterProgramName(fullCommandLine);
    m_lpCmdLine = m_commandLine.c_str();

    // Path buffers hold 260 units, as everywhere in the program.
    wchar_t modulePath[MAX_PATH] = {};
    ::GetModuleFileNameW(instance, modulePath, MAX_PATH);
    m_exeName = ExecutableNameFromPath(modulePath);
    m_pszExeName = m_exeName.c_str();
    if (m_pszAppName == nullptr) m_pszAppName = m_pszExeName;
}

CWinApp* AfxGetApp()
{
    return g_application;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_application != nullptr && g_application->m_hInstance != nullptr ? g_application->m_hInstance
                                                                               : ::GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return g_resourceHandle != nullptr ? g_resourceHandle : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE instance)
{
    g_resourceHandle = instance;
}

CWnd* AfxGetMainWnd()
{
    if (CWinThread* thread = AfxGetThread(); thread != nullptr && thread->m_pMainWnd != nullptr) {
        return thread->m_pMainWnd;
    }
    return g_application != nullptr ? g_application->m_pMainWnd : nullptr;
}

int AfxMessageBox(const wchar_t* lpszText, UINT nType, UINT)
{
    std::wstring caption;
    if (g_application != nullptr && g_application->m_pszAppName != nullptr) {
        caption = g_application->m_pszAppName;
    } else {
        wchar_t modulePath[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, modulePath, MAX_PATH);
        caption = ExecutableNameFromPath(modulePath);
    }
    HWND owner = ::GetActiveWindow();
    if (owner == nullptr) {
        CWnd* mainWindow = AfxGetMainWnd();
        owner = mainWindow != nullptr ? mainWindow->m_hWnd : nullptr;
    }
    return ::MessageBoxW(owner, lpszText, caption.c_str(), nType);
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int)
{
    CWinApp* application = AfxGetApp();
    if (application == nullptr) return -1;
    application->SetCurrentHandles(hInstance, ::GetCommandLineW());

    // The dialog templates use the progress bar and the edit-browse box.
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    CMFCEditBrowseCtrl::RegisterWindowClass(hInstance);

    if (!application->InitInstance()) {
        if (application->m_pMainWnd != nullptr) application->m_pMainWnd->DestroyWindow();
        return application->ExitInstance();
    }
    return application->Run();
}
