// The worker and its progress protocol, observed from the window's side: a
// test window whose status text and progress bar record everything they
// receive, with the real worker thread extracting a small archive.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/Install.h"
#include "engine/InstallWindow.h"
#include "engine/ProgressPlan.h"
#include "engine/WindowLease.h"
#include "framework/Afx.h"
#include "tests/archive/ScratchFolder.h"
#include "tests/archive/TestZip.h"
#include "tests/engine/PayloadModule.h"

namespace {

class TestApp : public CWinApp {};
TestApp theTestApp;

const std::wstring kUpdatePrefix = L"版本更新中. . .    ";
const std::wstring kInstallPrefix = L"安装中. . .    ";
const std::wstring kUpdateEnd = L"更新已完成    100%";
const std::wstring kInstallEnd = L"安装已完成    100%";

struct Event {
    enum Kind { Text, Hide, Show, Position } kind;
    std::wstring text;
    int position = 0;
    bool operator==(const Event& other) const
    {
        return kind == other.kind && text == other.text && position == other.position;
    }
};

std::ostream& operator<<(std::ostream& out, const Event& event)
{
    static const char* const names[] = {"text", "hide", "show", "position"};
    return out << names[event.kind] << "(" << event.text.size() << " units, " << event.position << ")";
}

// The display the worker must produce for a run that reaches the end.
std::vector<Event> CompleteDisplay(const std::wstring& prefix, const std::wstring& end)
{
    std::vector<Event> events;
    for (int k = 0; k <= 100; ++k) {
        events.push_back({Event::Text, k < 100 ? prefix + std::to_wstring(k) + L"%" : end, 0});
        events.push_back({Event::Hide, L"", 0});
        events.push_back({Event::Show, L"", 0});
        events.push_back({Event::Position, L"", k});
    }
    return events;
}

class StatusRecorder : public CStatic {
public:
    std::vector<Event>* events = nullptr;
    std::function<void(const std::wstring&)> onText;

protected:
    LRESULT OnSetText(WPARAM, LPARAM lParam)
    {
        const std::wstring text = reinterpret_cast<const wchar_t*>(lParam);
        events->push_back({Event::Text, text, 0});
        if (onText) onText(text);
        return Default();
    }
    LRESULT OnShowWindow(WPARAM shown, LPARAM)
    {
        events->push_back({shown ? Event::Show : Event::Hide, L"", 0});
        return Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(StatusRecorder, CStatic)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
END_MESSAGE_MAP()

class ProgressRecorder : public CProgressCtrl {
public:
    std::vector<Event>* events = nullptr;
    std::function<void(int)> onPosition;

protected:
    LRESULT OnSetPos(WPARAM position, LPARAM)
    {
        events->push_back({Event::Position, L"", static_cast<int>(position)});
        if (onPosition) onPosition(static_cast<int>(position));
        return Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProgressRecorder, CProgressCtrl)
    ON_MESSAGE(PBM_SETPOS, OnSetPos)
END_MESSAGE_MAP()

class RecordingWindow : public CInstallWindow {
public:
    RecordingWindow() : CInstallWindow(102) {}

    std::vector<Event> events;
    StatusRecorder status;
    ProgressRecorder progress;
    CEdit folder;
    std::wstring folderText;
    DWORD workerThreadId = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, 1004, status);
        DDX_Control(pDX, 1005, progress);
        DDX_Control(pDX, 1006, folder);
    }
    BOOL OnInitDialog() override
    {
        CInstallWindow::OnInitDialog();
        status.events = &events;
        progress.events = &events;
        progress.SetRange(0, 100);
        folder.SetWindowText(folderText.c_str());
        CWinThread* worker = AfxBeginThread(RUNTIME_CLASS(CInstall));
        if (worker == nullptr) return TRUE;
        workerThreadId = worker->m_nThreadID;
        WindowLease::Take();
        ::PostThreadMessageW(worker->m_nThreadID, WM_START_INSTALL,
                             reinterpret_cast<WPARAM>(static_cast<CInstallWindow*>(this)), 0);
        return TRUE;
    }
};

class WorkerTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_scratch = m_folder.Path(L"work");
        ::CreateDirectoryW(m_scratch.c_str(), nullptr);
        m_target = m_scratch + L"\\target";
        m_current = m_scratch + L"\\current";
        ::CreateDirectoryW(m_current.c_str(), nullptr);
        ::GetCurrentDirectoryW(MAX_PATH, m_previousFolder);
        ::SetCurrentDirectoryW(m_current.c_str());
    }
    void TearDown() override
    {
        ::SetCurrentDirectoryW(m_previousFolder);
        WindowLease::Release();
    }

