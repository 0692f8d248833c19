// The stand-in product. Each start appends one line to launch.log in its own
// folder, "<command line>\t<current folder>\t<creation time>" in UTF-8 (the
// time in Unix seconds with milliseconds, when the starting process created
// it rather than when it got to run), and then the program stays running
// until its window is closed or the process is ended.
#include <windows.h>

#include <string>

#include "framework/Handles.h"

namespace {

std::string ToUtf8(const std::wstring& text)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr,
                              nullptr);
    }
    return bytes;
}

std::wstring OwnFolder()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    const std::wstring::size_type separator = folder.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : folder.substr(0, separator);
}

std::wstring CreationTime()
{
    FILETIME creation = {}, exit = {}, kernel = {}, user = {};
    ::GetProcessTimes(::GetCurrentProcess(), &creation, &exit, &kernel, &user);
    const unsigned long long ticks =
        (static_cast<unsigned long long>(creation.dwHighDateTime) << 32) | creation.dwLowDateTime;
    constexpr unsigned long long kTicksFrom1601To1970 = 116444736000000000ull;
    const unsigned long long milliseconds = (ticks - kTicksFrom1601To1970) / 10000;
    const std::wstring fraction = std::to_wstring(1000 + milliseconds % 1000).substr(1);
    return std::to_wstring(milliseconds / 1000) + L"." + fraction;
}

void AppendLaunchRecord()
{
    wchar_t currentFolder[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, currentFolder);
    const std::string line =
        ToUtf8(std::wstring(::GetCommandLineW()) + L"\t" + currentFolder + L"\t" + CreationTime()) + "\n";

    // Appending writes land at the end even when two copies start at once.
    tn::UniqueFile log(::CreateFileW((OwnFolder() + L"\\launch.log").c_str(), FILE_APPEND_DATA,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log) return;
    DWORD written = 0;
    ::WriteFile(log.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    AppendLaunchRecord();

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"TarnivoStandIn";
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    ::RegisterClassW(&windowClass);
    ::CreateWindowExW(0, windowClass.lpszClassName, L"Tarnivo 2.0", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                      CW_USEDEFAULT, CW_USEDEFAULT, 320, 200, nullptr, nullptr, instance, nullptr);

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
