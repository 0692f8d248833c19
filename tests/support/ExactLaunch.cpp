// tn-launch PROGRAM: starts PROGRAM with the exact arguments in the
// environment variable TN_ARGUMENTS, waits for it and returns its exit code.
// Wine quotes and escapes the arguments it is given, so a command line such
// as "D:\Apps\Tarnivo" (with its quotes) can only be passed this way.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/Handles.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        fwprintf(stderr, L"usage: tn-launch PROGRAM   (arguments in TN_ARGUMENTS)\n");
        return 2;
    }
    std::wstring arguments;
    const DWORD length = ::GetEnvironmentVariableW(L"TN_ARGUMENTS", nullptr, 0);
    if (length > 0) {
        arguments.resize(length);
        arguments.resize(::GetEnvironmentVariableW(L"TN_ARGUMENTS", &arguments[0], length));
    }
    std::wstring commandLine = std::wstring(L"\"") + argv[1] + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (!::CreateProcessW(argv[1], writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        fwprintf(stderr, L"tn-launch: cannot start %ls (error %lu)\n", argv[1], ::GetLastError());
        return 3;
    }
    tn::UniqueHandle process(started.hProcess);
    tn::UniqueHandle thread(started.hThread);
    ::WaitForSingleObject(process.get(), INFINITE);
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.get(), &exitCode);
    return static_cast<int>(exitCode);
}