    // Runs the window until its loop ends, takes the quit message the loop
    // posts again, and waits until the worker has let go of the window: a
    // worker still running reads the archive in the test's resource module.
    static INT_PTR RunToEnd(RecordingWindow& window, bool* quitPostedAgain = nullptr)
    {
        const INT_PTR result = window.DoModal();
        MSG quit;
        const bool posted = ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
        if (quitPostedAgain != nullptr) *quitPostedAgain = posted;
        WaitForTheWorkerToLetGo();
        return result;
    }
    static void WaitForTheWorkerToLetGo()
    {
        const ULONGLONG deadline = ::GetTickCount64() + 30000;
        while (WindowLease::Held() && ::GetTickCount64() < deadline) ::Sleep(100);
    }

    void UseCommandLine(const std::wstring& arguments)
    {
        theTestApp.SetCurrentHandles(::GetModuleHandleW(nullptr), L"worker_tests.exe " + arguments);
    }
    std::wstring Quoted(const std::wstring& text) const { return L"\"" + text + L"\""; }
    std::wstring EntryPath(int index) const { return m_target + L"\\" + EntryName(index); }
    static std::wstring EntryName(int index)
    {
        wchar_t name[16];
        swprintf(name, 16, L"e%03d.txt", index);
        return name;
    }
    static std::string Archive(int count, int corruptIndex = -1)
    {
        std::vector<TestZipEntry> entries;
        for (int index = 0; index < count; ++index) {
            char name[16];
            snprintf(name, sizeof(name), "e%03d.txt", index);
            TestZipEntry entry = FileEntry(name, "entry " + std::to_string(index));
            if (index == corruptIndex) entry.crc = 0x12345678;
            entries.push_back(entry);
        }
        return BuildTestZip(entries);
    }

    // The stand-in product where the update form looks for it.
    void PlaceProductInCurrentFolder()
    {
        wchar_t self[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring product = self;
        product = product.substr(0, product.find_last_of(L'\\')) + L"\\Tarnivo.exe";
        ASSERT_TRUE(::CopyFileW(product.c_str(), (m_current + L"\\Tarnivo.exe").c_str(), FALSE));
    }
    bool ProductStarted(DWORD waitMs)
    {
        const ULONGLONG deadline = ::GetTickCount64() + waitMs;
        do {
            if (Exists(m_current + L"\\launch.log")) return true;
            ::Sleep(100);
        } while (::GetTickCount64() < deadline);
        return false;
    }
    static void CloseProducts()
    {
        for (HWND product; (product = ::FindWindowW(L"TarnivoStandIn", nullptr)) != nullptr;) {
            DWORD processId = 0;
            ::GetWindowThreadProcessId(product, &processId);
            HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, processId);
            ::PostMessageW(product, WM_CLOSE, 0, 0);
            if (process != nullptr) {
                ::WaitForSingleObject(process, 5000);
                ::CloseHandle(process);
            }
        }
    }
    ScratchFolder m_folder;
    std::wstring m_scratch, m_target, m_current;
    wchar_t m_previousFolder[MAX_PATH] = {};
};

TEST_F(WorkerTest, ShowsEachValueOnceAfterItsEntryAndThenTheEnd)
{
    for (int count : {0, 4, 150}) {
        SCOPED_TRACE(count);
        PayloadModule module(m_scratch, Archive(count));
        ASSERT_TRUE(module.loaded());
        UseCommandLine(Quoted(m_target));

        RecordingWindow window;
        // At each percentage the entry that completes it is on disk and the next one is not yet.
        int shown = 0;
        window.progress.onPosition = [&](int position) {
            if (position == 100) return;
            EXPECT_EQ(position, shown++);
            int entry = 0;
            while (PercentCompleteAfterEntry(entry, count) <= position) ++entry;
            EXPECT_TRUE(Exists(EntryPath(entry))) << "value " << position << " before entry " << entry;
            EXPECT_FALSE(Exists(EntryPath(entry + 1))) << "value " << position << " late";
        };
        bool quitPostedAgain = false;
        EXPECT_EQ(RunToEnd(window, &quitPostedAgain), -1);  // ended by the worker's WM_QUIT
        EXPECT_TRUE(quitPostedAgain);
        EXPECT_FALSE(WindowLease::Held());

        std::vector<Event> expected = CompleteDisplay(kUpdatePrefix, kUpdateEnd);
        if (count == 0) expected.erase(expected.begin(), expected.end() - 4);  // only the end
        EXPECT_EQ(window.events, expected);
        for (int index = 0; index < count; ++index) EXPECT_TRUE(Exists(EntryPath(index)));
        RemoveTree(m_target);
    }
}

