#pragma once
// A C++ object bound to a window. A bound window's messages go through the
// object's message map first and then to the window's own procedure.

#include <string>

#include "framework/CmdTarget.h"
#include "framework/Types.h"

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)

public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // Binds the object to an existing window and routes its messages here.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();
    // The object bound to hWnd, or null when none is.
    static CWnd* FromHandlePermanent(HWND hWnd);
    // The bound object, else a temporary one of the calling thread that only
    // names the window; it is valid until the next call on that thread.
    static CWnd* FromHandle(HWND hWnd);

    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    void SetWindowText(const wchar_t* text) { ::SetWindowTextW(m_hWnd, text); }
    std::wstring GetWindowText() const { return GetWindowText(m_hWnd); }
    // The whole text of any window, read through the window's own thread.
    static std::wstring GetWindowText(HWND hWnd);
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE)
    {
        ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    CWnd* SetParent(CWnd* pWndNewParent) { return FromHandle(::SetParent(m_hWnd, pWndNewParent->m_hWnd)); }
    BOOL InvalidateRect(const RECT* rect, BOOL erase = TRUE) { return ::InvalidateRect(m_hWnd, rect, erase); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    BOOL DestroyWindow();

    HWND m_hWnd = nullptr;

protected:
    // Message-map dispatch, then Default processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // WM_COMMAND: the map's command entries. TRUE when handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // The window's own procedure for the message being handled.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default();
    // Finds the map's handler; true with its result when there is one.
    bool DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    static LRESULT CALLBACK FrameworkWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void AttachPermanent(HWND hWnd);
    void DetachPermanent();
    // What the handler of the message being handled was called with.
    const MSG* CurrentMessage() const { return m_currentMessage; }
    void SetCurrentMessage(const MSG* message) { m_currentMessage = message; }

    WNDPROC m_pfnSuper = nullptr;

private:
    const MSG* m_currentMessage = nullptr;

    DECLARE_MESSAGE_MAP()
};
