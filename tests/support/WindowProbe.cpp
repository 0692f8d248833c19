// tn-window-probe: reads the installer's window from outside, through the
// Windows API, for the end-to-end tests.
//
//   tn-window-probe watch SECONDS   prints every new text of the status
//                                   control (1004) of the installer's window,
//                                   one UTF-8 line each, "<Unix time in ms>\t
//                                   <text>", until that window goes or time
//                                   runs out
//   tn-window-probe close-product   closes every stand-in product window, again
//                                   until no "Tarnivo.exe" runs (exit 0) or
//                                   30 s have passed (1)
//   tn-window-probe close-installer asks the installer's window to close, as
//                                   the system's close command does
//   tn-window-probe wait-percent N SECONDS
//                                   waits until the status control shows a
//                                   percentage of at least N (exit 0), or
//                                   the window goes or time runs out (1)
//   tn-window-probe running IMAGE   exit 0 when a process runs the program
//                                   at the full path IMAGE, else 1
//   tn-window-probe controls        the installer window's controls, their
//                                   visibility and places
//   tn-window-probe dump            every window of the installer's process
//                                   and its controls (see Dump)
//   tn-window-probe wait-painted SECONDS
//                                   when the installer's window is first
//                                   painted, and its process's peak working
//                                   set
//
// --installer IMAGE before a command limits it to the installer window of
// the program at the full path IMAGE, so tests that run side by side in one
// prefix each find their own.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const int kStatusId = 1004;

// Only windows of this program, when set.
const wchar_t* g_installerImage = nullptr;

std::wstring ImageOfWindow(HWND window)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) return std::wstring();
    wchar_t path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    const BOOL found = ::QueryFullProcessImageNameW(process, 0, path, &length);
    ::CloseHandle(process);
    return found ? path : std::wstring();
}

// The installer's window holds every control of its template; test windows
// of other programs that hold only some of them are not it.
BOOL CALLBACK FindInstallerWindow(HWND window, LPARAM found)
{
    for (int id : {1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010}) {
        if (::GetDlgItem(window, id) == nullptr) return TRUE;
    }
    if (g_installerImage != nullptr && ::lstrcmpiW(ImageOfWindow(window).c_str(), g_installerImage) != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void PrintUtf8Line(const std::wstring& text)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return;
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &bytes[0], size, nullptr, nullptr);
    fwrite(bytes.data(), 1, static_cast<size_t>(size - 1), stdout);
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
                FILETIME now;
                ::GetSystemTimeAsFileTime(&now);
                const ULONGLONG ticks = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
                PrintUtf8Line(std::to_wstring((ticks - 116444736000000000ull) / 10000) + L"\t" + last);
            }
        }
        ::Sleep(5);
    }
    return seen ? 0 : 1;
}

// The number at the end of a status text such as "安装中. . .    37%", or -1.
int PercentIn(const std::wstring& text)
{
    if (text.size() < 2 || text.back() != L'%') return -1;
    std::wstring::size_type start = text.size() - 1;
    while (start > 0 && iswdigit(text[start - 1])) --start;
    return start == text.size() - 1 ? -1 : _wtoi(text.c_str() + start);
}

int WaitForPercent(int least, int seconds)
{
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    HWND window = nullptr;
    while (::GetTickCount64() < deadline) {
        if (window == nullptr) ::EnumWindows(&FindInstallerWindow, reinterpret_cast<LPARAM>(&window));
        else if (!::IsWindow(window)) return 1;
        if (window != nullptr) {
            wchar_t text[256] = {};
            DWORD_PTR copied = 0;
            if (::SendMessageTimeoutW(::GetDlgItem(window, kStatusId), WM_GETTEXT, 256,
                                      reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000, &copied) &&
                PercentIn(text) >= least) {
                return 0;
            }
        }
        ::Sleep(5);
    }
    return 1;
}

// Whether a process runs the program at image (compared ignoring case).
int Running(const wchar_t* image)
{
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 2;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    int found = 1;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more && found != 0; more = ::Process32NextW(snapshot, &entry)) {
        HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
        if (process == nullptr) continue;
        wchar_t path[MAX_PATH] = {};
        DWORD length = MAX_PATH;
        if (::QueryFullProcessImageNameW(process, 0, path, &length) && ::lstrcmpiW(path, image) == 0) found = 0;
        ::CloseHandle(process);
    }
    ::CloseHandle(snapshot);
    return found;
}

