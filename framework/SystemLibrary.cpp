#include "framework/SystemLibrary.h"

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD directoryFlags);

}  // namespace

void RestrictLibrarySearchToSystem()
{
    // kernel32 is loaded into every process before its first instruction runs.
    const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
    // Through a plain function pointer type: GetProcAddress's own type has no parameters.
    const auto setDefaultDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void (*)()>(::GetProcAddress(kernel32, "SetDefaultDllDirectories")));
    if (setDefaultDirectories != nullptr) (void)setDefaultDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // An empty text removes the current folder from the search.
    (void)::SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* name)
{
    // Under WoW64 this is System32 as the process sees it: the system
    // redirects it to the 32-bit libraries.
    wchar_t path[MAX_PATH];
    const UINT folderLength = ::GetSystemDirectoryW(path, MAX_PATH);
    const int nameLength = ::lstrlenW(name);
    if (folderLength == 0 || folderLength + 1 + nameLength >= MAX_PATH) return nullptr;
    path[folderLength] = L'\\';
    ::lstrcpyW(path + folderLength + 1, name);  // fits: checked above

    HMODULE library = ::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library == nullptr && ::GetLastError() == ERROR_INVALID_PARAMETER) {
        // A system without the search flags: the full path still names the
        // file, and its dependencies follow the default search.
        library = ::LoadLibraryExW(path, nullptr, 0);
    }
    return library;
}

FARPROC SystemFunctionAddress(const wchar_t* library, const char* function)
{
    const HMODULE module = LoadSystemLibrary(library);
    return module != nullptr ? ::GetProcAddress(module, function) : nullptr;
}
