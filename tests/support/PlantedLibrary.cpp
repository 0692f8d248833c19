// tn-planted.dll: what an attacker without administrator rights would put
// beside the installer, under the name of a library it might load. Once
// loaded it records where and by which program, in the folder that
// TN_PLANTED_MARKERS names: "<library file>-<process id>.txt" holding
// "<program path>\t<library path>". It asks nothing else of the process.
#include <windows.h>

namespace {

void RecordLoad(HMODULE self)
{
    wchar_t folder[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"TN_PLANTED_MARKERS", folder, MAX_PATH) == 0) return;
    wchar_t library[MAX_PATH] = {};
    wchar_t program[MAX_PATH] = {};
    ::GetModuleFileNameW(self, library, MAX_PATH);
    ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    const wchar_t* name = library;
    for (const wchar_t* at = library; *at != L'\0'; ++at) {
        if (*at == L'\\' || *at == L'/') name = at + 1;
    }
    wchar_t marker[3 * MAX_PATH] = {};
    ::wsprintfW(marker, L"%s\\%s-%lu.txt", folder, name, ::GetCurrentProcessId());
    const HANDLE file = ::CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    wchar_t record[2 * MAX_PATH + 2] = {};
    ::wsprintfW(record, L"%s\t%s", program, library);
    DWORD written = 0;
    (void)::WriteFile(file, record, static_cast<DWORD>(::lstrlenW(record) * sizeof(wchar_t)), &written, nullptr);
    ::CloseHandle(file);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) RecordLoad(self);
    return TRUE;
}
