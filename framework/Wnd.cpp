#include "framework/Wnd.h"

#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

namespace {
// The window property that points at the bound object.
const wchar_t kObjectProperty[] = L"TNInstaller.CWnd";
}

CWnd::~CWnd()
{
    if (m_hWnd != nullptr) {
        if (m_pfnSuper != nullptr) UnsubclassWindow();
        else DetachPermanent();
    }
    if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd == nullptr ? nullptr : static_cast<CWnd*>(::GetPropW(hWnd, kObjectProperty));
}

namespace {
// Names a window for the length of one message; never bound, never unbound.
class CTempWnd : public CWnd {
public:
    ~CTempWnd() override { m_hWnd = nullptr; }
};
}  // namespace

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (hWnd == nullptr) return nullptr;
    if (CWnd* permanent = FromHandlePermanent(hWnd)) return permanent;
    thread_local CTempWnd temporary;
    temporary.m_hWnd = hWnd;
    return &temporary;
}

void CWnd::AttachPermanent(HWND hWnd)
{
    m_hWnd = hWnd;
    ::SetPropW(hWnd, kObjectProperty, this);
}

void CWnd::DetachPermanent()
{
    if (m_hWnd != nullptr) ::RemovePropW(m_hWnd, kObjectProperty);
    m_hWnd = nullptr;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (hWnd == nullptr || m_hWnd != nullptr || FromHandlePermanent(hWnd) != nullptr) return FALSE;
    AttachPermanent(hWnd);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::FrameworkWindowProc)));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    return pParent != nullptr && SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr && m_pfnSuper != nullptr && ::IsWindow(hWnd)) {
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    m_pfnSuper = nullptr;
    DetachPermanent();
    return hWnd;
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == nullptr) return FALSE;
    HWND hWnd = m_hWnd;
    return ::DestroyWindow(hWnd);
}

std::wstring CWnd::GetWindowText(HWND hWnd)
{
    if (hWnd == nullptr) return {};
    const int length = ::GetWindowTextLengthW(hWnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(hWnd, &text[0], length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

bool CWnd::DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_COMMAND) {
        *result = 0;
        return OnCommand(wParam, lParam) != FALSE;
    }
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, 0, 0);
    if (entry == nullptr) return false;
    *result = entry->pfnInvoke(this, wParam, lParam);
    return true;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_COMMAND, HIWORD(wParam), LOWORD(wParam));
    if (entry == nullptr) return FALSE;
    entry->pfnInvoke(this, wParam, lParam);
    return TRUE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (DispatchToMap(message, wParam, lParam, &result)) return result;
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr) return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG* message = m_currentMessage;
    if (message == nullptr) return 0;
    return DefWindowProc(message->message, message->wParam, message->lParam);
}

LRESULT CALLBACK CWnd::FrameworkWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* window = FromHandlePermanent(hWnd);
    if (window == nullptr) return ::DefWindowProcW(hWnd, message, wParam, lParam);

    MSG current = {hWnd, message, wParam, lParam, 0, {0, 0}};
    const MSG* outer = window->m_currentMessage;
    window->m_currentMessage = &current;
    const WNDPROC super = window->m_pfnSuper;
    const LRESULT result = window->WindowProc(message, wParam, lParam);
    window->m_currentMessage = outer;

    // The last message a window sees: put its own procedure back and unbind.
    if (message == WM_NCDESTROY && window->m_hWnd == hWnd) {
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
        window->m_pfnSuper = nullptr;
        window->DetachPermanent();
    }
    return result;
}
