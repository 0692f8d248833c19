#pragma once
// The installer's main window, dialog 102.

#include "engine/InstallWindow.h"
#include "framework/Controls.h"
#include "framework/EditBrowseCtrl.h"

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
    CStatic m_picAnimation;
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
    // Creates the worker and posts it the request naming this window.
    void StartWorker();

    DECLARE_MESSAGE_MAP()
};
