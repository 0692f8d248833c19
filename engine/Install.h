#pragma once
// The installation worker: a user-interface thread that takes one request,
// WM_START_INSTALL with the window as wParam, and runs the whole install
// procedure on its own thread while the window keeps pumping messages.

#include <string>

#include "framework/WinThread.h"

class CInstallWindow;

// The worker's one request, posted to its thread; wParam is the window.
constexpr UINT WM_START_INSTALL = WM_APP + 2;

class CInstall : public CWinThread {
    DECLARE_DYNCREATE(CInstall)

public:
    CInstall() = default;
    BOOL InitInstance() override;

protected:
    void OnStartInstall(WPARAM window, LPARAM);

    DECLARE_MESSAGE_MAP()
};

// Asks the window's modal loop to end: WM_QUIT posted to its handle.
void PostQuitToWindow(HWND window);
