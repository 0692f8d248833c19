#pragma once
// The extended dialog. The program's dialogs derive from it; its background
// image and transparent statics come with the skinned window.

#include "framework/Dialog.h"

class CDialogEx : public CDialog {
    DECLARE_DYNAMIC(CDialogEx)

public:
    explicit CDialogEx(UINT nIDTemplate, CWnd* pParentWnd = nullptr) : CDialog(nIDTemplate, pParentWnd) {}
};
