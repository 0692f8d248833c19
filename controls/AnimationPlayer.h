#pragma once
// The banner's animation thread and everything it draws with: the decoded
// frames, the off-screen surface, the area saved under a frame, the frame
// index and the stop request. CAnimationCtrl fills it, paints from its
// surface and asks it to stop.
//
// It lives apart from the control so that a thread that does not end when
// asked can keep it: the control then lets go of it (see
// CAnimationCtrl::StopAnimation) instead of releasing what the thread uses.

#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "controls/GifSplitter.h"
#include "controls/OffscreenBitmap.h"
#include "framework/Handles.h"

// One decoded frame of an animation.
struct GifFrame {
    Microsoft::WRL::ComPtr<IPicture> picture;
    GifSize size;
    GifOffset offset;
    uint32_t delay = kGifNoDelay;  // hundredths of a second
    uint32_t disposal = 0;
};

class AnimationPlayer {
public:
    // window: what to invalidate after each frame.
    explicit AnimationPlayer(HWND window);
    AnimationPlayer(const AnimationPlayer&) = delete;
    AnimationPlayer& operator=(const AnimationPlayer&) = delete;

    // Draws the whole picture upright into (x, y, width, height) of dc.
    static bool RenderPicture(IPicture* picture, HDC dc, int x, int y, int width, int height);

    // The thread's entry; the argument is the player.
    static DWORD WINAPI AnimationThreadProc(void* player);
    void RunAnimation();

    // Asks the thread to end and wakes it from its wait; Rearm undoes both.
    void RequestStop();
    void Rearm();

    std::vector<GifFrame> m_frames;
    OffscreenBitmap m_surface;
    GifSize m_canvasSize;
    COLORREF m_fillColour = RGB(255, 255, 255);
    uint32_t m_frameIndex = 0;
    HWND m_window;
    // Called on the animation thread with each wait's length just before it
    // starts, the frame fully drawn: tests record the waits and the surface.
    std::function<void(DWORD milliseconds)> m_beforeWait;

private:
    void ApplyDisposal(const GifFrame& frame);
    void SaveAreaUnder(const GifFrame& frame);
    void Fill(const RECT& area);

    OffscreenBitmap m_saved;
    std::atomic<bool> m_stopRequested{false};
    tn::UniqueHandle m_stopEvent;
};
