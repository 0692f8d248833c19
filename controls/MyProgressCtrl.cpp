#include "controls/MyProgressCtrl.h"

#include <cstring>
#include <cwchar>
#include <iterator>

#include <wrl/client.h>

#include "controls/ProgressFill.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CMyProgressCtrl, CProgressCtrl)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

bool CMyProgressCtrl::s_backPending = true;

namespace {
using namespace Gdiplus::DllExports;
const wchar_t kPngType[] = L"PNG";
}  // namespace

CMyProgressCtrl::~CMyProgressCtrl() = default;

void CMyProgressCtrl::SetImageSource(HMODULE hModule)
{
    m_hImageModule = hModule;
    m_barImageId = IDB_PROGRESS_BAR;
    m_backImageId = IDB_PROGRESS_BACK;
    wcsncpy(m_imageType, kPngType, std::size(m_imageType) - 1);
}

tn::UniqueGdiplusImage CMyProgressCtrl::LoadResourceImage(HMODULE hModule, HRSRC hResource)
{
    const DWORD size = ::SizeofResource(hModule, hResource);
    HGLOBAL loaded = ::LoadResource(hModule, hResource);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr) return {};

    tn::UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, size));
    if (!block) return {};
    void* copy = ::GlobalLock(block.get());
    if (copy == nullptr) return {};
    memcpy(copy, bytes, size);
    ::GlobalUnlock(block.get());

    // The stream frees the block with its last reference, which the image
    // holds: the bytes live exactly as long as the image.
    Microsoft::WRL::ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(block.get(), TRUE, &stream))) return {};
    (void)block.release();
    tn::UniqueGdiplusImage image;
    if (GdipLoadImageFromStream(stream.Get(), image.put()) != Gdiplus::Ok) return {};
    return image;
}

bool CMyProgressCtrl::DrawResourceImage(HDC hDC, HMODULE hModule, const wchar_t* type, UINT id, const RECT& rect)
{
    if (hModule == nullptr || id == 0) return false;
    HRSRC found = ::FindResourceW(hModule, MAKEINTRESOURCEW(id), type);
    if (found == nullptr) return false;
    const tn::UniqueGdiplusImage image = LoadResourceImage(hModule, found);
    if (!image) return false;

    tn::UniqueGdiplusGraphics graphics;
    if (GdipCreateFromHDC(hDC, graphics.put()) != Gdiplus::Ok) return false;
    UINT height = 0;
    (void)GdipGetImageHeight(image.get(), &height);
    const INT width = rect.right - rect.left;
    // Source and destination are the same rectangle: 1:1, only these columns.
    if (width > 0 && height > 0) {
        (void)GdipDrawImageRectRectI(graphics.get(), image.get(), rect.left, rect.top, width,
                                     static_cast<INT>(height), rect.left, rect.top, width, static_cast<INT>(height),
                                     Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
    }
    return true;
}

BOOL CMyProgressCtrl::OnEraseBkgnd(CDC* pDC)
{
    // Before SetImageSource the bar is inert and keeps the first erase for later.
    if (s_backPending && m_hImageModule != nullptr) {
        RECT client = {};
        GetClientRect(&client);
        (void)DrawResourceImage(*pDC, m_hImageModule, m_imageType, m_backImageId, client);
        s_backPending = false;  // a failed draw is not retried either
    }
    return TRUE;
}

void CMyProgressCtrl::OnPaint()
{
    CPaintDC dc(this);
    int lower = 0, upper = 0;
    GetRange(lower, upper);
    RECT client = {};
    GetClientRect(&client);
    const int filled = ProgressFillWidth(client.right - client.left, lower, upper, GetPos());
    const RECT fill = {client.left, client.top, client.left + filled, client.bottom};
    (void)DrawResourceImage(dc, m_hImageModule, m_imageType, m_barImageId, fill);
}
