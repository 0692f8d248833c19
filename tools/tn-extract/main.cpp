// tn-extract: extracts a product archive exactly as the installer's worker
// does, one line per entry, so release engineers can check an archive
// before it is built in, or a finished installer before it ships.
//
//   tn-extract [--stats] ARCHIVE|INSTALLER.exe DEST
//
// An installer program is read as the installer reads itself: its "ZIP" 148
// resource, in place. Exit code 0 when every entry was accepted by the
// worker's rule, 1 when one was not, 2 when the archive cannot be read or
// opened (or bad usage). --stats adds the peak working set to stderr at the
// end.

#include "engine/ArchiveAcceptance.h"
#include "framework/Handles.h"
#include "engine/PayloadArchive.h"
#include "res/resource.h"
#include "tools/common/FullPath.h"
#include "tools/tn-extract/ExtractListing.h"

#include <windows.h>
#include <psapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <memory>
#include <optional>
#include <string>

namespace {

constexpr int kExitAccepted = 0;
constexpr int kExitEntryFailed = 1;
constexpr int kExitNoArchive = 2;
constexpr size_t kFlushSize = 16 * 1024;
constexpr DWORD kReadChunk = 16 * 1024 * 1024;

void WriteOut(FILE* stream, const std::string& text)
{
    (void)fwrite(text.data(), 1, text.size(), stream);
}

// The whole file in one block, as the installer has its resource.
bool ReadWholeFile(const wchar_t* path, std::unique_ptr<uint8_t[]>* data, size_t* size)
{
    tn::UniqueFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) return false;
    LARGE_INTEGER length;
    if (!GetFileSizeEx(file.get(), &length) || length.QuadPart <= 0 ||
        static_cast<unsigned long long>(length.QuadPart) > SIZE_MAX) {
        return false;
    }
    *size = static_cast<size_t>(length.QuadPart);
    data->reset(new uint8_t[*size]);
    size_t done = 0;
    while (done < *size) {
        const size_t left = *size - done;
        const DWORD ask = left < kReadChunk ? static_cast<DWORD>(left) : kReadChunk;
        DWORD got = 0;
        if (!ReadFile(file.get(), data->get() + done, ask, &got, nullptr) || got == 0) return false;
        done += got;
    }
    return true;
}

// A program starts with "MZ"; a ZIP archive with a local header.
bool IsProgram(const wchar_t* path)
{
    tn::UniqueFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char magic[2] = {};
    DWORD got = 0;
    return file.valid() && ReadFile(file.get(), magic, sizeof(magic), &got, nullptr) && got == sizeof(magic) &&
           magic[0] == 'M' && magic[1] == 'Z';
}

// The archive where the installer finds it: "ZIP" 148 of the program loaded
// as data, which stays mapped as long as module is held.
bool FindProgramArchive(const wchar_t* path, tn::UniqueModule* module, const uint8_t** data, size_t* size)
{
    module->reset(LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!*module) return false;
    HRSRC found = FindResourceW(module->get(), MAKEINTRESOURCEW(IDR_PAYLOAD_ZIP), L"ZIP");
    HGLOBAL loaded = found != nullptr ? LoadResource(module->get(), found) : nullptr;
    *data = loaded != nullptr ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    *size = found != nullptr ? SizeofResource(module->get(), found) : 0;
    return *data != nullptr && *size != 0;
}

void PrintStats(size_t archiveSize)
{
    PROCESS_MEMORY_COUNTERS counters;
    std::memset(&counters, 0, sizeof(counters));
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return;
    std::fprintf(stderr, "peak_working_set %llu\narchive_size %llu\n",
                 static_cast<unsigned long long>(counters.PeakWorkingSetSize),
                 static_cast<unsigned long long>(archiveSize));
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    // UTF-8 bytes and "\n" go out unchanged.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    int first = 1;
    bool stats = false;
    if (argc > 1 && std::wcscmp(argv[1], L"--stats") == 0) {
        stats = true;
        first = 2;
    }
    if (argc - first != 2) {
        std::fputs("usage: tn-extract [--stats] ARCHIVE|INSTALLER.exe DEST\n", stderr);
        return kExitNoArchive;
    }

    // Both full before any use: the archive is then the file the current
    // folder names for the magic check and for the library loader alike.
    const std::optional<std::wstring> source = FullPathOf(argv[first]);
    const std::optional<std::wstring> destination = FullPathOf(argv[first + 1]);
    if (!source || !destination) {
        std::fputs("tn-extract: a path cannot be made full\n", stderr);
        return kExitNoArchive;
    }

    std::unique_ptr<uint8_t[]> copy;
    tn::UniqueModule program;
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (IsProgram(source->c_str())) {
        if (!FindProgramArchive(source->c_str(), &program, &data, &size)) {
            std::fputs("tn-extract: the program has no \"ZIP\" 148 resource\n", stderr);
            return kExitNoArchive;
        }
    } else {
        if (!ReadWholeFile(source->c_str(), &copy, &size)) {
            std::fputs("tn-extract: cannot read the archive\n", stderr);
            return kExitNoArchive;
        }
        data = copy.get();
    }
    // The reader goes before the bytes it reads: it is declared after them.
    std::unique_ptr<CPayloadArchive> archive = CPayloadArchive::OpenFromMemory(data, size);
    if (!archive) {
        std::fputs("tn-extract: cannot open the archive\n", stderr);
        return kExitNoArchive;
    }

    // The worker's calling order.
    (void)archive->SetBaseFolder(destination->c_str());
    ArchiveItem record;
    std::memset(&record, 0, sizeof(record));
    (void)archive->ReadItem(-1, &record);
    const int count = record.index;

    std::string out;
    out.reserve(kFlushSize * 2);
    bool allAccepted = true;
    for (int index = 0; index < count; ++index) {
        std::memset(&record, 0, sizeof(record));
        (void)archive->ReadItem(index, &record);
        const ArchiveResult result = archive->ExtractItem(index, record.name);
        allAccepted = allAccepted && IsExtractionAccepted(result, record);
        AppendEntryLine(&out, index, result, record);
        if (out.size() >= kFlushSize) {
            WriteOut(stdout, out);
            out.clear();
        }
    }
    AppendEntriesLine(&out, count);
    WriteOut(stdout, out);
    std::fflush(stdout);
    if (stats) PrintStats(size);
    return allAccepted ? kExitAccepted : kExitEntryFailed;
}
