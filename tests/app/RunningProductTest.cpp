// Ending running copies of the product under Wine, with real processes: copies
// of the stand-in product saved under the names below, ended or left by the
// real TerminateRunningProduct, and the elevated relaunch observed through a
// stand-in saved as the installer ("setup.exe"), which records how it was
// started. Runs in a prefix of its own: it ends every "Tarnivo.exe" there.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "app/RunningProduct.h"
#include "framework/Afx.h"
#include "tests/archive/ScratchFolder.h"

namespace {

class TestApp : public CWinApp {};
TestApp theTestApp;

uint64_t TicksOf(const FILETIME& time)
{
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

class RunningProductTest : public testing::Test {
protected:
    void SetUp() override
    {
        wchar_t self[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        const std::wstring folder = std::wstring(self).substr(0, std::wstring(self).find_last_of(L'\\'));
        m_product = ReadWholeFile(folder + L"\\Tarnivo.exe").value_or("");
        ASSERT_FALSE(m_product.empty());
        // The installer saved as D:\Down\setup.exe, as far as the framework knows.
        ::CreateDirectoryW(m_scratch.Path(L"Down").c_str(), nullptr);
        m_installer = m_scratch.Path(L"Down\\setup.exe");
        ASSERT_TRUE(WriteWholeFile(m_installer, m_product));
        m_installerModule = ::LoadLibraryExW(m_installer.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
        ASSERT_NE(m_installerModule, nullptr);
    }
    void TearDown() override
    {
        for (PROCESS_INFORMATION& started : m_started) {
            ::TerminateProcess(started.hProcess, 0);
            ::WaitForSingleObject(started.hProcess, 5000);
            ::CloseHandle(started.hProcess);
            ::CloseHandle(started.hThread);
        }
        EndRelaunched();
        theTestApp.SetCurrentHandles(::GetModuleHandleW(nullptr), L"tests.exe");
        if (m_installerModule != nullptr) ::FreeLibrary(m_installerModule);
    }

    // Starts a copy of the stand-in product saved under name in a folder of its own.
    HANDLE Start(const std::wstring& name)
    {
        const std::wstring folder = m_scratch.Path(L"copy" + std::to_wstring(m_started.size()));
        ::CreateDirectoryW(folder.c_str(), nullptr);
        const std::wstring path = folder + L"\\" + name;
        EXPECT_TRUE(WriteWholeFile(path, m_product));
        std::wstring commandLine = L"\"" + path + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION started = {};
        EXPECT_TRUE(::CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                                     &startup, &started));
        m_started.push_back(started);
        // Running for sure: its record is the first thing it writes.
        const ULONGLONG deadline = ::GetTickCount64() + 60000;
        while (!Exists(folder + L"\\launch.log") && ::GetTickCount64() < deadline) ::Sleep(50);
        return started.hProcess;
    }

    // Runs the real operation as the installer started with arguments does;
    // returns how long it took in milliseconds.
    long long Terminate(const std::wstring& arguments)
    {
        theTestApp.SetCurrentHandles(m_installerModule, L"\"" + m_installer + L"\" " + arguments);
        const auto start = std::chrono::steady_clock::now();
        TerminateRunningProduct();
        const long long took = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start).count();
        std::printf("TerminateRunningProduct took %lld ms\n", took);
        return took;
    }

    static bool Running(HANDLE process) { return ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }
    static bool EndedWithZero(HANDLE process)
    {
        DWORD code = 1;
        return ::WaitForSingleObject(process, 10000) == WAIT_OBJECT_0 && ::GetExitCodeProcess(process, &code) &&
               code == 0;
    }

    // The relaunched installer's record, "<command line>\t<current folder>\t<creation time>".
    std::vector<std::string> RelaunchRecords(DWORD waitMs) const
    {
        const ULONGLONG deadline = ::GetTickCount64() + waitMs;
        std::string records;
        while (::GetTickCount64() < deadline) {
            records = ReadWholeFile(m_scratch.Path(L"Down\\launch.log")).value_or("");
            if (!records.empty()) break;
            ::Sleep(100);
        }
        std::vector<std::string> lines;
        for (size_t start = 0, end; (end = records.find('\n', start)) != std::string::npos; start = end + 1) {
            lines.push_back(records.substr(start, end - start));
        }
        return lines;
    }
    // A relaunch starts its process before the operation returns, so right
    // after it a relaunch shows as a process running the installer's file.
    bool InstallerRelaunched() const
    {
        bool found = false;
        ForEachRelaunched([&found](HANDLE) { found = true; });
        return found;
    }
    void EndRelaunched() const
    {
        ForEachRelaunched([](HANDLE process) {
            ::TerminateProcess(process, 0);
            ::WaitForSingleObject(process, 5000);
        });
    }
    template <typename Action>
    void ForEachRelaunched(Action action) const
    {
        tn::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32W entry = {};
        entry.dwSize = sizeof(entry);
        for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
            tn::UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE,
                                                   FALSE, entry.th32ProcessID));
            wchar_t image[MAX_PATH] = {};
            DWORD length = MAX_PATH;
            if (process && ::QueryFullProcessImageNameW(process.get(), 0, image, &length) &&
                ::lstrcmpiW(image, m_installer.c_str()) == 0) {
                action(process.get());
            }
        }
    }

    ScratchFolder m_scratch;
    std::string m_product;
    std::wstring m_installer;
    HMODULE m_installerModule = nullptr;
    std::vector<PROCESS_INFORMATION> m_started;
};

