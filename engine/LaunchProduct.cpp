#include "engine/LaunchProduct.h"

#include <windows.h>

#include <vector>

#include "engine/ProductFiles.h"
#include "framework/Handles.h"

void LaunchProduct(const std::wstring& folder)
{
    const std::wstring programPath = folder + kProductProgramFile;
    // CreateProcessW may write into the command line it is given.
    std::vector<wchar_t> commandLine(programPath.begin(), programPath.end());
    commandLine.push_back(L'\0');

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (::CreateProcessW(programPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &started)) {
        // Nothing waits for the product; its handles are only released.
        tn::UniqueHandle process(started.hProcess);
        tn::UniqueHandle thread(started.hThread);
    }
}
