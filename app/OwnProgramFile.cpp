#include "app/OwnProgramFile.h"

#include <windows.h>

namespace {

// Kept open to the process's end on purpose; the system closes it then.
HANDLE g_ownProgramFile = INVALID_HANDLE_VALUE;

}  // namespace

void HoldOwnProgramFile()
{
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    // A path cut at the buffer's end names no file to hold; the relaunch is
    // skipped for it anyway.
    if (length == 0 || length >= MAX_PATH) return;
    // Read access, so that the sharing rules apply to the handle; reading is
    // shared, so the relaunched copy can start from the file, while deleting
    // (which renaming is) and writing are not.
    g_ownProgramFile = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}
