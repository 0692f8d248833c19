#include "controls/PngStatic.h"

IMPLEMENT_DYNAMIC(CPngStatic, CStatic)

BEGIN_MESSAGE_MAP(CPngStatic, CStatic)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CPngStatic::~CPngStatic() = default;

void CPngStatic::OnPaint()
{
    CPaintDC dc(this);
    if (m_pImage == nullptr || m_pImage->IsNull()) return;
    const int width = m_pImage->GetWidth();
    const int height = m_pImage->GetHeight();
    m_pImage->Draw(dc, 0, 0, width, height, 0, 0, width, height);
}

BOOL CPngStatic::OnEraseBkgnd(CDC*)
{
    return TRUE;  // counted as erased: the image is drawn over what is there
}
