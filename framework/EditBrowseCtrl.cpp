#include "framework/EditBrowseCtrl.h"

#include <windowsx.h>
#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <string>

#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CMFCEditBrowseCtrl, CEdit)

BEGIN_MESSAGE_MAP(CMFCEditBrowseCtrl, CEdit)
    ON_MESSAGE(WM_NCHITTEST, OnNcHitTest)
    ON_MESSAGE(WM_NCPAINT, OnNcPaint)
    ON_MESSAGE(WM_NCLBUTTONDOWN, OnNcLButtonDown)
    ON_MESSAGE(WM_NCLBUTTONDBLCLK, OnNcLButtonDown)
    ON_MESSAGE(WM_NCMOUSEMOVE, OnNcMouseMove)
    ON_MESSAGE(WM_NCMOUSELEAVE, OnNcMouseLeave)
    ON_MESSAGE(WM_MOUSEMOVE, OnMouseMove)
    ON_MESSAGE(WM_LBUTTONUP, OnLButtonUp)
    ON_MESSAGE(WM_CAPTURECHANGED, OnCaptureChanged)
END_MESSAGE_MAP()

namespace {
WNDPROC g_editWindowProc = nullptr;

// The mode the control-initialisation data named, plus one (no property: no button).
const wchar_t kModeProperty[] = L"TNInstaller.EditBrowseMode";
const wchar_t kInvalidFileName[] = L"文件名不正确。";
const wchar_t kButtonLabel[] = L"...";
// The button's hit-test code: a frame part the system does nothing with on a click.
const LRESULT kButtonHitTest = HTBORDER;

EditBrowseMode ModeOf(HWND hWnd)
{
    const auto stored = reinterpret_cast<UINT_PTR>(::GetPropW(hWnd, kModeProperty));
    return stored == 0 ? EditBrowseMode::None : static_cast<EditBrowseMode>(stored - 1);
}

void TakeInitData(HWND hWnd, WPARAM size, LPARAM data)
{
    const std::optional<EditBrowseMode> mode = BrowseModeFromInitData(reinterpret_cast<const char*>(data), size);
    if (!mode) return;
    ::SetPropW(hWnd, kModeProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(*mode) + 1));
    // The button's strip appears or goes with a new frame.
    ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK EditBrowseWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MFC_INITCTRL:
        TakeInitData(hWnd, wParam, lParam);
        return TRUE;
    case WM_NCCALCSIZE: {
        const LRESULT result = ::CallWindowProcW(g_editWindowProc, hWnd, message, wParam, lParam);
        if (ModeOf(hWnd) != EditBrowseMode::None) {
            RECT* client = wParam != 0 ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                                       : reinterpret_cast<RECT*>(lParam);
            client->right = std::max(client->left, client->right - CMFCEditBrowseCtrl::kBrowseButtonWidth);
        }
        return result;
    }
    case WM_NCDESTROY:
        ::RemovePropW(hWnd, kModeProperty);
        break;
    default:
        break;
    }
    return ::CallWindowProcW(g_editWindowProc, hWnd, message, wParam, lParam);
}

// A point in screen coordinates, relative to the window's frame.
CPoint ScreenToWindow(HWND hWnd, POINT screen)
{
    RECT window = {};
    ::GetWindowRect(hWnd, &window);
    return CPoint(screen.x - window.left, screen.y - window.top);
}

CPoint ClientToWindow(HWND hWnd, POINT client)
{
    ::ClientToScreen(hWnd, &client);
    return ScreenToWindow(hWnd, client);
}

// Starts the folder picker on the box's text.
int CALLBACK SelectStartFolder(HWND hWnd, UINT message, LPARAM, LPARAM start)
{
    if (message == BFFM_INITIALIZED) ::SendMessageW(hWnd, BFFM_SETSELECTIONW, TRUE, start);
    return 0;
}
}  // namespace

bool CMFCEditBrowseCtrl::RegisterWindowClass(HINSTANCE instance)
{
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(instance, kWindowClass, &existing)) return true;

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    if (!::GetClassInfoExW(nullptr, L"Edit", &windowClass)) return false;
    g_editWindowProc = windowClass.lpfnWndProc;
    windowClass.lpfnWndProc = &EditBrowseWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    windowClass.style &= ~CS_GLOBALCLASS;
    return ::RegisterClassExW(&windowClass) != 0;
}

