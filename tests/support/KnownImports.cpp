// tn-known-imports: imports exactly the libraries the shipped installer
// imports and does nothing. Every library the system loads for it before
// its first instruction is one of those known libraries or a library they
// depend on; the planting cases tell those apart from what the installer
// loads later by running it (tests/e2e/planting.py checks that both import
// the same libraries).
#include <winsock2.h>
#include <windows.h>
#include <commdlg.h>
#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>
#include <winternl.h>

#include <cstdio>

int wmain(int argc, wchar_t**)
{
    // Never taken: the calls only put each library into the import table.
    if (argc > 1000) {
        OPENFILENAMEW dialog = {};
        WSADATA sockets = {};
        (void)::RegCloseKey(HKEY_CURRENT_USER);
        (void)::GetOpenFileNameW(&dialog);
        (void)::GetStockObject(WHITE_BRUSH);
        (void)::CoInitialize(nullptr);
        ::SysFreeString(nullptr);
        (void)::ShellExecuteW(nullptr, nullptr, nullptr, nullptr, nullptr, SW_SHOW);
        (void)::MessageBoxW(nullptr, nullptr, nullptr, MB_OK);
        (void)::WSAStartup(MAKEWORD(2, 2), &sockets);
        (void)::RtlNtStatusToDosError(0);
    }
    std::puts("known imports loaded");
    return 0;
}
