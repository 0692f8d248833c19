#include "framework/WinThread.h"

#include <process.h>

#include "framework/Handles.h"

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinThread, CCmdTarget)
END_MESSAGE_MAP()

namespace {

thread_local CWinThread* t_currentThread = nullptr;

struct ThreadStartup {
    CWinThread* thread;
    HANDLE started;  // set once the queue exists and InitInstance has run
    BOOL initialised;
};

void DeleteIfAutomatic(CWinThread* thread)
{
    if (thread->m_bAutoDelete) {
        ::CloseHandle(thread->m_hThread);
        delete thread;
    }
}

unsigned __stdcall ThreadEntry(void* parameter)
{
    ThreadStartup* startup = static_cast<ThreadStartup*>(parameter);
    CWinThread* thread = startup->thread;
    t_currentThread = thread;

    MSG message;
    ::PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // makes the queue
    startup->initialised = thread->InitInstance();
    const BOOL initialised = startup->initialised;
    ::SetEvent(startup->started);  // startup lives on the creator's stack: not touched after this

    const int exitCode = initialised ? thread->Run() : thread->ExitInstance();
    DeleteIfAutomatic(thread);
    return static_cast<unsigned>(exitCode);
}

}  // namespace

CWinThread* AfxGetThread()
{
    return t_currentThread;
}

BOOL CWinThread::InitInstance()
{
    return TRUE;
}

int CWinThread::ExitInstance()
{
    return 0;
}

int CWinThread::Run()
{
    MSG message;
    for (;;) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (message.hwnd == nullptr) {
            if (const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message.message, 0, 0)) {
                entry->pfnInvoke(this, message.wParam, message.lParam);
                continue;
            }
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return ExitInstance();
}

CWinThread* AfxBeginThread(const CRuntimeClass* pThreadClass, int nPriority, UINT nStackSize,
                           DWORD, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (pThreadClass == nullptr || !pThreadClass->IsDerivedFrom(RUNTIME_CLASS(CWinThread))) return nullptr;
    CWinThread* thread = static_cast<CWinThread*>(pThreadClass->CreateObject());
    if (thread == nullptr) return nullptr;

    tn::UniqueHandle started(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ThreadStartup startup = {thread, started.get(), FALSE};
    unsigned threadId = 0;
    const uintptr_t handle = _beginthreadex(lpSecurityAttrs, nStackSize, &ThreadEntry, &startup,
                                            CREATE_SUSPENDED, &threadId);
    if (handle == 0 || !started) {
        delete thread;
        return nullptr;
    }
    thread->m_hThread = reinterpret_cast<HANDLE>(handle);
    thread->m_nThreadID = threadId;
    ::SetThreadPriority(thread->m_hThread, nPriority);
    ::ResumeThread(thread->m_hThread);
    ::WaitForSingleObject(started.get(), INFINITE);
    if (!startup.initialised) return nullptr;  // the thread has ended and deleted itself
    return thread;
}

void AfxEndThread(UINT nExitCode, BOOL bDelete)
{
    CWinThread* thread = t_currentThread;
    if (thread != nullptr && bDelete) {
        thread->m_bAutoDelete = TRUE;
        DeleteIfAutomatic(thread);
    }
    t_currentThread = nullptr;
    _endthreadex(nExitCode);
    __builtin_unreachable();  // _endthreadex does not return
}
