#pragma once
// A dialog from a template resource, run modally by the framework's own loop.

#include "framework/DataExchange.h"
#include "framework/Wnd.h"

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)

public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Creates the dialog, runs its loop until EndDialog or WM_QUIT, destroys
    // it and returns the result. WM_QUIT is posted again for the caller, and
    // the result is then -1 unless EndDialog was called.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();
    // Sends each entry of the template's control-initialisation data to its control.
    BOOL ExecuteDlgInit(UINT nIDTemplate);

    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void RunModalLoop();

    INT_PTR m_nModalResult = -1;
    bool m_endModal = false;
    bool m_defaultRequested = false;

    DECLARE_MESSAGE_MAP()
};

// Sent with the data of one control-initialisation entry (lParam: the bytes,
// wParam: their count) to controls that take such data.
constexpr UINT WM_MFC_INITCTRL = 0x037C;
