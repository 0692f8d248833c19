#pragma once
// The installer's main window, dialog 102.

#include "controls/AnimationCtrl.h"
#include "engine/InstallWindow.h"
#include "framework/Controls.h"
#include "framework/EditBrowseCtrl.h"
#include "framework/WinThread.h"

class CTNInstallerDlg : public CInstallWindow {
public:
    explicit CTNInstallerDlg(CWnd* pParent = nullptr);
    ~CTNInstallerDlg() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnPaint();
    HCURSOR OnQueryDragIcon();

    HICON m_hIcon;
    CAnimationCtrl m_picAnimation;
    CStatic m_staticStatus;
    CMFCEditBrowseCtrl m_editFolder;
    CProgressCtrl m_progress;
    CStatic m_pngInstall;
    CStatic m_pngAgree;
    CStatic m_staticAgree;
    CStatic m_staticLicense;
    CStatic m_pngMinimize;
    CStatic m_pngClose;
    CStatic m_pngLogo;

private:
    void InitialiseInstallMode();
    void InitialiseUpdateMode(bool hasBar);
    // The worker thread, waiting for its request; null if it cannot start.
    CWinThread* CreateWorker();
    // Posts the worker the request naming this window.
    void RequestInstallation(CWinThread* worker);
    // Places the window from the banner's width.
    void LayOutWindow();

    DECLARE_MESSAGE_MAP()
};