CMFCEditBrowseCtrl::~CMFCEditBrowseCtrl() = default;

EditBrowseMode CMFCEditBrowseCtrl::GetMode() const
{
    return m_hWnd != nullptr ? ModeOf(m_hWnd) : EditBrowseMode::None;
}

CRect CMFCEditBrowseCtrl::GetBrowseButtonRect() const
{
    if (GetMode() == EditBrowseMode::None) return CRect();
    RECT client = {};
    GetClientRect(&client);
    const CPoint origin = ClientToWindow(m_hWnd, POINT{0, 0});
    const int left = origin.x + client.right;
    return CRect(left, origin.y, left + kBrowseButtonWidth, origin.y + client.bottom);
}

LRESULT CMFCEditBrowseCtrl::OnNcHitTest(WPARAM, LPARAM lParam)
{
    const CPoint point = ScreenToWindow(m_hWnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    const CRect button = GetBrowseButtonRect();
    if (::PtInRect(&button, point)) return kButtonHitTest;
    return Default();
}

LRESULT CMFCEditBrowseCtrl::OnNcPaint(WPARAM, LPARAM)
{
    Default();  // the edit's own frame
    RedrawBrowseButton();
    return 0;
}

LRESULT CMFCEditBrowseCtrl::OnNcLButtonDown(WPARAM wParam, LPARAM lParam)
{
    const CPoint point = ScreenToWindow(m_hWnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    const CRect button = GetBrowseButtonRect();
    if (static_cast<LRESULT>(wParam) != kButtonHitTest || !::PtInRect(&button, point)) return Default();
    ::SetFocus(m_hWnd);
    m_bIsButtonPressed = true;
    m_bIsButtonCaptured = true;
    ::SetCapture(m_hWnd);
    RedrawBrowseButton();
    return 0;
}

LRESULT CMFCEditBrowseCtrl::OnNcMouseMove(WPARAM, LPARAM lParam)
{
    const CPoint point = ScreenToWindow(m_hWnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    const CRect button = GetBrowseButtonRect();
    const bool hot = ::PtInRect(&button, point) != FALSE;
    if (hot != m_bIsButtonHighlighted) {
        m_bIsButtonHighlighted = hot;
        if (hot) {
            TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE | TME_NONCLIENT, m_hWnd, 0};
            ::TrackMouseEvent(&track);
        }
        RedrawBrowseButton();
    }
    return Default();
}

LRESULT CMFCEditBrowseCtrl::OnNcMouseLeave(WPARAM, LPARAM)
{
    if (m_bIsButtonHighlighted) {
        m_bIsButtonHighlighted = false;
        RedrawBrowseButton();
    }
    return Default();
}

LRESULT CMFCEditBrowseCtrl::OnMouseMove(WPARAM, LPARAM lParam)
{
    if (!m_bIsButtonCaptured) return Default();
    const CPoint point = ClientToWindow(m_hWnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    const CRect button = GetBrowseButtonRect();
    const bool pressed = ::PtInRect(&button, point) != FALSE;
    if (pressed != m_bIsButtonPressed) {
        m_bIsButtonPressed = pressed;
        RedrawBrowseButton();
    }
    return 0;
}

LRESULT CMFCEditBrowseCtrl::OnLButtonUp(WPARAM, LPARAM lParam)
{
    if (!m_bIsButtonCaptured) return Default();
    const CPoint point = ClientToWindow(m_hWnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    const CRect button = GetBrowseButtonRect();
    const bool released = ::PtInRect(&button, point) != FALSE;
    ::ReleaseCapture();  // WM_CAPTURECHANGED puts the button back up
    if (released) OnBrowse();
    return 0;
}

LRESULT CMFCEditBrowseCtrl::OnCaptureChanged(WPARAM, LPARAM)
{
    if (m_bIsButtonCaptured) {
        m_bIsButtonCaptured = false;
        m_bIsButtonPressed = false;
        RedrawBrowseButton();
    }
    return Default();
}

void CMFCEditBrowseCtrl::RedrawBrowseButton()
{
    const CRect button = GetBrowseButtonRect();
    if (::IsRectEmpty(&button)) return;
    CWindowDC dc(this);
    if (dc.GetSafeHdc() == nullptr) return;
    ::IntersectClipRect(dc, button.left, button.top, button.right, button.bottom);
    OnDrawBrowseButton(&dc, button, m_bIsButtonPressed, m_bIsButtonHighlighted);
}

void CMFCEditBrowseCtrl::OnDrawBrowseButton(CDC* pDC, CRect rect, BOOL bIsButtonPressed, BOOL bIsButtonHot)
{
    HDC dc = pDC->GetSafeHdc();
    UINT state = DFCS_BUTTONPUSH;
    if (bIsButtonPressed) state |= DFCS_PUSHED;
    if (bIsButtonHot) state |= DFCS_HOT;
    ::DrawFrameControl(dc, &rect, DFC_BUTTON, state);
    tn::SelectedObject font(dc, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::DrawTextW(dc, kButtonLabel, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void CMFCEditBrowseCtrl::OnBrowse()
{
    switch (GetMode()) {
    case EditBrowseMode::File:
        BrowseForFile();
        break;
    case EditBrowseMode::Folder:
        BrowseForFolder();
        break;
    case EditBrowseMode::None:
    case EditBrowseMode::Custom:
        break;
    }
}

void CMFCEditBrowseCtrl::BrowseForFile()
{
    const std::wstring text = GetWindowText();
    const FileBrowseStart start = StartFileBrowse(text);
    if (start.nameIsInvalid) {
        const std::wstring message = std::wstring(kInvalidFileName) + L"\r\n" + text;
        (void)AfxMessageBox(message.c_str(), MB_ICONWARNING);
        ::SetFocus(m_hWnd);
        return;
    }

    // Path buffers hold 260 units, as everywhere in the program; a longer
    // text is cut to fit rather than overrun it.
    wchar_t file[MAX_PATH] = {};
    start.presetName.copy(file, MAX_PATH - 1);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = ::GetAncestor(m_hWnd, GA_ROOT);
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    if (::GetOpenFileNameW(&dialog)) TakeChosenPath(file);
    EndBrowse();
}

void CMFCEditBrowseCtrl::BrowseForFolder()
{
    const std::wstring text = GetWindowText();
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW browse = {};
    browse.hwndOwner = ::GetAncestor(m_hWnd, GA_ROOT);
    browse.pszDisplayName = displayName;
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    browse.lpfn = &SelectStartFolder;
    browse.lParam = reinterpret_cast<LPARAM>(text.c_str());
    const tn::UniqueCoTaskMem chosen(::SHBrowseForFolderW(&browse));
    wchar_t path[MAX_PATH] = {};
    if (chosen && ::SHGetPathFromIDListW(static_cast<PCIDLIST_ABSOLUTE>(chosen.get()), path)) TakeChosenPath(path);
    EndBrowse();
}

void CMFCEditBrowseCtrl::EndBrowse()
{
    // The dialog may have covered any part of the window.
    if (HWND parent = ::GetParent(m_hWnd); parent != nullptr) {
        ::RedrawWindow(parent, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    ::SetFocus(m_hWnd);
}

void CMFCEditBrowseCtrl::TakeChosenPath(const std::wstring& path)
{
    if (path == GetWindowText()) return;
    SetWindowText(path.c_str());
    SetModify(TRUE);
    OnAfterUpdate();
}

void CMFCEditBrowseCtrl::OnAfterUpdate()
{
    HWND owner = ::GetParent(m_hWnd);
    if (owner == nullptr) return;
    const WORD id = static_cast<WORD>(GetDlgCtrlID());
    ::PostMessageW(owner, WM_COMMAND, MAKEWPARAM(id, EN_UPDATE), reinterpret_cast<LPARAM>(m_hWnd));
    ::PostMessageW(owner, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), reinterpret_cast<LPARAM>(m_hWnd));
}
