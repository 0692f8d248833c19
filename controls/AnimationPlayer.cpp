#include "controls/AnimationPlayer.h"

#include "controls/FrameTiming.h"

namespace {
constexpr uint32_t kRestoreToBackground = 2;
constexpr uint32_t kRestoreToPrevious = 3;
}  // namespace

AnimationPlayer::AnimationPlayer(HWND window)
    : m_window(window), m_stopEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
}

bool AnimationPlayer::RenderPicture(IPicture* picture, HDC dc, int x, int y, int width, int height)
{
    OLE_XSIZE_HIMETRIC pictureWidth = 0;
    OLE_YSIZE_HIMETRIC pictureHeight = 0;
    if (picture == nullptr || FAILED(picture->get_Width(&pictureWidth)) || FAILED(picture->get_Height(&pictureHeight))) {
        return false;
    }
    // HIMETRIC's vertical axis points up: the source starts at the top edge
    // and runs down, so the picture comes out upright.
    return SUCCEEDED(picture->Render(dc, x, y, width, height, 0, pictureHeight, pictureWidth, -pictureHeight, nullptr));
}

DWORD WINAPI AnimationPlayer::AnimationThreadProc(void* player)
{
    static_cast<AnimationPlayer*>(player)->RunAnimation();
    return 0;
}

void AnimationPlayer::RequestStop()
{
    m_stopRequested = true;
    ::SetEvent(m_stopEvent.get());
}

void AnimationPlayer::Rearm()
{
    ::ResetEvent(m_stopEvent.get());
    m_stopRequested = false;
}

void AnimationPlayer::RunAnimation()
{
    if (m_frames.empty()) return;
    if (m_frameIndex >= m_frames.size()) m_frameIndex = 0;
    // A restart resumes at the frame it stopped on, whose disposal is still due.
    ApplyDisposal(m_frames[m_frameIndex]);
    while (!m_stopRequested) {
        const GifFrame& frame = m_frames[m_frameIndex];
        if (frame.disposal == kRestoreToPrevious) SaveAreaUnder(frame);
        if (RenderPicture(frame.picture.Get(), m_surface.Dc(), frame.offset.left, frame.offset.top, frame.size.width,
                          frame.size.height)) {
            ::InvalidateRect(m_window, nullptr, FALSE);
        }
        if (m_stopRequested) break;
        const DWORD wait = FrameWaitMilliseconds(frame.delay);
        if (m_beforeWait) m_beforeWait(wait);
        (void)::WaitForSingleObject(m_stopEvent.get(), wait);  // the flag below decides
        if (m_stopRequested) break;
        ApplyDisposal(frame);

        if (++m_frameIndex == m_frames.size()) {
            m_frameIndex = 0;
            Fill({0, 0, m_canvasSize.width, m_canvasSize.height});
        }
    }
}

void AnimationPlayer::ApplyDisposal(const GifFrame& frame)
{
    const RECT area = {frame.offset.left, frame.offset.top, frame.offset.left + frame.size.width,
                       frame.offset.top + frame.size.height};
    if (frame.disposal == kRestoreToBackground) {
        Fill(area);
    } else if (frame.disposal == kRestoreToPrevious && m_saved) {
        ::BitBlt(m_surface.Dc(), area.left, area.top, frame.size.width, frame.size.height, m_saved.Dc(), 0, 0, SRCCOPY);
        m_saved.Reset();
    }
}

void AnimationPlayer::SaveAreaUnder(const GifFrame& frame)
{
    // Without a saved area the frame is left in place by its disposal.
    if (!m_saved.Create(m_surface.Dc(), frame.size.width, frame.size.height)) return;
    ::BitBlt(m_saved.Dc(), 0, 0, frame.size.width, frame.size.height, m_surface.Dc(), frame.offset.left,
             frame.offset.top, SRCCOPY);
}

void AnimationPlayer::Fill(const RECT& area)
{
    tn::UniqueGdiObject brush(::CreateSolidBrush(m_fillColour));
    if (!brush) return;  // the fill is skipped
    ::FillRect(m_surface.Dc(), &area, static_cast<HBRUSH>(brush.get()));
}
