#pragma once
// A static control that shows one skin image at its natural size from its
// top-left corner. It never erases: transparent pixels show what the screen
// holds beneath (normally the parent's background), and the part of the
// control outside the image is left unpainted. With SS_NOTIFY in its style,
// clicks reach the parent as STN_CLICKED.

#include "framework/Controls.h"
#include "framework/DC.h"
#include "framework/Image.h"

class CPngStatic : public CStatic {
    DECLARE_DYNAMIC(CPngStatic)

public:
    CPngStatic() = default;
    ~CPngStatic() override;

    // Not owned: the window that assigns it keeps it, and invalidates the
    // control when it changes it. Null paints nothing.
    CImage* m_pImage = nullptr;

protected:
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);

    DECLARE_MESSAGE_MAP()
};
