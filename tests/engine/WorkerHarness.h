#pragma once
// The worker observed from the window's side: a test window whose status
// text and progress bar record everything they receive, with the real worker
// thread extracting an archive the test builds, and a fixture with scratch
// folders, the command line, the stand-in product and its processes.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/Install.h"
#include "engine/InstallWindow.h"
#include "engine/WindowLease.h"
#include "framework/Afx.h"
#include "tests/archive/ScratchFolder.h"
#include "tests/archive/TestZip.h"
#include "tests/engine/PayloadModule.h"

inline const std::wstring kUpdatePrefix = L"版本更新中. . .    ";
inline const std::wstring kInstallPrefix = L"安装中. . .    ";
inline const std::wstring kUpdateEnd = L"更新已完成    100%";
inline const std::wstring kInstallEnd = L"安装已完成    100%";

struct Event {
    enum Kind { Text, Hide, Show, Position } kind;
    std::wstring text;
    int position = 0;
    bool operator==(const Event& other) const
    {
        return kind == other.kind && text == other.text && position == other.position;
    }
};

std::ostream& operator<<(std::ostream& out, const Event& event);

// The display the worker must produce for a run that reaches the end.
std::vector<Event> CompleteDisplay(const std::wstring& prefix, const std::wstring& end);

class StatusRecorder : public CStatic {
public:
    std::vector<Event>* events = nullptr;
    std::function<void(const std::wstring&)> onText;

protected:
    LRESULT OnSetText(WPARAM, LPARAM lParam);
    LRESULT OnShowWindow(WPARAM shown, LPARAM);
    DECLARE_MESSAGE_MAP()
};

class ProgressRecorder : public CProgressCtrl {
public:
    std::vector<Event>* events = nullptr;
    std::function<void(int)> onPosition;

protected:
    LRESULT OnSetPos(WPARAM position, LPARAM);
    DECLARE_MESSAGE_MAP()
};

// Starts the worker and posts it the request naming itself, as the installer
// window does, and records what the worker shows.
class RecordingWindow : public CInstallWindow {
public:
    RecordingWindow() : CInstallWindow(102) {}

    std::vector<Event> events;
    StatusRecorder status;
    ProgressRecorder progress;
    CEdit folder;
    std::wstring folderText;
    DWORD workerThreadId = 0;
    tn::UniqueHandle workerThread;  // ours: the thread object may delete itself with its handle

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
};

class WorkerFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the window until its loop ends, takes the quit message the loop
    // posts again, and waits until the worker has let go of the window: a
    // worker still running reads the archive in the test's resource module.
    static INT_PTR RunToEnd(RecordingWindow& window, bool* quitPostedAgain = nullptr);
    static void WaitForTheWorkerToLetGo();

    static void UseCommandLine(const std::wstring& arguments);
    static std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }
    std::wstring EntryPath(int index) const { return m_target + L"\\" + EntryName(index); }
    static std::wstring EntryName(int index);
    // count entries e000.txt, e001.txt...; the one at corruptIndex fails its CRC check.
    static std::string Archive(int count, int corruptIndex = -1);
    // The stand-in product's bytes, from beside the test program.
    static std::string ProductBytes();

    // The stand-in product in the target folder, as an earlier installation
    // left it (what the worker starts), and in the installer's current
    // folder, where a start by bare name would find it (never to be started).
    void PlaceProducts();
    // The product's own record of its starts in folder, a line each:
    // "<command line>\t<current folder>\t<creation time>".
    static std::optional<std::string> LaunchRecord(const std::wstring& folder, DWORD waitMs);
    std::optional<std::string> LaunchRecord(DWORD waitMs) const { return LaunchRecord(m_current, waitMs); }
    // Whether a process runs the stand-in copy at image. The worker starts
    // the product before it posts its quit message, so once the window's
    // loop has ended a start that happened shows here at once, long before
    // the product writes its record.
    static bool ProductProcessRuns(const std::wstring& image);
    bool ProductProcessRuns() const
    {
        return ProductProcessRuns(m_target + L"\\Tarnivo.exe") || ProductProcessRuns(m_current + L"\\Tarnivo.exe");
    }
    // Ends the stand-in copies this test started, found by their image path.
    void EndProducts() const;
    static void EndProductsAt(const std::wstring& image);

    ScratchFolder m_folder;
    std::wstring m_scratch, m_target, m_current;
    wchar_t m_previousFolder[MAX_PATH] = {};
};
