#pragma once
// The application object: saves the installer's own name, starts GDI+ and
// runs the main window modally; the process ends when that window's loop ends.

#include <windows.h>
#include <gdiplus.h>

#include "framework/WinApp.h"

class CTNInstallerApp : public CWinApp {
public:
    CTNInstallerApp();
    ~CTNInstallerApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    Gdiplus::GdiplusStartupInput m_gdiplusStartupInput;
    ULONG_PTR m_gdiplusToken = 0;

    DECLARE_MESSAGE_MAP()
};
