#include "controls/MyEditBrowseCtrl.h"

IMPLEMENT_DYNAMIC(MyEditBrowseCtrl, CMFCEditBrowseCtrl)

BEGIN_MESSAGE_MAP(MyEditBrowseCtrl, CMFCEditBrowseCtrl)
END_MESSAGE_MAP()

int MyEditBrowseCtrl::s_buttonPending = 1;

namespace {
// The face sits inside the button by this much on every side.
const int kFaceInset = 3;
}

MyEditBrowseCtrl::~MyEditBrowseCtrl() = default;

void MyEditBrowseCtrl::OnDrawBrowseButton(CDC* pDC, CRect rect, BOOL, BOOL)
{
    if (s_buttonPending == 0 || m_pButtonImage == nullptr) return;
    m_pButtonImage->Draw(*pDC, rect.left + kFaceInset, rect.top + kFaceInset, rect.Width() - 2 * kFaceInset,
                         rect.Height() - 2 * kFaceInset, 0, 0, m_pButtonImage->GetWidth(),
                         m_pButtonImage->GetHeight());
    s_buttonPending = 0;
}
