// The framework's own behaviour the program relies on: message maps chained
// to their base, threads whose queue exists when AfxBeginThread returns, and
// the modal loop that ends on WM_QUIT and posts it again.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>

#include "framework/Afx.h"

namespace {

class TestApp : public CWinApp {};
TestApp theTestApp;

constexpr UINT kShared = WM_APP + 1;
constexpr UINT kBaseOnly = WM_APP + 2;

class BaseTarget : public CCmdTarget {
public:
    int calls = 0;
    LRESULT OnShared(WPARAM, LPARAM) { return 1; }
    LRESULT OnBaseOnly(WPARAM, LPARAM) { return 2; }
    void OnCommand100() { ++calls; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseTarget, CCmdTarget)
    ON_MESSAGE(kShared, OnShared)
    ON_MESSAGE(kBaseOnly, OnBaseOnly)
    ON_COMMAND(100, OnCommand100)
END_MESSAGE_MAP()

class DerivedTarget : public BaseTarget {
public:
    LRESULT OnSharedHere(WPARAM, LPARAM) { return 3; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedTarget, BaseTarget)
    ON_MESSAGE(kShared, OnSharedHere)
END_MESSAGE_MAP()

TEST(MessageMap, TheMostDerivedEntryWinsAndTheBaseMapIsSearchedNext)
{
    DerivedTarget target;
    const AFX_MSGMAP_ENTRY* shared = target.FindMessageEntry(kShared, 0, 0);
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->pfnInvoke(&target, 0, 0), 3);
    const AFX_MSGMAP_ENTRY* baseOnly = target.FindMessageEntry(kBaseOnly, 0, 0);
    ASSERT_NE(baseOnly, nullptr);
    EXPECT_EQ(baseOnly->pfnInvoke(&target, 0, 0), 2);

    const AFX_MSGMAP_ENTRY* command = target.FindMessageEntry(WM_COMMAND, 0, 100);
    ASSERT_NE(command, nullptr);
    command->pfnInvoke(&target, 100, 0);
    EXPECT_EQ(target.calls, 1);
    EXPECT_EQ(target.FindMessageEntry(WM_COMMAND, 1, 100), nullptr) << "another notification code";
    EXPECT_EQ(target.FindMessageEntry(WM_COMMAND, 0, 101), nullptr);
    EXPECT_EQ(target.FindMessageEntry(WM_APP + 9, 0, 0), nullptr);
}

// A thread that answers its first request and then ends itself.
std::atomic<int> g_requests{0};
std::atomic<bool> g_threadObjectDeleted{false};
constexpr UINT kRequest = WM_APP + 5;

class RequestThread : public CWinThread {
    DECLARE_DYNCREATE(RequestThread)

public:
    ~RequestThread() override { g_threadObjectDeleted = true; }

protected:
    void OnRequest(WPARAM value, LPARAM)
    {
        g_requests += static_cast<int>(value);
        AfxEndThread(0, TRUE);
    }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(RequestThread, CWinThread)

BEGIN_MESSAGE_MAP(RequestThread, CWinThread)
    ON_THREAD_MESSAGE(kRequest, OnRequest)
END_MESSAGE_MAP()

TEST(WinThread, ARequestPostedRightAfterCreationArrivesAndTheThreadEndsItself)
{
    for (int round = 0; round < 20; ++round) {
        g_requests = 0;
        g_threadObjectDeleted = false;
        CWinThread* thread = AfxBeginThread(RUNTIME_CLASS(RequestThread));
        ASSERT_NE(thread, nullptr);
        const DWORD threadId = thread->m_nThreadID;
        HANDLE handle = ::OpenThread(SYNCHRONIZE, FALSE, threadId);
        // No waiting before the post: the queue must exist already.
        ASSERT_TRUE(::PostThreadMessageW(threadId, kRequest, 7, 0)) << "round " << round;
        ASSERT_NE(handle, nullptr);
        EXPECT_EQ(::WaitForSingleObject(handle, 10000), WAIT_OBJECT_0);
        ::CloseHandle(handle);
        EXPECT_EQ(g_requests, 7);
        EXPECT_TRUE(g_threadObjectDeleted);
    }
}

TEST(WinThread, OnlyThreadClassesCanBeStarted)
{
    EXPECT_EQ(AfxBeginThread(RUNTIME_CLASS(CMFCVisualManager)), nullptr);
    EXPECT_EQ(AfxBeginThread(nullptr), nullptr);
}

class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(200) {}
    std::function<void(HWND)> onInit;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (onInit) onInit(m_hWnd);
        return TRUE;
    }
};

DWORD WINAPI PostQuitTo(void* window)
{
    ::Sleep(200);
    ::PostMessageW(static_cast<HWND>(window), WM_QUIT, 0, 0);
    return 0;
}

TEST(Dialog, AQuitPostedFromAnotherThreadEndsTheModalLoopAndIsPostedAgain)
{
    TestDialog dialog;
    HANDLE poster = nullptr;
    dialog.onInit = [&](HWND window) { poster = ::CreateThread(nullptr, 0, &PostQuitTo, window, 0, nullptr); };
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(dialog.m_hWnd, nullptr) << "the dialog is destroyed";
    MSG quit;
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    ASSERT_NE(poster, nullptr);
    ::WaitForSingleObject(poster, 5000);
    ::CloseHandle(poster);
}

TEST(Dialog, EndDialogGivesItsResultAndCancelEndsWithIdCancel)
{
    TestDialog ended;
    ended.onInit = [&](HWND) { ended.EndDialog(IDCLOSE); };
    EXPECT_EQ(ended.DoModal(), IDCLOSE);

    TestDialog cancelled;
    cancelled.onInit = [&](HWND window) { ::PostMessageW(window, WM_CLOSE, 0, 0); };
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);  // the system's close becomes IDCANCEL, CDialog's map ends with it
    MSG stray;
    EXPECT_FALSE(::PeekMessageW(&stray, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
