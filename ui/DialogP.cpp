#include "ui/DialogP.h"

#include "controls/PngImage.h"
#include "res/resource.h"
#include "ui/LicenceText.h"

IMPLEMENT_DYNAMIC(CDialogP, CDialogEx)

BEGIN_MESSAGE_MAP(CDialogP, CDialogEx)
    ON_STN_CLICKED(IDC_LICENSE_CLOSE_MARK, OnCloseClicked)
    ON_STN_CLICKED(IDC_LICENSE_CLOSE, OnCloseClicked)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

namespace {
constexpr COLORREF kTextBackground = RGB(255, 255, 255);

int WidthOf(const CImage* image) { return image != nullptr ? image->GetWidth() : 0; }
int HeightOf(const CImage* image) { return image != nullptr ? image->GetHeight() : 0; }
}  // namespace

CDialogP::CDialogP() : CDialogEx(IDD_LICENSE_DIALOG) {}

CDialogP::~CDialogP() = default;

void CDialogP::DoDataExchange(CDataExchange* pDX)
{
    CDialogEx::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LICENSE_TITLE, m_pngTitle);
    DDX_Control(pDX, IDC_LICENSE_CLOSE_MARK, m_pngCloseMark);
    DDX_Control(pDX, IDC_LICENSE_BOTTOM, m_pngBottom);
    DDX_Control(pDX, IDC_LICENSE_CLOSE, m_pngCloseButton);
    DDX_Control(pDX, IDC_LICENSE_TEXT, m_editText);
}

BOOL CDialogP::OnInitDialog()
{
    CDialogEx::OnInitDialog();
    // The images stay loaded until the process ends, which follows soon.
    m_pngTitle.m_pImage = LoadPngImage(IDB_LICENSE_TITLE);
    m_pngCloseMark.m_pImage = LoadPngImage(IDB_LICENSE_CLOSE_MARK);
    m_pngBottom.m_pImage = LoadPngImage(IDB_LICENSE_BOTTOM);
    m_pngCloseButton.m_pImage = LoadPngImage(IDB_LICENSE_CLOSE);
    m_editText.SetWindowText(kLicenceText);

    // The title band's width sets the dialog's; a missing image enters as 0.
    const int width = WidthOf(m_pngTitle.m_pImage);
    const int height = (3 * width) / 4;
    const int titleHeight = HeightOf(m_pngTitle.m_pImage);
    const int bottomHeight = HeightOf(m_pngBottom.m_pImage);
    const int buttonWidth = WidthOf(m_pngCloseButton.m_pImage);
    const int buttonHeight = HeightOf(m_pngCloseButton.m_pImage);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    m_pngCloseMark.MoveWindow(width - 25, 12, 20, 20);
    m_pngBottom.MoveWindow(0, height - bottomHeight, width, bottomHeight);
    m_pngCloseButton.MoveWindow(width - buttonWidth - 5, height - buttonHeight - 5, buttonWidth, buttonHeight);
    m_editText.MoveWindow(0, titleHeight, width, height - titleHeight - bottomHeight);
    return TRUE;
}

void CDialogP::OnCloseClicked()
{
    EndDialog(IDCLOSE);
}

HBRUSH CDialogP::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH brush = CDialogEx::OnCtlColor(pDC, pWnd, nCtlColor);
    if (pWnd != nullptr && pWnd->GetDlgCtrlID() == IDC_LICENSE_TEXT) {
        ::SetBkColor(pDC->GetSafeHdc(), kTextBackground);
        if (!m_whiteBrush) m_whiteBrush.reset(::CreateSolidBrush(kTextBackground));
        brush = static_cast<HBRUSH>(m_whiteBrush.get());
    }
    return brush;
}
