// tn-window-probe: reads the installer's window from outside, through the
// Windows API, for the end-to-end tests.
//
//   tn-window-probe watch SECONDS   prints every new text of the status
//                                   control (1004) of the installer's window,
//                                   one UTF-8 line each,
//                                   until that window goes or time runs out
//   tn-window-probe close-product   closes every stand-in product window
//   tn-window-probe close-installer asks the installer's window to close, as
//                                   the system's close command does
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const int kStatusId = 1004;

// The installer's window holds every control of its template; test windows
// of other programs that hold only some of them are not it.
BOOL CALLBACK FindInstallerWindow(HWND window, LPARAM found)
{
    for (int id : {1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010}) {
        if (::GetDlgItem(window, id) == nullptr) return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void PrintUtf8Line(const std::wstring& text)
{
    char bytes[1024];
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes, sizeof(bytes), nullptr, nullptr);
    if (size <= 0) return;
    fwrite(bytes, 1, static_cast<size_t>(size - 1), stdout);
    fputc('\n', stdout);
    fflush(stdout);
}

int Watch(int seconds)
{
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    HWND window = nullptr;
    std::wstring last;
    bool seen = false;
    while (::GetTickCount64() < deadline) {
        if (window == nullptr || !::IsWindow(window)) {
            if (seen) return 0;  // the window has gone
            window = nullptr;
            ::EnumWindows(&FindInstallerWindow, reinterpret_cast<LPARAM>(&window));
        }
        if (window != nullptr) {
            seen = true;
            wchar_t text[256] = {};
            DWORD_PTR copied = 0;
            if (::SendMessageTimeoutW(::GetDlgItem(window, kStatusId), WM_GETTEXT, 256,
                                      reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000, &copied) &&
                last != text) {
                last = text;
                PrintUtf8Line(last);
            }
        }
        ::Sleep(5);
    }
    return seen ? 0 : 1;
}

BOOL CALLBACK CloseProduct(HWND window, LPARAM closed)
{
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    if (wcscmp(className, L"TarnivoStandIn") == 0) {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        ++*reinterpret_cast<int*>(closed);
    }
    return TRUE;
}

// tn-window-probe controls: each control of the installer's window, top of
// the z-order first, one line each: id, 1 if visible, window rectangle and
// client rectangle in screen coordinates.
BOOL CALLBACK PrintControl(HWND control, LPARAM)
{
    RECT window = {}, client = {};
    ::GetWindowRect(control, &window);
    ::GetClientRect(control, &client);
    ::MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&client), 2);
    printf("%d %d %ld %ld %ld %ld %ld %ld %ld %ld\n", ::GetDlgCtrlID(control), ::IsWindowVisible(control) ? 1 : 0,
           window.left, window.top, window.right, window.bottom, client.left, client.top, client.right, client.bottom);
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && wcscmp(argv[1], L"watch") == 0) return Watch(_wtoi(argv[2]));
    if (argc == 2 && wcscmp(argv[1], L"close-product") == 0) {
        int closed = 0;
        ::EnumWindows(&CloseProduct, reinterpret_cast<LPARAM>(&closed));
        printf("closed %d\n", closed);
        return 0;
    }
    if (argc == 2 && wcscmp(argv[1], L"controls") == 0) {
        HWND window = nullptr;
        ::EnumWindows(&FindInstallerWindow, reinterpret_cast<LPARAM>(&window));
        if (window == nullptr) return 1;
        ::EnumChildWindows(window, &PrintControl, 0);
        fflush(stdout);
        return 0;
    }
    if (argc == 2 && wcscmp(argv[1], L"close-installer") == 0) {
        HWND window = nullptr;
        ::EnumWindows(&FindInstallerWindow, reinterpret_cast<LPARAM>(&window));
        if (window == nullptr) return 1;
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    }
    fwprintf(stderr, L"usage: tn-window-probe watch SECONDS | close-product | close-installer\n");
    return 2;
}
