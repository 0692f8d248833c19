#include "ui/TNInstallerDlg.h"

#include "app/CommandLine.h"
#include "app/DefaultInstallFolder.h"
#include "app/RunningProduct.h"
#include "controls/PngImage.h"
#include "engine/Install.h"
#include "engine/WindowLease.h"
#include "framework/WinApp.h"
#include "report/InstallEvent.h"
#include "report/MacAddress.h"
#include "res/resource.h"
#include "ui/DialogP.h"
#include "ui/MainWindowLayout.h"

int g_bAgreed = 1;

BEGIN_MESSAGE_MAP(CTNInstallerDlg, CInstallWindow)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_CTLCOLOR()
    ON_WM_SYSCOMMAND()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

namespace {
const wchar_t kFirstInstallText[] = L"安装中. . .    0%";
const wchar_t kFirstUpdateText[] = L"版本更新中. . .    0%";
const wchar_t kBannerType[] = L"GIF";
// The licence link's colour.
constexpr COLORREF kLinkColour = RGB(93, 182, 234);

LayoutSize ClientSize(const CWnd& control)
{
    RECT client;
    control.GetClientRect(&client);
    return {client.right - client.left, client.bottom - client.top};
}

void Move(CWnd& control, const LayoutRect& rect)
{
    control.MoveWindow(rect.x, rect.y, rect.width, rect.height, TRUE);
}
}  // namespace

CTNInstallerDlg::CTNInstallerDlg(CWnd* pParent)
    : CInstallWindow(IDD_TNINSTALLER_DIALOG, pParent),
      m_hIcon(::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME)))
{
}

CTNInstallerDlg::~CTNInstallerDlg() = default;

void CTNInstallerDlg::DoDataExchange(CDataExchange* pDX)
{
    CInstallWindow::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ANIMATION, m_picAnimation);
    DDX_Control(pDX, IDC_STATUS, m_staticStatus);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
    DDX_Control(pDX, IDC_INSTALL, m_pngInstall);
    DDX_Control(pDX, IDC_AGREE_TOGGLE, m_pngAgree);
    DDX_Control(pDX, IDC_AGREE_TEXT, m_staticAgree);
    DDX_Control(pDX, IDC_LICENSE_LINK, m_staticLicense);
    DDX_Control(pDX, IDC_FOLDER, m_editFolder);
    DDX_Control(pDX, IDC_MINIMIZE, m_pngMinimize);
    DDX_Control(pDX, IDC_CLOSE, m_pngClose);
    DDX_Control(pDX, IDC_LOGO, m_pngLogo);
}

BOOL CTNInstallerDlg::OnInitDialog()
{
    CInstallWindow::OnInitDialog();
    // Before any thread of the program starts: the adapter list read after
    // another thread has ended crashes 32-bit Wine under qemu-user.
    m_strMac = GetMacAddress();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    SetBackgroundImage(IDB_BACKGROUND, BACKGR_TILE, TRUE, TRUE);
    m_progress.SetRange(0, 100);
    m_progress.SetPos(0);
    m_progress.SetImageSource(AfxGetInstanceHandle());

    const CommandLinePieces pieces = ParseCommandLine(AfxGetApp()->m_lpCmdLine);
    if (pieces.mode == RunMode::Install) InitialiseInstallMode();
    else InitialiseUpdateMode(pieces.hasBar);
    return TRUE;
}

void CTNInstallerDlg::InitialiseInstallMode()
{
    // The images stay loaded until the process ends, right after the window.
    m_pngLogo.m_pImage = LoadPngImage(IDB_LOGO);
    m_pngLogo.SetParent(&m_picAnimation);
    m_pngClose.m_pImage = LoadPngImage(IDB_CLOSE);
    m_pngClose.SetParent(&m_picAnimation);
    m_pngMinimize.m_pImage = LoadPngImage(IDB_MINIMIZE);
    m_pngMinimize.SetParent(&m_picAnimation);
    m_pngInstall.m_pImage = LoadPngImage(IDB_INSTALL_ON);
    m_pngAgree.m_pImage = LoadPngImage(IDB_AGREE_ON);
    m_editFolder.m_pButtonImage = LoadPngImage(IDB_BROWSE_FACE);
    m_editFolder.SetWindowText(kDefaultInstallFolder);
    m_progress.ShowWindow(SW_HIDE);
    m_staticStatus.ShowWindow(SW_HIDE);
    TerminateRunningProduct();
    (void)m_picAnimation.LoadGifResource(IDR_BANNER_GIF, kBannerType);  // a banner that fails leaves the window 0 x 0
    m_picAnimation.StartAnimation();
    LayOut(true);
}

void CTNInstallerDlg::InitialiseUpdateMode(bool hasBar)
{
    m_staticStatus.SetWindowText(hasBar ? kFirstInstallText : kFirstUpdateText);
    TerminateRunningProduct();
    (void)m_picAnimation.LoadGifResource(IDR_BANNER_GIF, kBannerType);
    CWinThread* worker = CreateWorker();
    m_picAnimation.StartAnimation();
    LayOut(false);
    if (worker != nullptr) RequestInstallation(worker);
}

