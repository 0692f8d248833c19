#include "ui/TNInstallerDlg.h"

#include "app/CommandLine.h"
#include "app/DefaultInstallFolder.h"
#include "app/RunningProduct.h"
#include "engine/Install.h"
#include "engine/WindowLease.h"
#include "framework/WinApp.h"
#include "report/MacAddress.h"
#include "res/resource.h"
#include "ui/MainWindowLayout.h"

BEGIN_MESSAGE_MAP(CTNInstallerDlg, CInstallWindow)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
END_MESSAGE_MAP()

namespace {
const wchar_t kFirstInstallText[] = L"安装中. . .    0%";
const wchar_t kFirstUpdateText[] = L"版本更新中. . .    0%";
const wchar_t kBannerType[] = L"GIF";
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
    m_strMac = GetMacAddress();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
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
    m_editFolder.SetWindowText(kDefaultInstallFolder);
    m_progress.ShowWindow(SW_HIDE);
    m_staticStatus.ShowWindow(SW_HIDE);
}

void CTNInstallerDlg::InitialiseUpdateMode(bool hasBar)
{
    m_staticStatus.SetWindowText(hasBar ? kFirstInstallText : kFirstUpdateText);
    TerminateRunningProduct();
    (void)m_picAnimation.LoadGifResource(IDR_BANNER_GIF, kBannerType);  // a banner that fails leaves the window 0 x 0
    CWinThread* worker = CreateWorker();
    m_picAnimation.StartAnimation();
    LayOutWindow();
    if (worker != nullptr) RequestInstallation(worker);
}

CWinThread* CTNInstallerDlg::CreateWorker()
{
    return AfxBeginThread(RUNTIME_CLASS(CInstall), THREAD_PRIORITY_NORMAL, 0, 0, nullptr);
}

void CTNInstallerDlg::RequestInstallation(CWinThread* worker)
{
    WindowLease::Take();
    ::PostThreadMessageW(worker->m_nThreadID, WM_START_INSTALL,
                         reinterpret_cast<WPARAM>(static_cast<CInstallWindow*>(this)), 0);
}

void CTNInstallerDlg::LayOutWindow()
{
    const LayoutRect window = LayOutMainWindow(m_picAnimation.m_canvasSize.width, {}).window;
    MoveWindow(window.x, window.y, window.width, window.height);
}

void CTNInstallerDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(&client);
    const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &paint);
}

HCURSOR CTNInstallerDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}