BOOL CALLBACK CloseProduct(HWND window, LPARAM asked)
{
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    if (wcscmp(className, L"TarnivoStandIn") == 0) {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        ++*reinterpret_cast<int*>(asked);
    }
    return TRUE;
}

// The processes running a program named "Tarnivo.exe", or -1 when they
// cannot be listed.
int RunningProducts()
{
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    int running = 0;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        if (::lstrcmpiW(entry.szExeFile, L"Tarnivo.exe") == 0) ++running;
    }
    ::CloseHandle(snapshot);
    return running;
}

// A copy that has just started may not have its window yet, and a closed one
// takes a moment to end: the files of the product are free only once none
// runs, so the windows are closed again until then.
int CloseProducts(int seconds)
{
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    int asked = 0;
    for (;;) {
        ::EnumWindows(&CloseProduct, reinterpret_cast<LPARAM>(&asked));
        const int running = RunningProducts();
        if (running == 0) break;
        if (::GetTickCount64() >= deadline) {
            printf("asked %d times, %d still running\n", asked, running);
            return 1;
        }
        ::Sleep(100);
    }
    printf("asked %d times, none running\n", asked);
    return 0;
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

std::wstring TextOf(HWND window)
{
    wchar_t text[2048] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000,
                          &copied);
    std::wstring flat = text;
    for (wchar_t& c : flat) {
        if (c == L'\t' || c == L'\r' || c == L'\n') c = L' ';
    }
    return flat;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, ARRAYSIZE(name));
    return name;
}

std::wstring Rect(const RECT& rect)
{
    return std::to_wstring(rect.left) + L"\t" + std::to_wstring(rect.top) + L"\t" + std::to_wstring(rect.right) + L"\t" +
           std::to_wstring(rect.bottom);
}

std::wstring Hex(ULONG_PTR value)
{
    wchar_t text[24];
    swprintf(text, 24, L"%lx", static_cast<unsigned long>(value));
    return text;
}

// tn-window-probe dump: every top-level window of the installer's process
// and every control in them, one line each, fields joined by tabs:
//   window HWND CLASS VISIBLE ICONIC ENABLED LEFT TOP RIGHT BOTTOM STYLE OWNER TEXT
//   control PARENT HWND ID CLASS VISIBLE (window rectangle) (client
//           rectangle, in screen coordinates) STYLE TEXT
BOOL CALLBACK DumpControl(HWND control, LPARAM)
{
    RECT window = {}, client = {};
    ::GetWindowRect(control, &window);
    ::GetClientRect(control, &client);
    ::MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&client), 2);
    PrintUtf8Line(L"control\t" + Hex(reinterpret_cast<ULONG_PTR>(::GetParent(control))) + L"\t" +
                  Hex(reinterpret_cast<ULONG_PTR>(control)) + L"\t" + std::to_wstring(::GetDlgCtrlID(control)) + L"\t" +
                  ClassOf(control) + L"\t" + (::IsWindowVisible(control) ? L"1" : L"0") + L"\t" + Rect(window) + L"\t" +
                  Rect(client) + L"\t" + Hex(static_cast<ULONG_PTR>(::GetWindowLongPtrW(control, GWL_STYLE))) + L"\t" +
                  TextOf(control));
    return TRUE;
}

BOOL CALLBACK DumpWindow(HWND window, LPARAM installerProcess)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (processId != static_cast<DWORD>(installerProcess)) return TRUE;
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    PrintUtf8Line(L"window\t" + Hex(reinterpret_cast<ULONG_PTR>(window)) + L"\t" + ClassOf(window) + L"\t" +
                  (::IsWindowVisible(window) ? L"1" : L"0") + L"\t" + (::IsIconic(window) ? L"1" : L"0") + L"\t" +
                  (::IsWindowEnabled(window) ? L"1" : L"0") + L"\t" + Rect(rect) + L"\t" +
                  Hex(static_cast<ULONG_PTR>(::GetWindowLongPtrW(window, GWL_STYLE))) + L"\t" +
                  Hex(reinterpret_cast<ULONG_PTR>(::GetWindow(window, GW_OWNER))) + L"\t" + TextOf(window));
    ::EnumChildWindows(window, &DumpControl, 0);
    return TRUE;
}

