#pragma once
// The edit box with a browse button. Dialog templates name its window class
// "MfcEditBrowse", so the class must exist before such a dialog is created.

#include "framework/Controls.h"

class CMFCEditBrowseCtrl : public CEdit {
public:
    CMFCEditBrowseCtrl() = default;

    static constexpr const wchar_t* kWindowClass = L"MfcEditBrowse";
    // A superclass of the system's edit control under kWindowClass.
    static bool RegisterWindowClass(HINSTANCE instance);
};