TEST_F(RunningProductTest, NoCopyRunningEndsNothingAndDoesNotWait)
{
    const HANDLE other = Start(L"Tarnivo.exe.old");
    EXPECT_LT(Terminate(L"C:\\Program Files\\Tarnivo"), 2000) << "waited with nothing ended";
    EXPECT_TRUE(Running(other));
    EXPECT_FALSE(InstallerRelaunched()) << "relaunched with nothing running";
}

TEST_F(RunningProductTest, EndsTheProductsNameInAnyCaseAndNothingElse)
{
    const HANDLE upper = Start(L"TARNIVO.EXE");
    const HANDLE lower = Start(L"tarnivo.exe");
    const HANDLE old = Start(L"Tarnivo.exe.old");
    const HANDLE service = Start(L"Tarnivo Service.exe");
    // A bar: no relaunch, only the ending and the wait.
    EXPECT_GE(Terminate(L"D:\\Apps\\Tarnivo|x"), 2000);
    EXPECT_TRUE(EndedWithZero(upper));
    EXPECT_TRUE(EndedWithZero(lower));
    EXPECT_TRUE(Running(old));
    EXPECT_TRUE(Running(service));
    EXPECT_FALSE(InstallerRelaunched()) << "relaunched with a bar in the command line";
}

// Three copies and no bar: one relaunch of the installer's own file with the
// command line as received, started before the first copy was ended, then
// three ends and the wait.
TEST_F(RunningProductTest, RelaunchesOnceBeforeEndingTheFirstCopy)
{
    std::vector<HANDLE> copies = {Start(L"Tarnivo.exe"), Start(L"Tarnivo.exe"), Start(L"Tarnivo.exe")};
    EXPECT_GE(Terminate(L"C:\\Program Files\\Tarnivo"), 2000);
    uint64_t firstEnd = UINT64_MAX;
    for (HANDLE copy : copies) {
        ASSERT_TRUE(EndedWithZero(copy));
        FILETIME creation, exit, kernel, user;
        ASSERT_TRUE(::GetProcessTimes(copy, &creation, &exit, &kernel, &user));
        firstEnd = std::min(firstEnd, TicksOf(exit));
    }

    const std::vector<std::string> records = RelaunchRecords(60000);
    ASSERT_EQ(records.size(), 1u) << "one relaunch";
    std::printf("relaunched: %s\n", records[0].c_str());
    const std::string commandLine = records[0].substr(0, records[0].find('\t'));
    const std::wstring started = Widen(commandLine.c_str());
    EXPECT_NE(started.find(m_installer), std::wstring::npos) << commandLine;
    EXPECT_EQ(started.substr(started.size() - std::wstring(L" C:\\Program Files\\Tarnivo").size()),
              L" C:\\Program Files\\Tarnivo") << commandLine;
    // Its creation time, in Unix seconds with milliseconds, against the first end.
    const double created = std::stod(records[0].substr(records[0].rfind('\t') + 1));
    const double firstEndSeconds = static_cast<double>(firstEnd - 116444736000000000ull) / 1e7;
    EXPECT_LE(created, firstEndSeconds + 0.0005) << "the relaunch came after a copy was ended";
}

TEST_F(RunningProductTest, AnEmptyCommandLineRelaunchesWithEmptyParameters)
{
    const HANDLE copy = Start(L"Tarnivo.exe");
    Terminate(L"");
    EXPECT_TRUE(EndedWithZero(copy));
    const std::vector<std::string> records = RelaunchRecords(60000);
    ASSERT_EQ(records.size(), 1u);
    const std::wstring started = Widen(records[0].substr(0, records[0].find('\t')).c_str());
    // Nothing after the program's own name.
    const std::wstring::size_type name = started.find(L"setup.exe");
    ASSERT_NE(name, std::wstring::npos);
    std::wstring rest = started.substr(name + std::wstring(L"setup.exe").size());
    if (!rest.empty() && rest[0] == L'"') rest.erase(0, 1);
    EXPECT_EQ(rest.find_first_not_of(L' '), std::wstring::npos) << records[0];
}

}  // namespace
