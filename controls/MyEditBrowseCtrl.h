#pragma once
// The install-folder box: the framework's edit-browse box whose button face
// is a skin image, drawn on the button's first paint of the process.

#include "framework/EditBrowseCtrl.h"
#include "framework/Image.h"

class MyEditBrowseCtrl : public CMFCEditBrowseCtrl {
    DECLARE_DYNAMIC(MyEditBrowseCtrl)

public:
    MyEditBrowseCtrl() = default;
    ~MyEditBrowseCtrl() override;

    // Draws m_pButtonImage scaled into the button less 3 pixels on every
    // side, once per process; pressed and hot states show nothing.
    void OnDrawBrowseButton(CDC* pDC, CRect rect, BOOL bIsButtonPressed, BOOL bIsButtonHot) override;

    // Not owned: the window assigns it. Until then the face waits.
    CImage* m_pButtonImage = nullptr;

    // Nonzero until the face has been drawn: once per process.
    static int s_buttonPending;

    DECLARE_MESSAGE_MAP()
};
