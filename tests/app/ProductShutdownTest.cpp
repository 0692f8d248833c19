// Ending running copies of the product, on a made-up process list: which
// processes are ended, when the installer is relaunched and with what, and
// when the two seconds are waited; and the two failure texts' bytes.
#include "app/ProductShutdown.h"
#include "app/ShutdownMessages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#ifndef _WIN32
#include <iconv.h>
#endif

namespace {

// Records every operation in order, as one line each.
class MadeUpSystem : public ProcessSystem {
public:
    std::vector<ProcessEntry> processes;
    std::wstring modulePath = L"D:\\Down\\setup.exe";
    std::vector<std::wstring> calls;

    bool FirstProcess(ProcessEntry* entry) override
    {
        m_next = 0;
        return NextProcess(entry);
    }
    bool NextProcess(ProcessEntry* entry) override
    {
        if (m_next >= processes.size()) return false;
        *entry = processes[m_next++];
        return true;
    }
    // ASCII case folding is what matters for the product's ASCII name.
    bool IsProductName(const std::wstring& name) override
    {
        const std::wstring product = L"tarnivo.exe";
        if (name.size() != product.size()) return false;
        for (size_t i = 0; i < name.size(); ++i) {
            if (std::towlower(static_cast<wint_t>(name[i])) != static_cast<wint_t>(product[i])) return false;
        }
        return true;
    }
    std::wstring ModulePath() override { return modulePath; }
    bool NamesSameFile(const std::wstring& first, const std::wstring& second) override
    {
        return first.size() == second.size() &&
               std::equal(first.begin(), first.end(), second.begin(), [](wchar_t a, wchar_t b) {
                   return std::towlower(static_cast<wint_t>(a)) == std::towlower(static_cast<wint_t>(b));
               });
    }
    void Relaunch(const std::wstring& path, const std::wstring& parameters) override
    {
        calls.push_back(L"relaunch " + path + L" [" + parameters + L"]");
    }
    void EndProcess(uint32_t processId) override { calls.push_back(L"end " + std::to_wstring(processId)); }
    void Wait(uint32_t milliseconds) override { calls.push_back(L"wait " + std::to_wstring(milliseconds)); }

private:
    size_t m_next = 0;
};

TEST(EndRunningProduct, EndsEachCopyAndRelaunchesOnceBeforeTheFirst)
{
    const struct {
        const char* what;
        std::vector<ProcessEntry> processes;
        std::wstring commandLine;
        std::vector<std::wstring> calls;
    } cases[] = {
        {"no copy: nothing, no wait", {{L"explorer.exe", 1}, {L"Tarnivo.exe.old", 2}}, L"C:\\x", {}},
        {"three copies, no bar",
         {{L"Tarnivo.exe", 10}, {L"svchost.exe", 11}, {L"TARNIVO.EXE", 12}, {L"tarnivo.exe", 13}},
         L"C:\\Program Files\\Tarnivo",
         {L"relaunch D:\\Down\\setup.exe [C:\\Program Files\\Tarnivo]", L"end 10", L"end 12", L"end 13", L"wait 2000"}},
        {"a bar: ended, waited, never relaunched",
         {{L"Tarnivo.exe", 10}, {L"tarnivo.exe", 13}},
         L"D:\\Apps\\Tarnivo|x",
         {L"end 10", L"end 13", L"wait 2000"}},
        {"an empty command line: relaunched with empty parameters",
         {{L"Tarnivo.exe", 7}},
         L"",
         {L"relaunch D:\\Down\\setup.exe []", L"end 7", L"wait 2000"}},
        {"quotes travel as received",
         {{L"Tarnivo.exe", 7}},
         L"\"D:\\Apps\\Tarnivo\"",
         {L"relaunch D:\\Down\\setup.exe [\"D:\\Apps\\Tarnivo\"]", L"end 7", L"wait 2000"}},
        {"names that only begin or end like it",
         {{L"Tarnivo.exe.old", 1}, {L"Tarnivo Service.exe", 2}, {L"MyTarnivo.exe", 3}, {L"Tarnivo", 4}},
         L"",
         {}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        MadeUpSystem system;
        system.processes = row.processes;
        const int expectedCount = static_cast<int>(
            std::count_if(row.calls.begin(), row.calls.end(), [](const std::wstring& c) { return c.rfind(L"end ", 0) == 0; }));
        EXPECT_EQ(EndRunningProduct(system, row.commandLine, L"setup"), expectedCount);
        EXPECT_EQ(system.calls, row.calls);
    }
}

// Only the running installer's own file is relaunched; every copy is still
// ended and waited for.
TEST(EndRunningProduct, RelaunchesOnlyTheRunningInstallersOwnFile)
{
    const struct {
        const wchar_t* modulePath;
        const wchar_t* exeName;
        const wchar_t* relaunched;  // nullptr: none
    } cases[] = {
        {L"D:\\Down\\setup.exe", L"setup", L"D:\\Down\\setup.exe"},
        {L"D:\\Down\\SETUP.EXE", L"SETUP", L"D:\\Down\\SETUP.exe"},  // the same file
        {L"D:\\Down\\Tarnivo_setup", L"Tarnivo_setup", nullptr},        // would start Tarnivo_setup.exe beside it
        {L"D:\\Down\\setup.exe.bak", L"setup.exe", nullptr},            // would start setup.exe.exe
        {L"", L"setup", nullptr},                                          // its path was cut at the buffer's end
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.modulePath);
        MadeUpSystem system;
        system.modulePath = row.modulePath;
        system.processes = {{L"Tarnivo.exe", 5}, {L"Tarnivo.exe", 6}};
        EXPECT_EQ(EndRunningProduct(system, L"C:\\Program Files\\Tarnivo", row.exeName), 2);
        std::vector<std::wstring> expected = {L"end 5", L"end 6", L"wait 2000"};
        if (row.relaunched != nullptr) {
            expected.insert(expected.begin(), std::wstring(L"relaunch ") + row.relaunched + L" [C:\\Program Files\\Tarnivo]");
        }
        EXPECT_EQ(system.calls, expected);
    }
}

// For an installer that waited for another on the same folder: every copy
// ended and waited for, and no relaunch whatever the command line.
TEST(EndRunningCopies, EndsAndWaitsButNeverRelaunches)
{
    MadeUpSystem system;
    system.processes = {{L"Tarnivo.exe", 5}, {L"explorer.exe", 1}, {L"TARNIVO.EXE", 6}};
    EXPECT_EQ(EndRunningCopies(system), 2);
    EXPECT_EQ(system.calls, (std::vector<std::wstring>{L"end 5", L"end 6", L"wait 2000"}));
    MadeUpSystem idle;
    EXPECT_EQ(EndRunningCopies(idle), 0);
    EXPECT_TRUE(idle.calls.empty());
}

TEST(RelaunchPath, FolderOfTheInstallerThenItsNameAndExe)
{
    const struct {
        const wchar_t* modulePath;
        const wchar_t* exeName;
        const wchar_t* path;
    } cases[] = {
        {L"D:\\Down\\setup.exe", L"setup", L"D:\\Down\\setup.exe"},
        {L"D:\\Down\\setup.beta.exe", L"setup.beta", L"D:\\Down\\setup.beta.exe"},
        // A file without ".exe" is relaunched as a path that is not there.
        {L"C:\\x\\Tarnivo_setup", L"Tarnivo_setup", L"C:\\x\\Tarnivo_setup.exe"},
        {L"\\\\server\\share\\setup.exe", L"setup", L"\\\\server\\share\\setup.exe"},
    };
    for (const auto& row : cases) EXPECT_EQ(RelaunchPath(row.modulePath, row.exeName), row.path) << row.modulePath;
}

#ifndef _WIN32
// The texts' bytes against the system's own GBK encoder.
std::string Gbk(const std::string& utf8)
{
    iconv_t converter = iconv_open("GBK", "UTF-8");
    std::string in = utf8, out(utf8.size() * 2, '\0');
    char* inPointer = &in[0];
    char* outPointer = &out[0];
    size_t inLeft = in.size(), outLeft = out.size();
    const size_t converted = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
    iconv_close(converter);
    if (converted == static_cast<size_t>(-1)) return "(not convertible)";
    out.resize(out.size() - outLeft);
    return out;
}

TEST(ShutdownMessages, AreTheChineseTextsInCodePage936)
{
    EXPECT_EQ(kKernelNotLoadedText, Gbk("加载kernel32.dll失败！"));
    EXPECT_EQ(kSnapshotFunctionMissingText, Gbk("获取CreateToolhelp32Snapshot函数失败！"));
    EXPECT_EQ(kShutdownFailureCaption, Gbk("错误"));
}
#endif

}  // namespace
