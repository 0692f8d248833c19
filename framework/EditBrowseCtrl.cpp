#include "framework/EditBrowseCtrl.h"

namespace {
WNDPROC g_editWindowProc = nullptr;

LRESULT CALLBACK EditBrowseWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::CallWindowProcW(g_editWindowProc, hWnd, message, wParam, lParam);
}
}  // namespace

bool CMFCEditBrowseCtrl::RegisterWindowClass(HINSTANCE instance)
{
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(instance, kWindowClass, &existing)) return true;

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    if (!::GetClassInfoExW(nullptr, L"Edit", &windowClass)) return false;
    g_editWindowProc = windowClass.lpfnWndProc;
    windowClass.lpfnWndProc = &EditBrowseWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    windowClass.style &= ~CS_GLOBALCLASS;
    return ::RegisterClassExW(&windowClass) != 0;
}
