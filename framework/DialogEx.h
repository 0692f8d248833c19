#pragma once
// The extended dialog: a background image drawn on erase, and static and
// button controls drawn transparently over it.

#include "framework/DC.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"

class CDialogEx : public CDialog {
    DECLARE_DYNAMIC(CDialogEx)

public:
    explicit CDialogEx(UINT nIDTemplate, CWnd* pParentWnd = nullptr) : CDialog(nIDTemplate, pParentWnd) {}

    enum BackgroundLocation { BACKGR_TILE, BACKGR_TOPLEFT, BACKGR_TOPRIGHT, BACKGR_BOTTOMLEFT, BACKGR_BOTTOMRIGHT };

    // The bitmap resource uiBmpResId of the resource module as the
    // background. Only tiling from the top-left corner is drawn; the program
    // uses nothing else.
    void SetBackgroundImage(UINT uiBmpResId, BackgroundLocation location = BACKGR_TILE, BOOL bAutoDestroy = TRUE,
                            BOOL bRepaint = TRUE);

protected:
    BOOL OnEraseBkgnd(CDC* pDC);
    // With a background image: transparent text and a hollow brush for the
    // window classes "Static" and "Button", so they show the image beneath.
    // Everything else gets the system's default colours.
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    tn::UniqueGdiObject m_background;
    BackgroundLocation m_backgroundLocation = BACKGR_TILE;

    DECLARE_MESSAGE_MAP()
};
