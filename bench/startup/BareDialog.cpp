// The reference for the start-up benchmark: a bare dialog of the installer's
// size and controls, with nothing behind it (no images, no banner, no
// process walk), shown the same way at the screen's top-left corner.
#include <windows.h>
#include <commctrl.h>

namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ::MoveWindow(dialog, 0, 0, 479, 359, TRUE);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) ::EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    return static_cast<int>(::DialogBoxParamW(instance, MAKEINTRESOURCEW(102), nullptr, &DialogProc, 0));
}
