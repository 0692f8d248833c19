// Holds one temporary file of CArchiveFileWriter open, partly written, until
// the process is ended: what a run ended in the middle of a file leaves.
//
//   archive_writer_holder link|rename TARGET
#include "engine/ArchiveFileWriter.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string_view>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3 || (std::wcscmp(argv[1], L"link") != 0 && std::wcscmp(argv[1], L"rename") != 0)) {
        std::fprintf(stderr, "usage: archive_writer_holder link|rename TARGET\n");
        return 2;
    }
    const auto placement = std::wcscmp(argv[1], L"link") == 0 ? CArchiveFileWriter::Placement::Link
                                                               : CArchiveFileWriter::Placement::Rename;
    ArchivePath target;
    const std::wstring_view text(argv[2]);
    if (!target.Assign(text)) return 2;
    const size_t folderLength = text.find_last_of(L"\\/") + 1;
    CArchiveFileWriter writer;
    static const char kPart[] = "the first part of a file";
    if (!writer.Create(target, folderLength, 0, placement) || !writer.Write(kPart, sizeof(kPart) - 1)) return 1;
    ::Sleep(INFINITE);
    return 0;
}
