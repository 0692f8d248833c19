#include "framework/Dialog.h"

#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

namespace {
// Resource type of control-initialisation data.
const wchar_t* const kDlgInitType = MAKEINTRESOURCEW(240);

// Messages whose dialog-procedure result is the answer itself rather than
// TRUE with the answer in DWLP_MSGRESULT.
bool AnswersDirectly(UINT message)
{
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}
}  // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog()
{
    if (m_hWnd != nullptr) {
        HWND hWnd = m_hWnd;
        DetachPermanent();
        ::DestroyWindow(hWnd);
    }
}

INT_PTR CDialog::DoModal()
{
    HINSTANCE instance = AfxGetResourceHandle();
    HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(m_nIDTemplate), MAKEINTRESOURCEW(5));
    HGLOBAL loaded = found != nullptr ? ::LoadResource(instance, found) : nullptr;
    const auto* dialogTemplate = static_cast<const DLGTEMPLATE*>(loaded != nullptr ? ::LockResource(loaded) : nullptr);
    if (dialogTemplate == nullptr) return -1;

    HWND parent = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    if (parent == nullptr) {
        CWnd* mainWindow = AfxGetMainWnd();
        if (mainWindow != nullptr && mainWindow != this) parent = mainWindow->m_hWnd;
    }
    const bool disableParent = parent != nullptr && ::IsWindowEnabled(parent);
    if (disableParent) ::EnableWindow(parent, FALSE);

    m_nModalResult = -1;
    m_endModal = false;
    HWND created = ::CreateDialogIndirectParamW(instance, dialogTemplate, parent, &CDialog::DialogProc,
                                                reinterpret_cast<LPARAM>(this));
    if (created != nullptr) RunModalLoop();

    if (disableParent) {
        ::EnableWindow(parent, TRUE);
        ::SetActiveWindow(parent);
    }
    if (m_hWnd != nullptr) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        DestroyWindow();
    }
    return m_nModalResult;
}

void CDialog::RunModalLoop()
{
    MSG message;
    while (!m_endModal) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // Leave the quit for whoever runs the next loop, as the system's own dialogs do.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (got == -1) return;
        if (m_hWnd == nullptr || !::IsDialogMessageW(m_hWnd, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_endModal = true;
    if (m_hWnd != nullptr) ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wakes the loop
}

BOOL CDialog::OnInitDialog()
{
    ExecuteDlgInit(m_nIDTemplate);
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange exchange(this, bSaveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::ExecuteDlgInit(UINT nIDTemplate)
{
    HINSTANCE instance = AfxGetResourceHandle();
    HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(nIDTemplate), kDlgInitType);
    if (found == nullptr) return TRUE;  // a template without such data
    HGLOBAL loaded = ::LoadResource(instance, found);
    const auto* data = static_cast<const BYTE*>(loaded != nullptr ? ::LockResource(loaded) : nullptr);
    const DWORD size = ::SizeofResource(instance, found);
    if (data == nullptr) return FALSE;

    // Entries: control id (16 bits), message (16 bits), length (32 bits),
    // then that many bytes; a zero id ends the list.
    DWORD position = 0;
    while (position + 2 <= size) {
        WORD controlId, message;
        DWORD length;
        memcpy(&controlId, data + position, 2);
        if (controlId == 0) break;
        if (position + 8 > size) return FALSE;
        memcpy(&message, data + position + 2, 2);
        memcpy(&length, data + position + 4, 4);
        position += 8;
        if (length > size - position) return FALSE;
        ::SendDlgItemMessageW(m_hWnd, controlId, message, length, reinterpret_cast<LPARAM>(data + position));
        position += length;
    }
    return TRUE;
}

LRESULT CDialog::DefWindowProc(UINT, WPARAM, LPARAM)
{
    // The dialog manager's own processing runs when the dialog procedure
    // returns FALSE; calling it from here would come back into the procedure.
    m_defaultRequested = true;
    return 0;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->AttachPermanent(hWnd);
        return dialog->OnInitDialog();
    }
    CDialog* dialog = static_cast<CDialog*>(FromHandlePermanent(hWnd));
    if (dialog == nullptr) return FALSE;

    MSG current = {hWnd, message, wParam, lParam, 0, {0, 0}};
    const MSG* outer = dialog->CurrentMessage();
    const bool outerDefault = dialog->m_defaultRequested;
    dialog->SetCurrentMessage(&current);
    dialog->m_defaultRequested = false;
    LRESULT result = 0;
    const bool handled = dialog->DispatchToMap(message, wParam, lParam, &result);
    const bool defaultRequested = dialog->m_defaultRequested;
    dialog->SetCurrentMessage(outer);
    dialog->m_defaultRequested = outerDefault;

    if (message == WM_NCDESTROY) dialog->DetachPermanent();
    if (!handled || defaultRequested) return FALSE;
    if (AnswersDirectly(message)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}
