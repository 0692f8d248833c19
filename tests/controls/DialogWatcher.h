#pragma once
// Watches one thread's top-level windows from a second thread for the
// dialogs a control opens modally, records what each shows and answers it,
// so the modal call on the watched thread returns. Whatever is still open
// when time runs out is cancelled, so a test fails instead of hanging.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Handles.h"

struct SeenDialog {
    enum class Kind { MessageBox, FileOpen, FolderPicker, Other } kind = Kind::Other;
    std::wstring caption;
    std::wstring text;      // a message box's text
    std::wstring fileName;  // a file dialog's name box
    bool warningIcon = false;
    HWND window = nullptr;
};

class DialogWatcher {
public:
    // answer runs on the watching thread for each dialog; it must close it.
    using Answer = std::function<void(const SeenDialog&)>;
    DialogWatcher(DWORD watchedThread, Answer answer, DWORD timeoutMilliseconds = 60000);
    ~DialogWatcher();
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    // Stops watching; then what was seen, in order.
    const std::vector<SeenDialog>& Stop();

    // Answers for the usual cases.
    static void Confirm(const SeenDialog& dialog);
    static void Cancel(const SeenDialog& dialog);
    // Types a name into a file dialog's name box, then confirms.
    static Answer ChooseFile(const std::wstring& path);

private:
    static DWORD WINAPI Run(void* self);
    void Watch();

    DWORD m_watchedThread;
    Answer m_answer;
    DWORD m_timeout;
    volatile LONG m_stop = 0;
    std::vector<SeenDialog> m_seen;
    std::vector<HWND> m_answered;
    tn::UniqueHandle m_thread;
};
