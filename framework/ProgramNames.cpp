#include "framework/ProgramNames.h"

std::wstring ArgumentsAfterProgramName(const std::wstring& fullCommandLine)
{
    std::wstring::size_type position = 0;
    const std::wstring::size_type length = fullCommandLine.size();
    if (position < length && fullCommandLine[position] == L'"') {
        ++position;
        while (position < length && fullCommandLine[position] != L'"') ++position;
        if (position < length) ++position;  // the closing quote
    } else {
        while (position < length && fullCommandLine[position] > L' ') ++position;
    }
    while (position < length && fullCommandLine[position] <= L' ') ++position;
    return fullCommandLine.substr(position);
}

std::wstring ExecutableNameFromPath(const std::wstring& modulePath)
{
    const std::wstring::size_type folderEnd = modulePath.find_last_of(L"\\/:");
    std::wstring fileName = folderEnd == std::wstring::npos ? modulePath : modulePath.substr(folderEnd + 1);
    // As the shell finds an extension: the last "." of the name, unless a
    // blank follows it ("my.setup file" has none).
    std::wstring::size_type dot = std::wstring::npos;
    for (std::wstring::size_type i = 0; i < fileName.size(); ++i) {
        if (fileName[i] == L' ') dot = std::wstring::npos;
        else if (fileName[i] == L'.') dot = i;
    }
    if (dot != std::wstring::npos) fileName.erase(dot);
    return fileName;
}
