#pragma once
// The edit box with a browse button at its right end, in the non-client
// area. Dialog templates name its window class "MfcEditBrowse", so the class
// must exist before such a dialog is created.
//
// The window class keeps the browse mode that the template's
// control-initialisation data names (WM_MFC_INITCTRL arrives before any
// object is bound to the control) and reserves the button's strip; the
// object paints the button through OnDrawBrowseButton and runs OnBrowse
// when it is clicked.

#include "framework/Controls.h"
#include "framework/DC.h"
#include "framework/EditBrowseRules.h"
#include "framework/Types.h"

class CMFCEditBrowseCtrl : public CEdit {
    DECLARE_DYNAMIC(CMFCEditBrowseCtrl)

public:
    CMFCEditBrowseCtrl() = default;
    ~CMFCEditBrowseCtrl() override;

    static constexpr const wchar_t* kWindowClass = L"MfcEditBrowse";
    // Width of the button in pixels: no image is set on the button.
    static constexpr int kBrowseButtonWidth = 20;
    // A superclass of the system's edit control under kWindowClass.
    static bool RegisterWindowClass(HINSTANCE instance);

    EditBrowseMode GetMode() const;
    // The button in window coordinates (the frame's top-left is 0, 0); empty
    // without a button.
    CRect GetBrowseButtonRect() const;

    // The button's action for the mode: the file-open dialog, the folder
    // picker, or nothing.
    virtual void OnBrowse();
    // Draws the button's face; drawing is clipped to rect.
    virtual void OnDrawBrowseButton(CDC* pDC, CRect rect, BOOL bIsButtonPressed, BOOL bIsButtonHot);
    // After the button changed the text: the change notifications an edit
    // sends, posted to the owner.
    virtual void OnAfterUpdate();

protected:
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);

    void BrowseForFile();
    void BrowseForFolder();
    // Puts a path the user chose into the box, when it differs from the text.
    void TakeChosenPath(const std::wstring& path);
    // After either dialog: the parent redrawn whole, the focus on the box.
    void EndBrowse();
    // Repaints only the button, as its pressed or hot state changes.
    void RedrawBrowseButton();

    bool m_bIsButtonPressed = false;
    bool m_bIsButtonHighlighted = false;
    bool m_bIsButtonCaptured = false;

    DECLARE_MESSAGE_MAP()
};
