#pragma once
// The installer's main window, dialog 102: a borderless pop-up skinned with
// images over a tiled background, the animated banner across its top. In
// install mode it waits for the user's install command; in update mode it
// starts the installation while it initialises. The worker (CInstall) shows
// its progress in the status text (1004) and the bar (1005) and ends the
// window's modal loop when it is done.

#include "controls/AnimationCtrl.h"
#include "controls/MyEditBrowseCtrl.h"
#include "controls/MyProgressCtrl.h"
#include "controls/PngStatic.h"
#include "engine/InstallWindow.h"
#include "framework/Controls.h"
#include "framework/WinThread.h"

// 1 at start (the user is taken to agree until the toggle says otherwise);
// written by the agreement toggle, read by the install command.
extern int g_bAgreed;

class CTNInstallerDlg : public CInstallWindow {
public:
    explicit CTNInstallerDlg(CWnd* pParent = nullptr);
    ~CTNInstallerDlg() override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnPaint();
    HCURSOR OnQueryDragIcon();
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnLButtonDown(UINT nFlags, CPoint point);

    HICON m_hIcon;
    CAnimationCtrl m_picAnimation;
    CStatic m_staticStatus;
    MyEditBrowseCtrl m_editFolder;
    CMyProgressCtrl m_progress;
    CPngStatic m_pngInstall;
    CPngStatic m_pngAgree;
    CStatic m_staticAgree;
    CStatic m_staticLicense;
    CPngStatic m_pngMinimize;
    CPngStatic m_pngClose;
    CPngStatic m_pngLogo;

private:
    void InitialiseInstallMode();
    void InitialiseUpdateMode(bool hasBar);
    // Moves every control of the mode from the banner's width.
    void LayOut(bool installMode);

    void OpenLicence();
    void ToggleAgreement();
    void StartInstallation();

    // The worker thread, waiting for its request; null if it cannot start.
    CWinThread* CreateWorker();
    // Posts the worker the request naming this window.
    void RequestInstallation(CWinThread* worker);

    // One worker a run: set once the request is posted.
    bool m_workerStarted = false;

    DECLARE_MESSAGE_MAP()
};
