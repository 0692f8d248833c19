#include "framework/DialogEx.h"

#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CDialogEx, CDialog)

BEGIN_MESSAGE_MAP(CDialogEx, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

void CDialogEx::SetBackgroundImage(UINT uiBmpResId, BackgroundLocation location, BOOL, BOOL bRepaint)
{
    // The bitmap is the dialog's own: released with it (bAutoDestroy).
    m_background.reset(::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(uiBmpResId), IMAGE_BITMAP, 0, 0,
                                    LR_CREATEDIBSECTION));
    m_backgroundLocation = location;
    if (bRepaint && m_hWnd != nullptr) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

BOOL CDialogEx::OnEraseBkgnd(CDC* pDC)
{
    BITMAP bitmap = {};
    if (!m_background || ::GetObjectW(m_background.get(), sizeof(bitmap), &bitmap) == 0 || bitmap.bmWidth <= 0 ||
        bitmap.bmHeight <= 0) {
        return static_cast<BOOL>(Default());
    }
    RECT client;
    GetClientRect(&client);
    tn::UniqueMemoryDc source(::CreateCompatibleDC(pDC->GetSafeHdc()));
    tn::SelectedObject selected(source.get(), m_background.get());
    for (int y = 0; y < client.bottom; y += bitmap.bmHeight) {
        for (int x = 0; x < client.right; x += bitmap.bmWidth) {
            ::BitBlt(pDC->GetSafeHdc(), x, y, bitmap.bmWidth, bitmap.bmHeight, source.get(), 0, 0, SRCCOPY);
        }
    }
    return TRUE;
}

HBRUSH CDialogEx::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (m_background && pWnd != nullptr && (nCtlColor == CTLCOLOR_STATIC || nCtlColor == CTLCOLOR_BTN)) {
        wchar_t className[16] = {};
        ::GetClassNameW(pWnd->GetSafeHwnd(), className, ARRAYSIZE(className));
        if (::lstrcmpiW(className, L"Static") == 0 || ::lstrcmpiW(className, L"Button") == 0) {
            ::SetBkMode(pDC->GetSafeHdc(), TRANSPARENT);
            return static_cast<HBRUSH>(::GetStockObject(HOLLOW_BRUSH));
        }
    }
    // The system's own colours for this message, straight from the default
    // window procedure: the dialog manager would call back into this one.
    const MSG* message = CurrentMessage();
    return reinterpret_cast<HBRUSH>(::DefWindowProcW(m_hWnd, message->message, message->wParam, message->lParam));
}
