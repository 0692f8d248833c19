#include "controls/AnimationCtrl.h"

#include <olectl.h>

#include <algorithm>
#include <cstring>

#include "framework/Dialog.h"
#include "framework/WinApp.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CAnimationCtrl, CStatic)
    ON_WM_DESTROY()
    ON_WM_PAINT()
END_MESSAGE_MAP()

namespace {
const wchar_t kExitQuestion[] = L"确定要退出吗?";
const wchar_t kExitCaption[] = L"Tarnivo2.0安装";
constexpr DWORD kStopWaitMilliseconds = 5000;
constexpr int kHimetricPerInch = 2540;

// A picture from the first size bytes of block; null when the loader refuses.
Microsoft::WRL::ComPtr<IPicture> LoadPicture(HGLOBAL block, DWORD size, bool streamFreesBlock)
{
    Microsoft::WRL::ComPtr<IStream> stream;
    Microsoft::WRL::ComPtr<IPicture> picture;
    if (FAILED(::CreateStreamOnHGlobal(block, streamFreesBlock ? TRUE : FALSE, &stream))) return picture;
    if (FAILED(::OleLoadPicture(stream.Get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(picture.GetAddressOf())))) {
        picture.Reset();
    }
    return picture;
}
}  // namespace

CAnimationCtrl::CAnimationCtrl() : m_player(std::make_unique<AnimationPlayer>(nullptr)) {}

CAnimationCtrl::~CAnimationCtrl()
{
    ClearPicture();
}

bool CAnimationCtrl::LoadGifResource(UINT id, const wchar_t* type)
{
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (found == nullptr) return false;
    HGLOBAL loaded = ::LoadResource(module, found);
    if (loaded == nullptr) return false;
    const DWORD size = ::SizeofResource(module, found);
    tn::UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_NODISCARD, size));
    if (!block) return false;
    {
        tn::GlobalLockScope copy(block.get());
        const void* resource = ::LockResource(loaded);
        if (copy.get() == nullptr || resource == nullptr) return false;
        std::memcpy(copy.get(), resource, size);
    }
    return LoadGif(block.get(), size);
}

bool CAnimationCtrl::LoadGif(HGLOBAL block, DWORD size)
{
    ClearPicture();
    tn::GlobalLockScope lock(block);
    if (lock.get() == nullptr) return false;
    // The walk must not leave the block, whatever size the caller names.
    size = static_cast<DWORD>(std::min<SIZE_T>(size, ::GlobalSize(block)));
    m_splitter.Attach(static_cast<const uint8_t*>(lock.get()), size);

    if (!m_splitter.HasGifHeader()) {
        m_splitter.Detach();
        lock.Unlock();
        if (!LoadStillPicture(block, size)) return false;
        return MakeSurface(m_canvasSize.width, m_canvasSize.height);
    }

    m_isGif = true;
    m_canvasSize = m_splitter.ReadScreen();
    const uint32_t frameCount = m_splitter.CountFrames();
    if (frameCount >= 2) {
        m_splitter.m_readPos = m_splitter.FirstBlockPos();
        while (const auto cut = m_splitter.CutNextFrame()) AddFrame(*cut);
    }
    m_splitter.Detach();
    lock.Unlock();

    if (frameCount == 0) return false;
    if (frameCount == 1) {
        // Shown still, at the logical screen's size.
        m_stillPicture = LoadPicture(block, size, false);
        if (!m_stillPicture) return false;
    } else if (m_player->m_frames.empty()) {
        return false;
    }
    return MakeSurface(m_canvasSize.width, m_canvasSize.height);
}

bool CAnimationCtrl::LoadStillPicture(HGLOBAL block, DWORD size)
{
    m_stillPicture = LoadPicture(block, size, false);
    if (!m_stillPicture) return false;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    (void)m_stillPicture->get_Width(&width);  // a failed read leaves 0: an empty canvas
    (void)m_stillPicture->get_Height(&height);
    tn::WindowDc dc(m_hWnd);
    m_canvasSize.width = ::MulDiv(width, ::GetDeviceCaps(dc.get(), LOGPIXELSX), kHimetricPerInch);
    m_canvasSize.height = ::MulDiv(height, ::GetDeviceCaps(dc.get(), LOGPIXELSY), kHimetricPerInch);
    return true;
}

