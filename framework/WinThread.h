#pragma once
// A user-interface thread: its own message queue and loop, with thread
// messages dispatched through the class's message map.

#include "framework/CmdTarget.h"

class CWnd;

class CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)

public:
    CWinThread() = default;
    ~CWinThread() override = default;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // Runs the message loop until WM_QUIT; returns ExitInstance's code.
    virtual int Run();

    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    BOOL m_bAutoDelete = TRUE;
    CWnd* m_pMainWnd = nullptr;

    DECLARE_MESSAGE_MAP()

    friend CWinThread* AfxGetThread();
};

// Creates the thread object from its run-time class and starts it. Returns
// only when the new thread's queue exists and its InitInstance has run, so a
// message posted right after the call is not lost. Threads always start
// running: the creation flags are taken for MFC's signature only.
CWinThread* AfxBeginThread(const CRuntimeClass* pThreadClass, int nPriority = THREAD_PRIORITY_NORMAL,
                           UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);

// Ends the calling thread at once; with bDelete its thread object is deleted.
[[noreturn]] void AfxEndThread(UINT nExitCode, BOOL bDelete = TRUE);

// The thread object of the calling thread (the application on the main thread).
CWinThread* AfxGetThread();
