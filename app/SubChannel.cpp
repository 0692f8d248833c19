#include "app/SubChannel.h"

std::wstring g_strSubChannel;

std::wstring ExecutableNameFromPath(const std::wstring& modulePath)
{
    const std::wstring::size_type folderEnd = modulePath.find_last_of(L"\\/:");
    std::wstring fileName = folderEnd == std::wstring::npos ? modulePath : modulePath.substr(folderEnd + 1);
    // The last "." of the file name starts the extension; a name without one keeps it whole.
    const std::wstring::size_type dot = fileName.rfind(L'.');
    if (dot != std::wstring::npos) fileName.erase(dot);
    return fileName;
}
