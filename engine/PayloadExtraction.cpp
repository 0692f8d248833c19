#include "engine/PayloadExtraction.h"

#include <windows.h>
#include <commctrl.h>

#include "app/CommandLine.h"
#include "engine/ArchiveAcceptance.h"
#include "engine/InstallWindow.h"
#include "engine/PayloadArchive.h"
#include "engine/ProgressPlan.h"
#include "engine/ProgressTexts.h"
#include "engine/ProtectedFolder.h"
#include "framework/WinApp.h"
#include "res/resource.h"

namespace {

// Each change reaches the window through its own thread (synchronous calls),
// so a busy window thread simply makes the worker wait here.
class ProgressDisplay {
public:
    ProgressDisplay(HWND window, const ProgressWording& wording)
        : m_status(::GetDlgItem(window, IDC_STATUS)), m_progress(::GetDlgItem(window, IDC_PROGRESS)), m_wording(wording)
    {
    }

    void ShowPercent(int percent)
    {
        Show(RunningProgressText(m_wording, percent).c_str(), percent);
        ::Sleep(kPacePerValueMs);
    }

    void ShowEnd()
    {
        Show(m_wording.endText, 100);
        ::Sleep(kEndPauseMs);
    }

private:
    static constexpr DWORD kPacePerValueMs = 50;
    static constexpr DWORD kEndPauseMs = 1000;

    void Show(const wchar_t* text, int position)
    {
        ::SetWindowTextW(m_status, text);
        // Hiding and showing again repaints the transparent text over the background.
        ::ShowWindow(m_status, SW_HIDE);
        ::ShowWindow(m_status, SW_SHOWNORMAL);
        ::SendMessageW(m_progress, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    }

    HWND m_status;
    HWND m_progress;
    const ProgressWording& m_wording;
};

// The archive's bytes where the loaded resource lies; nothing is copied.
bool FindPayload(const void** data, DWORD* size)
{
    HMODULE module = AfxGetResourceHandle();
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(IDR_PAYLOAD_ZIP), L"ZIP");
    if (found == nullptr) return false;
    HGLOBAL loaded = ::LoadResource(module, found);
    *data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    *size = ::SizeofResource(module, found);
    return *data != nullptr;
}

}  // namespace

bool ExtractPayload(const std::wstring& folder, CInstallWindow* window)
{
    const HWND windowHandle = window->m_hWnd;
    const bool installWording = ParseCommandLine(AfxGetApp()->m_lpCmdLine).installWording;

    const void* data = nullptr;
    DWORD size = 0;
    if (!FindPayload(&data, &size)) return false;
    // The reader lives as long as the loaded resource, which is the process.
    std::unique_ptr<CPayloadArchive> archive = CPayloadArchive::OpenFromMemory(data, size);
    if (!archive) return false;
    (void)archive->SetBaseFolder(folder.c_str());

    ProgressDisplay display(windowHandle, installWording ? kInstallWording : kUpdateWording);
    ArchiveItem record = {};
    (void)archive->ReadItem(-1, &record);
    const int32_t count = record.index;
    // The product folder itself is made here, not by the reader, so that a
    // new one gets the protected rights; one that exists keeps its own.
    if (count > 0) (void)CreateProtectedFolder(folder);

    int32_t shown = 0;
    for (int32_t index = 0; index < count; ++index) {
        record.index = 0;
        record.name[0] = L'\0';
        record.uncompressedSize = 0;
        (void)archive->ReadItem(index, &record);
        const ArchiveResult result = archive->ExtractItem(index, record.name);
        if (!IsExtractionAccepted(result, record)) return false;

        const int32_t target = PercentCompleteAfterEntry(index, count);
        for (; shown < target; ++shown) display.ShowPercent(shown);
    }
    display.ShowEnd();
    return true;
}
