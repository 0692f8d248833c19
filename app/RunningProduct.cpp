#include "app/RunningProduct.h"

#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include "app/ProductShutdown.h"
#include "app/ShutdownMessages.h"
#include "engine/ProductFiles.h"
#include "framework/Handles.h"
#include "framework/WinApp.h"

namespace {

using CreateSnapshotFunction = HANDLE(WINAPI*)(DWORD flags, DWORD processId);

// Found again by each call and kept for the process's life.
HMODULE g_kernel32 = nullptr;
CreateSnapshotFunction g_createSnapshot = nullptr;

// The system's process list and operations.
class SystemProcesses : public ProcessSystem {
public:
    explicit SystemProcesses(HANDLE snapshot) : m_snapshot(snapshot) { m_entry.dwSize = sizeof(m_entry); }

    bool FirstProcess(ProcessEntry* entry) override { return Take(::Process32FirstW(m_snapshot.get(), &m_entry), entry); }
    bool NextProcess(ProcessEntry* entry) override { return Take(::Process32NextW(m_snapshot.get(), &m_entry), entry); }

    bool IsProductName(const std::wstring& name) override
    {
        return ::lstrcmpiW(name.c_str(), kProductProgramName) == 0;
    }

    std::wstring ModulePath() override
    {
        // Path buffers hold 260 units, as everywhere in the program.
        wchar_t path[MAX_PATH] = {};
        const DWORD length = ::GetModuleFileNameW(AfxGetInstanceHandle(), path, MAX_PATH);
        return std::wstring(path, length < MAX_PATH ? length : 0);
    }

    bool NamesSameFile(const std::wstring& first, const std::wstring& second) override
    {
        return ::CompareStringOrdinal(first.c_str(), -1, second.c_str(), -1, TRUE) == CSTR_EQUAL;
    }

    void Relaunch(const std::wstring& path, const std::wstring& parameters) override
    {
        // The parameters exactly as this process received them, an empty
        // text for an empty command line; a start that fails goes unnoticed.
        (void)::ShellExecuteW(nullptr, L"runas", path.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL);
    }

    void EndProcess(uint32_t processId) override
    {
        // A process that cannot be opened (gone, access denied) is passed over.
        tn::UniqueHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, processId));
        (void)::TerminateProcess(process.get(), 0);
    }

    void Wait(uint32_t milliseconds) override { ::Sleep(milliseconds); }

private:
    bool Take(BOOL filled, ProcessEntry* entry) const
    {
        if (!filled) return false;
        entry->exeFile = m_entry.szExeFile;
        entry->processId = m_entry.th32ProcessID;
        return true;
    }

    // A snapshot that cannot be taken makes the first read fail: nothing is
    // ended and nothing waited for.
    tn::UniqueFile m_snapshot;
    PROCESSENTRY32W m_entry = {};
};

}  // namespace

void TerminateRunningProduct()
{
    g_kernel32 = ::LoadLibraryW(L"kernel32.dll");
    if (g_kernel32 == nullptr) {
        ::MessageBoxA(nullptr, kKernelNotLoadedText, kShutdownFailureCaption, MB_ICONWARNING);
        return;
    }
    // Through a plain function pointer type: GetProcAddress's own type has no parameters.
    g_createSnapshot = reinterpret_cast<CreateSnapshotFunction>(
        reinterpret_cast<void (*)()>(::GetProcAddress(g_kernel32, "CreateToolhelp32Snapshot")));
    if (g_createSnapshot == nullptr) {
        ::MessageBoxA(nullptr, kSnapshotFunctionMissingText, kShutdownFailureCaption, MB_ICONWARNING);
        return;
    }
    SystemProcesses processes(g_createSnapshot(TH32CS_SNAPPROCESS, 0));
    const CWinApp* application = AfxGetApp();
    (void)EndRunningProduct(processes, application->m_lpCmdLine, application->m_pszExeName);
}

void EndRunningProductCopies()
{
    SystemProcesses processes(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    (void)EndRunningCopies(processes);
}