// Whether the window and every visible control in it have been painted:
// no update region left anywhere.
BOOL CALLBACK FindUnpainted(HWND control, LPARAM unpainted)
{
    if (::IsWindowVisible(control) && ::GetUpdateRect(control, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(unpainted) = true;
        return FALSE;
    }
    return TRUE;
}

// tn-window-probe wait-painted SECONDS: waits until the installer's window is
// visible and painted, then prints "<Unix time in ms>\t<the process's peak
// working set in bytes>" (exit 0); 1 when time runs out.
int WaitPainted(int seconds)
{
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    while (::GetTickCount64() < deadline) {
        HWND window = nullptr;
        ::EnumWindows(&FindInstallerWindow, reinterpret_cast<LPARAM>(&window));
        bool unpainted = window == nullptr || !::IsWindowVisible(window) || ::GetUpdateRect(window, nullptr, FALSE);
        if (!unpainted) ::EnumChildWindows(window, &FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
        if (!unpainted) {
            FILETIME now;
            ::GetSystemTimeAsFileTime(&now);
            const ULONGLONG ticks = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
            DWORD processId = 0;
            ::GetWindowThreadProcessId(window, &processId);
            PROCESS_MEMORY_COUNTERS counters = {};
            counters.cb = sizeof(counters);
            HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
            if (process != nullptr) {
                ::GetProcessMemoryInfo(process, &counters, sizeof(counters));
                ::CloseHandle(process);
            }
            PrintUtf8Line(std::to_wstring((ticks - 116444736000000000ull) / 10000) + L"\t" +
                          std::to_wstring(counters.PeakWorkingSetSize));
            return 0;
        }
        ::Sleep(2);
    }
    return 1;
}

int Dump()
{
    HWND installer = nullptr;
    ::EnumWindows(&FindInstallerWindow, reinterpret_cast<LPARAM>(&installer));
    if (installer == nullptr) return 1;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(installer, &processId);
    ::EnumWindows(&DumpWindow, static_cast<LPARAM>(processId));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc >= 3 && wcscmp(argv[1], L"--installer") == 0) {
        g_installerImage = argv[2];
        argv += 2;
        argc -= 2;
    }
    if (argc == 3 && wcscmp(argv[1], L"watch") == 0) return Watch(_wtoi(argv[2]));
    if (argc == 4 && wcscmp(argv[1], L"wait-percent") == 0) return WaitForPercent(_wtoi(argv[2]), _wtoi(argv[3]));
    if (argc == 3 && wcscmp(argv[1], L"running") == 0) return Running(argv[2]);
    if (argc == 2 && wcscmp(argv[1], L"close-product") == 0) return CloseProducts(30);
    if (argc == 2 && wcscmp(argv[1], L"controls") == 0) {
        HWND window = nullptr;
        ::EnumWindows(&FindInstallerWindow, reinterpret_cast<LPARAM>(&window));
        if (window == nullptr) return 1;
        ::EnumChildWindows(window, &PrintControl, 0);
        fflush(stdout);
        return 0;
    }
    if (argc == 2 && wcscmp(argv[1], L"dump") == 0) return Dump();
    if (argc == 3 && wcscmp(argv[1], L"wait-painted") == 0) return WaitPainted(_wtoi(argv[2]));
    if (argc == 2 && wcscmp(argv[1], L"close-installer") == 0) {
        HWND window = nullptr;
        ::EnumWindows(&FindInstallerWindow, reinterpret_cast<LPARAM>(&window));
        if (window == nullptr) return 1;
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    }
    fwprintf(stderr, L"usage: tn-window-probe [--installer IMAGE] watch SECONDS | close-product | close-installer"
                     L" | wait-percent N SECONDS | running IMAGE | controls | dump | wait-painted SECONDS\n");
    return 2;
}
