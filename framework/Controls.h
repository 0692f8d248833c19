#pragma once
// Thin control classes over the system's own controls.

#include <windows.h>
#include <commctrl.h>

#include "framework/Wnd.h"

class CStatic : public CWnd {
public:
    CStatic() = default;
};

class CEdit : public CWnd {
public:
    CEdit() = default;
};

class CProgressCtrl : public CWnd {
public:
    CProgressCtrl() = default;
    void SetRange(short nLower, short nUpper) { SendMessage(PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper)); }
    int SetPos(int nPos) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPos), 0)); }
    int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS, 0, 0)); }
};