void CTNInstallerDlg::LayOut(bool installMode)
{
    MainWindowControlSizes sizes;
    sizes.status = ClientSize(m_staticStatus);
    sizes.install = ClientSize(m_pngInstall);
    sizes.folder = ClientSize(m_editFolder);
    sizes.toggle = ClientSize(m_pngAgree);
    sizes.agreeText = ClientSize(m_staticAgree);
    sizes.licenceLink = ClientSize(m_staticLicense);
    const MainWindowLayout layout = LayOutMainWindow(m_picAnimation.m_canvasSize.width, sizes);

    // In screen coordinates: the window opens at the screen's top-left corner.
    Move(*this, layout.window);
    if (installMode) {
        Move(m_pngClose, layout.close);
        Move(m_pngMinimize, layout.minimise);
    }
    Move(m_progress, layout.progress);
    Move(m_staticStatus, layout.status);
    if (!installMode) return;
    Move(m_pngInstall, layout.install);
    Move(m_editFolder, layout.folder);
    Move(m_pngAgree, layout.toggle);
    Move(m_staticAgree, layout.agreeText);
    Move(m_staticLicense, layout.licenceLink);
}

BOOL CTNInstallerDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) != 0) return CInstallWindow::OnCommand(wParam, lParam);
    switch (LOWORD(wParam)) {
    case IDC_LICENSE_LINK:
        OpenLicence();
        break;
    case IDC_AGREE_TOGGLE:
        ToggleAgreement();
        break;
    case IDC_INSTALL:
        if (g_bAgreed != 0) StartInstallation();
        break;
    default:
        // Enter and Esc (IDOK, IDCANCEL) and the system close command end
        // here: the window closes only through its close button's question
        // or the worker's quit message.
        break;
    }
    return TRUE;
}

void CTNInstallerDlg::OpenLicence()
{
    CDialogP licence;
    (void)licence.DoModal();
}

void CTNInstallerDlg::ToggleAgreement()
{
    // The imageless toggle of an update-mode run does nothing.
    if (m_workerStarted) return;
    // Each click loads fresh images; the ones replaced are not released.
    if (g_bAgreed == 0) {
        m_pngInstall.m_pImage = LoadPngImage(IDB_INSTALL_ON);
        m_pngAgree.m_pImage = LoadPngImage(IDB_AGREE_ON);
        g_bAgreed = 1;
    } else {
        m_pngInstall.m_pImage = LoadPngImage(IDB_INSTALL_OFF);
        m_pngAgree.m_pImage = LoadPngImage(IDB_AGREE_OFF);
        g_bAgreed = 0;
    }
    m_pngAgree.InvalidateRect(nullptr, TRUE);
    m_pngInstall.InvalidateRect(nullptr, TRUE);
}

void CTNInstallerDlg::StartInstallation()
{
    // One worker a run, whichever mode started it.
    if (m_workerStarted) return;
    m_editFolder.ShowWindow(SW_HIDE);
    m_pngAgree.ShowWindow(SW_HIDE);
    m_staticAgree.ShowWindow(SW_HIDE);
    m_staticLicense.ShowWindow(SW_HIDE);
    m_pngInstall.ShowWindow(SW_HIDE);
    m_progress.ShowWindow(SW_SHOW);
    m_staticStatus.ShowWindow(SW_SHOW);
    m_staticStatus.SetWindowText(kFirstInstallText);
    CWinThread* worker = CreateWorker();
    if (worker != nullptr) RequestInstallation(worker);
    // On this thread, each waiting for its transfer; the worker waits at its
    // next progress change meanwhile. Their results are not looked at.
    ReportInstallEvent(InstallEventCode::S2_d01, m_strMac);
    ReportInstallEvent(InstallEventCode::S2_d02, m_strMac);
    ReportInstallEvent(InstallEventCode::S2_i04, m_strMac);
}

CWinThread* CTNInstallerDlg::CreateWorker()
{
    return AfxBeginThread(RUNTIME_CLASS(CInstall), THREAD_PRIORITY_NORMAL, 0, 0, nullptr);
}

void CTNInstallerDlg::RequestInstallation(CWinThread* worker)
{
    m_workerStarted = true;
    WindowLease::Take();
    ::PostThreadMessageW(worker->m_nThreadID, WM_START_INSTALL,
                         reinterpret_cast<WPARAM>(static_cast<CInstallWindow*>(this)), 0);
}

void CTNInstallerDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    RECT client;
    GetClientRect(&client);
    const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc.GetSafeHdc(), x, y, m_hIcon);
}

HCURSOR CTNInstallerDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

HBRUSH CTNInstallerDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH brush = CInstallWindow::OnCtlColor(pDC, pWnd, nCtlColor);
    if (pWnd != nullptr && pWnd->GetDlgCtrlID() == IDC_LICENSE_LINK) ::SetTextColor(pDC->GetSafeHdc(), kLinkColour);
    return brush;
}

void CTNInstallerDlg::OnSysCommand(UINT, LPARAM)
{
    Default();
}

void CTNInstallerDlg::OnLButtonDown(UINT, CPoint point)
{
    // As if the caption were pressed: the system moves the window with the mouse.
    PostMessage(WM_NCLBUTTONDOWN, HTCAPTION,
                MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y)));
    Default();
}
