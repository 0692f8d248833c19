#pragma once
// Control exchange: binds control members to the dialog's controls by id.

#include <windows.h>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// Binds rControl to the dialog's control nIDC the first time it is called.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
