#pragma once
// The application object: one static instance, started by the framework's
// entry point, which calls InitInstance and, when it returns FALSE,
// ExitInstance, and then ends the process.

#include <string>

#include "framework/WinThread.h"

// The framework's standard help command.
constexpr UINT ID_HELP = 0xE146;

class CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)

public:
    explicit CWinApp(const wchar_t* lpszAppName = nullptr);
    ~CWinApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // The standard help command; the program ships no help file.
    void OnHelp() {}

    // Profile settings would go under HKCU\Software\<key>; nothing is stored.
    void SetRegistryKey(const wchar_t* lpszRegistryKey);

    HINSTANCE m_hInstance = nullptr;
    // Everything after the program's name, as the runtime passes it.
    const wchar_t* m_lpCmdLine = L"";
    // The program's own file name without folder and extension.
    const wchar_t* m_pszExeName = L"";
    const wchar_t* m_pszRegistryKey = nullptr;
    const wchar_t* m_pszAppName = nullptr;

    // Called once by the entry point before InitInstance.
    void SetCurrentHandles(HINSTANCE instance, const std::wstring& fullCommandLine);

private:
    std::wstring m_commandLine;
    std::wstring m_exeName;
    std::wstring m_registryKey;
    std::wstring m_appName;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE instance);
CWnd* AfxGetMainWnd();
// A message box captioned with the application's name (the executable's
// name when there is no application object), owned by the thread's active
// window or else the main window.
int AfxMessageBox(const wchar_t* lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);

int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);
