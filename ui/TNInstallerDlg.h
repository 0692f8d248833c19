#pragma once
// The installer's main window, dialog 102.

#include "controls/MyEditBrowseCtrl.h"
#include "controls/MyProgressCtrl.h"
#include "controls/PngStatic.h"
#include "engine/InstallWindow.h"
#include "framework/Controls.h"

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
    // Creates the worker and posts it the request naming this window.
    void StartWorker();

    DECLARE_MESSAGE_MAP()
};
