#include "tests/controls/ControlsTestSupport.h"

#include <shlwapi.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>

#include "framework/DC.h"

namespace {

void PutBigEndian(std::string& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void PutChunk(std::string& out, const char* type, const std::string& data)
{
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    const std::string typed = std::string(type, 4) + data;
    out += typed;
    PutBigEndian(out, static_cast<uint32_t>(
                          crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()))));
}

const COLORREF kNoColour = 0xFFFFFFFF;

COLORREF FromBgra(uint32_t pixel)
{
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

}  // namespace

HMODULE ShippedProgramModule()
{
    static const HMODULE program = [] {
        wchar_t self[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring path = self;
        path = path.substr(0, path.find_last_of(L'\\')) + L"\\TNInstaller.exe";
        return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }();
    return program;
}

std::string BuildPng(int width, int height, bool alpha, const std::vector<Rgba>& pixels)
{
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < width; ++x) {
            const Rgba& p = pixels[static_cast<size_t>(y * width + x)];
            raw.push_back(static_cast<char>(p.r));
            raw.push_back(static_cast<char>(p.g));
            raw.push_back(static_cast<char>(p.b));
            if (alpha) raw.push_back(static_cast<char>(p.a));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(&packed[0]), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
             static_cast<uLong>(raw.size()));
    packed.resize(packedSize);

    std::string header;
    PutBigEndian(header, static_cast<uint32_t>(width));
    PutBigEndian(header, static_cast<uint32_t>(height));
    header += std::string{8, static_cast<char>(alpha ? 6 : 2), 0, 0, 0};
    std::string png = "\x89PNG\r\n\x1a\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", "");
    return png;
}

Microsoft::WRL::ComPtr<IStream> StreamOver(const std::string& bytes)
{
    Microsoft::WRL::ComPtr<IStream> stream;
    stream.Attach(::SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
    return stream;
}

BEGIN_MESSAGE_MAP(TestHost, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

TestHost::TestHost(int width, int height, COLORREF background) : m_background(background)
{
    HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, width, height, nullptr,
                                    nullptr, ::GetModuleHandleW(nullptr), nullptr);
    SubclassWindow(window);
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    ::UpdateWindow(window);
}

TestHost::~TestHost()
{
    if (m_hWnd != nullptr) ::DestroyWindow(m_hWnd);
}

bool TestHost::Received(UINT code, UINT id) const
{
    for (const Command& command : commands) {
        if (command.code == code && command.id == id) return true;
    }
    return false;
}

HWND TestHost::CreateChild(const wchar_t* windowClass, const wchar_t* text, DWORD style, int id, int x, int y,
                           int width, int height)
{
    return ::CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, m_hWnd,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
}

void TestHost::RepaintAll()
{
    ::RedrawWindow(m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
}

void TestHost::PumpPosted()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

BOOL TestHost::OnCommand(WPARAM wParam, LPARAM)
{
    commands.push_back({HIWORD(wParam), LOWORD(wParam)});
    return TRUE;
}

void TestHost::OnPaint()
{
    CPaintDC dc(this);
    RECT client = {};
    GetClientRect(&client);
    HBRUSH brush = ::CreateSolidBrush(m_background);
    ::FillRect(dc, &client, brush);
    ::DeleteObject(brush);
}

WindowPixels::WindowPixels(HWND window, bool wholeWindow)
{
    RECT area = {};
    if (wholeWindow) {
        ::GetWindowRect(window, &area);
        ::OffsetRect(&area, -area.left, -area.top);
    } else {
        ::GetClientRect(window, &area);
    }
    m_width = area.right;
    m_height = area.bottom;
    HDC source = wholeWindow ? ::GetWindowDC(window) : ::GetDC(window);
    MemoryCanvas copy(m_width, m_height, RGB(0, 0, 0));
    ::BitBlt(copy.Dc(), 0, 0, m_width, m_height, source, 0, 0, SRCCOPY);
    ::ReleaseDC(window, source);
    m_pixels.resize(static_cast<size_t>(m_width * m_height));
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) m_pixels[static_cast<size_t>(y * m_width + x)] = copy.At(x, y);
    }
}

COLORREF WindowPixels::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return kNoColour;
    return m_pixels[static_cast<size_t>(y * m_width + x)];
}

MemoryCanvas::MemoryCanvas(int width, int height, COLORREF fill) : m_width(width), m_height(height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_dc = ::CreateCompatibleDC(nullptr);
    m_bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<uint32_t*>(bits);
    m_previous = ::SelectObject(m_dc, m_bitmap);
    for (int i = 0; i < width * height; ++i) {
        m_bits[i] = (static_cast<uint32_t>(GetRValue(fill)) << 16) | (static_cast<uint32_t>(GetGValue(fill)) << 8) |
                    GetBValue(fill);
    }
}

MemoryCanvas::~MemoryCanvas()
{
    ::SelectObject(m_dc, m_previous);
    ::DeleteObject(m_bitmap);
    ::DeleteDC(m_dc);
}

COLORREF MemoryCanvas::At(int x, int y) const
{
    ::GdiFlush();
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return kNoColour;
    return FromBgra(m_bits[y * m_width + x]);
}

bool MemoryCanvas::AllAre(COLORREF colour) const
{
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            if (At(x, y) != colour) return false;
        }
    }
    return true;
}

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

std::string Describe(COLORREF colour)
{
    char text[32];
    snprintf(text, sizeof(text), "RGB(%d, %d, %d)", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}
