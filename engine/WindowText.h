#pragma once
#include <windows.h>

#include <string>

// The whole text of a window, read through the window's own thread.
inline std::wstring WindowText(HWND window)
{
    if (window == nullptr) return {};
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}
