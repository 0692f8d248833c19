#pragma once
// Tiny PNG files built by the tests, and what the controls' tests share: a
// stream over bytes, a host window with a known background that records its
// children's notifications, and the pixels a window shows.

#include <windows.h>
#include <objidl.h>

#include <wrl/client.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Wnd.h"

struct Rgba {
    uint8_t r, g, b, a;
};

// A PNG of 8 bits per sample, not interlaced: colour type 6 with alpha, or
// colour type 2 (the pixels' alpha is then left out). Rows top first.
std::string BuildPng(int width, int height, bool alpha, const std::vector<Rgba>& pixels);

// TNInstaller.exe beside this test, loaded as a data file once and kept
// until the process ends.
HMODULE ShippedProgramModule();

// A read-only stream over the bytes (SHCreateMemStream copies them).
Microsoft::WRL::ComPtr<IStream> StreamOver(const std::string& bytes);

// A top-level pop-up at the screen's origin that paints itself in one
// colour and records the WM_COMMAND notifications of its children.
class TestHost : public CWnd {
public:
    TestHost(int width, int height, COLORREF background);
    ~TestHost() override;

    struct Command {
        UINT code;
        UINT id;
    };
    std::vector<Command> commands;
    bool Received(UINT code, UINT id) const;

    HWND CreateChild(const wchar_t* windowClass, const wchar_t* text, DWORD style, int id, int x, int y, int width,
                     int height);
    // Paints the host and then every child, erasing first, before returning.
    void RepaintAll();
    // Dispatches what has been posted to this thread.
    static void PumpPosted();

    COLORREF m_background;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnPaint();

    DECLARE_MESSAGE_MAP()
};

// What a window shows: its client area, or with the frame, its whole window,
// read back from its DC.
class WindowPixels {
public:
    explicit WindowPixels(HWND window, bool wholeWindow = false);
    COLORREF At(int x, int y) const;
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<uint32_t> m_pixels;
};

// A 32-bit top-down DIB selected into a memory DC, filled with one colour.
class MemoryCanvas {
public:
    MemoryCanvas(int width, int height, COLORREF fill);
    ~MemoryCanvas();
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    HDC Dc() const { return m_dc; }
    COLORREF At(int x, int y) const;
    bool AllAre(COLORREF colour) const;

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    uint32_t* m_bits = nullptr;
};

// Colours within one step per channel: blending may round either way.
bool Near(COLORREF a, COLORREF b, int tolerance = 1);
std::string Describe(COLORREF colour);