TEST_F(WorkerTest, WordingFollowsTheCommandLine)
{
    struct Case {
        std::wstring arguments;
        const std::wstring& prefix;
        const std::wstring& end;
    } const cases[] = {
        {m_target + L"|", kInstallPrefix, kInstallEnd},         // a bar: install wording, extract only
        {Quoted(m_target), kUpdatePrefix, kUpdateEnd},
        {m_target, kUpdatePrefix, kUpdateEnd},
    };
    for (const Case& c : cases) {
        PayloadModule module(m_scratch, Archive(1));
        UseCommandLine(c.arguments);
        RecordingWindow window;
        RunToEnd(window);
        EXPECT_EQ(window.events, CompleteDisplay(c.prefix, c.end));
        EXPECT_TRUE(Exists(EntryPath(0)));
        RemoveTree(m_target);
    }
}

TEST_F(WorkerTest, InstallModeTakesTheFolderBoxAndEndsTheThread)
{
    PayloadModule module(m_scratch, Archive(2));
    UseCommandLine(L"");
    RecordingWindow window;
    window.folderText = m_target;
    EXPECT_EQ(RunToEnd(window), -1);

    EXPECT_EQ(window.events, CompleteDisplay(kInstallPrefix, kInstallEnd));
    EXPECT_TRUE(Exists(EntryPath(0)) && Exists(EntryPath(1)));
    // The full path ends the worker thread itself.
    HANDLE thread = ::OpenThread(SYNCHRONIZE, FALSE, window.workerThreadId);
    if (thread != nullptr) {
        EXPECT_EQ(::WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
        ::CloseHandle(thread);
    }
}

TEST_F(WorkerTest, AFailingEntryStopsAtOnceAndTheProductIsNotStarted)
{
    PlaceProductInCurrentFolder();
    PayloadModule module(m_scratch, Archive(4, 2));
    UseCommandLine(Quoted(m_target));
    RecordingWindow window;
    EXPECT_EQ(RunToEnd(window), -1);  // the window still closes

    // Entries 0 and 1 released 0 to 49; entry 2 failed and nothing came after it.
    std::vector<Event> expected = CompleteDisplay(kUpdatePrefix, kUpdateEnd);
    expected.resize(50 * 4);
    EXPECT_EQ(window.events, expected);
    EXPECT_FALSE(Exists(EntryPath(2)));
    EXPECT_FALSE(Exists(EntryPath(3)));
    EXPECT_FALSE(ProductStarted(2000));
}

TEST_F(WorkerTest, AMissingArchiveShowsNothing)
{
    PlaceProductInCurrentFolder();
    PayloadModule module(m_scratch, std::nullopt);
    UseCommandLine(Quoted(m_target));
    RecordingWindow window;
    EXPECT_EQ(RunToEnd(window), -1);
    EXPECT_TRUE(window.events.empty());
    EXPECT_FALSE(ProductStarted(2000));
}

TEST_F(WorkerTest, ASuccessfulUpdateStartsTheProductInItsUpdateForm)
{
    PlaceProductInCurrentFolder();
    PayloadModule module(m_scratch, Archive(1));
    UseCommandLine(Quoted(m_target));
    RecordingWindow window;
    RunToEnd(window);
    ASSERT_TRUE(ProductStarted(20000));
    CloseProducts();
}

TEST_F(WorkerTest, ABusyWindowThreadMakesTheWorkerWait)
{
    PayloadModule module(m_scratch, Archive(150));
    UseCommandLine(Quoted(m_target));
    RecordingWindow window;
    int filesBefore = -1, filesAfter = -1;
    window.status.onText = [&](const std::wstring& text) {
        if (text != kUpdatePrefix + L"10%") return;
        auto count = [&] {
            int present = 0;
            for (int index = 0; index < 150; ++index) present += Exists(EntryPath(index));
            return present;
        };
        filesBefore = count();
        ::Sleep(1500);  // the window's thread is busy, as while it sends its reports
        filesAfter = count();
    };
    RunToEnd(window);
    EXPECT_EQ(filesBefore, filesAfter) << "the worker went on while the window could not answer";
    EXPECT_EQ(window.events, CompleteDisplay(kUpdatePrefix, kUpdateEnd));
    for (int index = 0; index < 150; ++index) EXPECT_TRUE(Exists(EntryPath(index)));
}

TEST_F(WorkerTest, AWindowEndedDuringTheRunLeavesTheLeaseOut)
{
    PayloadModule module(m_scratch, Archive(150));
    UseCommandLine(Quoted(m_target));
    RecordingWindow window;
    window.progress.onPosition = [&](int position) {
        if (position == 10) window.EndDialog(IDCLOSE);  // as the exit question's Yes does
    };
    EXPECT_EQ(window.DoModal(), IDCLOSE);
    // The program ends the process here, before the window object goes away.
    EXPECT_TRUE(WindowLease::Held());

    // Left alone, the worker runs on against the destroyed controls and gives
    // the lease back at its end; nothing it does reaches the window any more.
    const size_t eventsAtEnd = window.events.size();
    WaitForTheWorkerToLetGo();
    EXPECT_FALSE(WindowLease::Held());
    EXPECT_EQ(window.events.size(), eventsAtEnd);
}

}  // namespace
