#pragma once
// The installer's main window, dialog 102.

#include "controls/AnimationCtrl.h"
#include "controls/MyEditBrowseCtrl.h"
#include "controls/MyProgressCtrl.h"
#include "controls/PngStatic.h"
#include "engine/InstallWindow.h"
#include "framework/Controls.h"
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
    // The worker thread, waiting for its request; null if it cannot start.
    CWinThread* CreateWorker();
    // Posts the worker the request naming this window.
    void RequestInstallation(CWinThread* worker);
    // Places the window from the banner's width.
    void LayOutWindow();

    DECLARE_MESSAGE_MAP()
};
