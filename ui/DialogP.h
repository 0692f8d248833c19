#pragma once
// The licence agreement dialog, template 103: a title band, the agreement
// text read-only on white, and a bottom band with a close button; a close
// mark sits in the title band. It neither reads nor sets the agreement flag.

#include "controls/PngStatic.h"
#include "framework/Controls.h"
#include "framework/DialogEx.h"
#include "framework/Handles.h"

class CDialogP : public CDialogEx {
    DECLARE_DYNAMIC(CDialogP)

public:
    // Owned by the framework's main window, the installer window.
    CDialogP();
    ~CDialogP() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnCloseClicked();
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    CPngStatic m_pngTitle;
    CPngStatic m_pngCloseMark;
    CPngStatic m_pngBottom;
    CPngStatic m_pngCloseButton;
    CEdit m_editText;

private:
    // The text's white, made once for the dialog's life.
    tn::UniqueGdiObject m_whiteBrush;

    DECLARE_MESSAGE_MAP()
};
