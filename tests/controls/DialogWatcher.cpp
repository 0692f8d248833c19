#include "tests/controls/DialogWatcher.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/Wnd.h"

namespace {
// The dialog template ids of the system's dialogs.
const int kMessageBoxText = 0xFFFF;
const int kMessageBoxIcon = 0x0440;
const int kFileNameCombo = 0x047C;  // cmb13
const int kFileNameEdit = 0x0480;   // edt1

struct Collected {
    std::vector<HWND> dialogs;
};

BOOL CALLBACK CollectDialogs(HWND window, LPARAM collected)
{
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (wcscmp(className, L"#32770") == 0 && ::IsWindowVisible(window)) {
        reinterpret_cast<Collected*>(collected)->dialogs.push_back(window);
    }
    return TRUE;
}

BOOL CALLBACK FindTree(HWND child, LPARAM found)
{
    wchar_t className[32] = {};
    ::GetClassNameW(child, className, 32);
    if (wcscmp(className, WC_TREEVIEWW) == 0) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

HWND FileNameBox(HWND dialog)
{
    HWND box = ::GetDlgItem(dialog, kFileNameCombo);
    return box != nullptr ? box : ::GetDlgItem(dialog, kFileNameEdit);
}

SeenDialog Describe(HWND dialog)
{
    SeenDialog seen;
    seen.window = dialog;
    seen.caption = CWnd::GetWindowText(dialog);
    bool hasTree = false;
    ::EnumChildWindows(dialog, &FindTree, reinterpret_cast<LPARAM>(&hasTree));
    if (HWND name = FileNameBox(dialog); name != nullptr) {
        seen.kind = SeenDialog::Kind::FileOpen;
        seen.fileName = CWnd::GetWindowText(name);
    } else if (hasTree) {
        seen.kind = SeenDialog::Kind::FolderPicker;
    } else if (HWND text = ::GetDlgItem(dialog, kMessageBoxText); text != nullptr) {
        seen.kind = SeenDialog::Kind::MessageBox;
        seen.text = CWnd::GetWindowText(text);
        const auto icon = reinterpret_cast<HICON>(
            ::SendMessageW(::GetDlgItem(dialog, kMessageBoxIcon), STM_GETICON, 0, 0));
        seen.warningIcon = icon != nullptr && icon == ::LoadIconW(nullptr, IDI_WARNING);
    }
    return seen;
}
}  // namespace

DialogWatcher::DialogWatcher(DWORD watchedThread, Answer answer, DWORD timeoutMilliseconds)
    : m_watchedThread(watchedThread), m_answer(std::move(answer)), m_timeout(timeoutMilliseconds)
{
    m_thread.reset(::CreateThread(nullptr, 0, &DialogWatcher::Run, this, 0, nullptr));
}

DialogWatcher::~DialogWatcher()
{
    (void)Stop();
}

const std::vector<SeenDialog>& DialogWatcher::Stop()
{
    if (m_thread) {
        ::InterlockedExchange(&m_stop, 1);
        ::WaitForSingleObject(m_thread.get(), INFINITE);
        m_thread.reset();
    }
    return m_seen;
}

DWORD WINAPI DialogWatcher::Run(void* self)
{
    static_cast<DialogWatcher*>(self)->Watch();
    return 0;
}

void DialogWatcher::Watch()
{
    const ULONGLONG deadline = ::GetTickCount64() + m_timeout;
    while (::InterlockedCompareExchange(&m_stop, 0, 0) == 0) {
        Collected collected;
        ::EnumThreadWindows(m_watchedThread, &CollectDialogs, reinterpret_cast<LPARAM>(&collected));
        for (HWND dialog : collected.dialogs) {
            if (::GetTickCount64() >= deadline) {
                ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                continue;
            }
            if (std::find(m_answered.begin(), m_answered.end(), dialog) != m_answered.end()) continue;
            m_answered.push_back(dialog);
            m_seen.push_back(Describe(dialog));
            m_answer(m_seen.back());
        }
        ::Sleep(20);
    }
}

void DialogWatcher::Confirm(const SeenDialog& dialog)
{
    ::PostMessageW(dialog.window, WM_COMMAND, IDOK, 0);
}

void DialogWatcher::Cancel(const SeenDialog& dialog)
{
    ::PostMessageW(dialog.window, WM_COMMAND, IDCANCEL, 0);
}

DialogWatcher::Answer DialogWatcher::ChooseFile(const std::wstring& path)
{
    return [path](const SeenDialog& dialog) {
        if (HWND name = FileNameBox(dialog.window); name != nullptr) {
            ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
            Confirm(dialog);
        } else {
            Cancel(dialog);
        }
    };
}