void CAnimationCtrl::AddFrame(const GifCutFrame& cut)
{
    const DWORD length = static_cast<DWORD>(cut.bytes.size());
    tn::UniqueGlobal block(::GlobalAlloc(GMEM_FIXED, length));
    if (!block) return;  // no memory: no frame
    std::memcpy(block.get(), cut.bytes.data(), length);  // a fixed block's handle is its address

    Microsoft::WRL::ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(block.get(), TRUE, &stream))) return;
    (void)block.release();  // the stream frees it
    Microsoft::WRL::ComPtr<IPicture> picture;
    if (FAILED(::OleLoadPicture(stream.Get(), static_cast<LONG>(length), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(picture.GetAddressOf())))) {
        return;  // the loader refused this frame: it is dropped
    }
    m_player->m_frames.push_back({picture, cut.size, cut.offset, cut.delay, cut.disposal});
}

bool CAnimationCtrl::MakeSurface(int width, int height)
{
    if (m_hWnd == nullptr) return false;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    tn::WindowDc windowDc(m_hWnd);
    if (!windowDc) return false;
    AnimationPlayer& player = *m_player;
    if (!player.m_surface.Create(windowDc.get(), width, height)) return false;
    player.m_fillColour = ::GetSysColor(COLOR_BTNFACE);
    player.m_canvasSize = {width, height};
    // The menu colour's system brush (colour index + 1), not the fill colour.
    const RECT whole = {0, 0, width, height};
    ::FillRect(player.m_surface.Dc(), &whole, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_MENU + 1)));
    m_surfaceReady = true;
    return true;
}

void CAnimationCtrl::StartAnimation()
{
    if (!m_surfaceReady) return;
    AnimationPlayer& player = *m_player;
    if (m_isGif && player.m_frames.size() >= 2) {
        if (m_thread) {
            if (::WaitForSingleObject(m_thread.get(), 0) == WAIT_TIMEOUT) return;  // playing already
            StopAnimation();  // a thread that ended late: close it and rearm
        }
        player.m_window = m_hWnd;
        player.m_beforeWait = m_beforeWait;
        HANDLE thread = ::CreateThread(nullptr, 0, &AnimationPlayer::AnimationThreadProc, &player, CREATE_SUSPENDED, nullptr);
        if (thread == nullptr) return;
        m_thread.reset(thread);
        ::ResumeThread(thread);
        return;
    }
    if (m_stillPicture &&
        AnimationPlayer::RenderPicture(m_stillPicture.Get(), player.m_surface.Dc(), 0, 0, m_canvasSize.width,
                                       m_canvasSize.height)) {
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    }
}

void CAnimationCtrl::StopAnimation()
{
    m_player->RequestStop();
    if (m_thread) {
        // A thread that does not end stays asked to stop and keeps its
        // handle here, so nothing starts beside it and ClearPicture knows.
        if (::WaitForSingleObject(m_thread.get(), kStopWaitMilliseconds) != WAIT_OBJECT_0) return;
        m_thread.reset();
    }
    m_player->Rearm();
}

void CAnimationCtrl::ClearPicture()
{
    StopAnimation();
    m_stillPicture.Reset();
    if (m_thread) {
        // The thread did not end and may still draw with the frames and the
        // surfaces: the player is left to the process's end, not released.
        (void)m_player.release();
        m_thread.reset();
    }
    m_player = std::make_unique<AnimationPlayer>(m_hWnd);
    m_splitter = GifFrameSplitter();
    m_canvasSize = GifSize();
    m_isGif = false;
    m_surfaceReady = false;
}

void CAnimationCtrl::OnPaint()
{
    tn::PaintDc paint(m_hWnd);
    if (!m_surfaceReady) return;
    ::BitBlt(paint.get(), 0, 0, m_canvasSize.width, m_canvasSize.height, m_player->m_surface.Dc(), 0, 0, SRCCOPY);
}

void CAnimationCtrl::OnDestroy()
{
    StopAnimation();
    Default();
}

BOOL CAnimationCtrl::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) != 0) return CStatic::OnCommand(wParam, lParam);
    switch (LOWORD(wParam)) {
    case IDC_MINIMIZE:
        ::ShowWindow(::GetParent(m_hWnd), SW_MINIMIZE);
        break;
    case IDC_CLOSE:
        AskToClose();
        break;
    default:
        break;  // the other images' clicks are taken as handled
    }
    return TRUE;
}

void CAnimationCtrl::AskToClose()
{
    if (::MessageBoxW(m_hWnd, kExitQuestion, kExitCaption, MB_YESNO) != IDYES) return;
    CWnd* parent = CWnd::FromHandlePermanent(::GetParent(m_hWnd));
    if (parent != nullptr && parent->GetRuntimeClass()->IsDerivedFrom(RUNTIME_CLASS(CDialog))) {
        static_cast<CDialog*>(parent)->EndDialog(IDCLOSE);
    }
}
