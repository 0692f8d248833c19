#pragma once
// The animated banner, control 1003 of the main window. It cuts an animated
// GIF into one-frame GIFs (GifFrameSplitter), has each decoded by the OLE
// picture loader and plays them on a thread of its own into an off-screen
// surface, which it copies to the screen when painted. A one-frame GIF, or
// anything else the picture loader takes, is shown still.
//
// In install mode the window puts its minimise (1017) and close (1018)
// images on it, so their clicks come here.

#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <functional>
#include <memory>

#include "controls/AnimationPlayer.h"
#include "controls/GifSplitter.h"
#include "framework/Controls.h"
#include "framework/Handles.h"

class CAnimationCtrl : public CStatic {
public:
    CAnimationCtrl();
    ~CAnimationCtrl() override;

    // Loads the resource (id, type) of the program's resource module.
    bool LoadGifResource(UINT id, const wchar_t* type);
    // Loads size bytes from a movable global block; the caller keeps the
    // block and frees it afterwards. Resizes the control to the picture.
    bool LoadGif(HGLOBAL block, DWORD size);
    // Starts the animation thread, or draws the still picture once. Does
    // nothing while the thread runs.
    void StartAnimation();
    // Ends the animation thread, waiting for it at most 5 seconds.
    void StopAnimation();
    // Stops and releases everything loaded.
    void ClearPicture();

    // The picture's size in pixels.
    GifSize m_canvasSize;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnPaint();
    void OnDestroy();

    bool MakeSurface(int width, int height);

    // The parse state while data is loaded.
    GifFrameSplitter m_splitter;
    bool m_isGif = false;
    bool m_surfaceReady = false;
    tn::UniqueHandle m_thread;
    Microsoft::WRL::ComPtr<IPicture> m_stillPicture;
    // The frames, the surface and the animation thread's state.
    std::unique_ptr<AnimationPlayer> m_player;
    // Handed to the player when the thread starts (see AnimationPlayer).
    std::function<void(DWORD milliseconds)> m_beforeWait;

private:
    bool LoadStillPicture(HGLOBAL block, DWORD size);
    void AddFrame(const GifCutFrame& cut);
    // The close button's question; Yes ends the parent dialog.
    void AskToClose();

    DECLARE_MESSAGE_MAP()
};
