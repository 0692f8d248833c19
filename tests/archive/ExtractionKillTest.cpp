// tn-extract ended by TerminateProcess at ten moments spread over an
// extraction of the demo payload into a folder that holds an old version of
// every file: after each kill the folder holds only whole old files and
// whole new ones (no temporary file, no partial file under a real name), and
// a run left to finish then gives the archive's bytes for every file.
#include "tests/archive/ScratchFolder.h"
#include "tests/archive/KillTestPaths.h"
#include "tests/archive/TnExtractPath.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <minizip/unzip.h>
#include <zlib.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kMoments = 10;
constexpr DWORD kKillCode = 99;
constexpr DWORD kRunLimitMs = 300000;  // a whole 32-bit run under qemu takes well under a minute

struct PayloadEntry {
    std::wstring path;  // relative, with "\"; a folder's ends in "\"
    std::wstring folder;  // the folder the entry's file is written in, relative, ending in "\" or empty
    bool isFolder = false;
    uint32_t crc = 0;
    uint64_t size = 0;
    uint64_t start = 0;  // uncompressed bytes of the entries before it
};

struct UnzCloser {
    void operator()(void* archive) const { (void)unzClose(archive); }
};

// The archive's entries, read with minizip itself, names in the ANSI code
// page as the demo payload stores them.
std::vector<PayloadEntry> ReadPayloadEntries()
{
    std::vector<PayloadEntry> entries;
    std::unique_ptr<void, UnzCloser> archive(unzOpen64(kDemoPayloadPath));
    if (!archive) return entries;
    uint64_t start = 0;
    for (int status = unzGoToFirstFile(archive.get()); status == UNZ_OK; status = unzGoToNextFile(archive.get())) {
        unz_file_info64 info;
        char name[512];
        if (unzGetCurrentFileInfo64(archive.get(), &info, name, sizeof(name) - 1, nullptr, 0, nullptr, 0) != UNZ_OK) break;
        wchar_t wide[512];
        const int length = MultiByteToWideChar(CP_ACP, 0, name, static_cast<int>(info.size_filename), wide, 511);
        PayloadEntry entry;
        entry.path.assign(wide, static_cast<size_t>(length > 0 ? length : 0));
        for (wchar_t& c : entry.path) {
            if (c == L'/') c = L'\\';
        }
        entry.isFolder = !entry.path.empty() && entry.path.back() == L'\\';
        const size_t slash = entry.path.find_last_of(L'\\', entry.isFolder ? entry.path.size() - 2 : std::wstring::npos);
        entry.folder = slash == std::wstring::npos ? L"" : entry.path.substr(0, slash + 1);
        entry.crc = static_cast<uint32_t>(info.crc);
        entry.size = info.uncompressed_size;
        entry.start = start;
        start += entry.size;
        entries.push_back(entry);
    }
    return entries;
}

std::string OldContent(const PayloadEntry& entry)
{
    std::string text = "an old version of entry ";
    for (wchar_t c : entry.path) text += static_cast<char>(c & 0x7F);
    return text;
}

struct FileState {
    bool present = false;
    std::string smallContent;  // when it is no bigger than an old file could be
    uint64_t size = 0;
    uint32_t crc = 0;
};

FileState StateOf(const std::wstring& path)
{
    FileState state;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return state;
    state.present = true;
    static std::vector<char> buffer(1 << 20);
    uLong crc = crc32(0, nullptr, 0);
    DWORD got = 0;
    while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0) {
        crc = crc32(crc, reinterpret_cast<const Bytef*>(buffer.data()), got);
        if (state.size < 1024) state.smallContent.append(buffer.data(), got < 1024 ? got : 1024);
        state.size += got;
    }
    CloseHandle(file);
    state.crc = static_cast<uint32_t>(crc);
    return state;
}

bool IsNew(const FileState& state, const PayloadEntry& entry)
{
    return state.present && state.size == entry.size && state.crc == entry.crc;
}

bool IsOld(const FileState& state, const PayloadEntry& entry)
{
    return state.present && state.smallContent == OldContent(entry) && state.size == OldContent(entry).size();
}

// The folder as the extraction leaves it: every name is an entry's, and every
// file is whole, old or new. Returns what is wrong, empty when nothing is.
std::vector<std::wstring> Faults(const std::wstring& target, const std::vector<PayloadEntry>& entries,
                                 bool allNew)
{
    std::vector<std::wstring> faults;
    std::set<std::wstring> expected;
    for (const PayloadEntry& entry : entries) expected.insert(entry.path);
    for (const std::wstring& found : ListTree(target)) {
        if (expected.count(found) == 0) {
            faults.push_back(L"not an entry's: " + found + L" (" + std::to_wstring(StateOf(target + found).size) + L" bytes)");
        }
    }
    for (const PayloadEntry& entry : entries) {
        if (entry.isFolder) continue;
        const FileState state = StateOf(target + entry.path);
        if (IsNew(state, entry)) continue;
        if (!allNew && IsOld(state, entry)) continue;
        faults.push_back((state.present ? L"neither old nor new: " : L"missing: ") + entry.path);
    }
    return faults;
}

struct Moment {
    size_t entry;    // the entry being written at the moment
    uint64_t offset;  // bytes of it written
};

// Moments spread evenly over the archive's uncompressed bytes, which is
// where the run spends its time.
std::vector<Moment> SpreadMoments(const std::vector<PayloadEntry>& entries)
{
    const uint64_t total = entries.empty() ? 0 : entries.back().start + entries.back().size;
    std::vector<Moment> moments;
    for (int k = 0; k < kMoments; ++k) {
        const uint64_t at = total * static_cast<uint64_t>(2 * k + 1) / (2 * kMoments);
        size_t index = 0;
        while (index + 1 < entries.size() && (entries[index].isFolder || entries[index].start + entries[index].size <= at)) {
            ++index;
        }
        moments.push_back({index, at - entries[index].start});
    }
    return moments;
}

uint64_t SizeOf(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return UINT64_MAX;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// A temporary file in folder with at least size bytes.
bool TemporaryFileReached(const std::wstring& folder, uint64_t size)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"~tn*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool reached = false;
    do {
        const uint64_t length = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        reached = reached || length >= size;
    } while (!reached && FindNextFileW(search, &found));
    FindClose(search);
    return reached;
}

// No separator before the closing quote, which would escape it.
std::wstring Quoted(std::wstring text)
{
    while (!text.empty() && text.back() == L'\\') text.pop_back();
    return L"\"" + text + L"\"";
}

// A program run with its output discarded, ended by the test at the latest
// when the test is done with it.
class ChildProcess {
public:
    ChildProcess(const wchar_t* program, const std::wstring& arguments)
    {
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        m_discard = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = m_discard;
        startup.hStdError = m_discard;
        std::wstring commandLine = Quoted(program) + L" " + arguments;
        PROCESS_INFORMATION process{};
        if (CreateProcessW(program, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
            CloseHandle(process.hThread);
            m_process = process.hProcess;
        }
    }
    ~ChildProcess()
    {
        if (m_process != nullptr) {
            if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) (void)TerminateProcess(m_process, 3);
            WaitForSingleObject(m_process, kRunLimitMs);
            CloseHandle(m_process);
        }
        if (m_discard != INVALID_HANDLE_VALUE) CloseHandle(m_discard);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return m_process != nullptr; }
    bool Running() const { return WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }

    // Ends the process and waits until the system has closed its handles;
    // the exit code tells whether it was still running.
    DWORD Kill()
    {
        (void)TerminateProcess(m_process, kKillCode);
        return Finish();
    }

    DWORD Finish()
    {
        DWORD code = 0xFFFFFFFF;
        if (WaitForSingleObject(m_process, kRunLimitMs) == WAIT_OBJECT_0) GetExitCodeProcess(m_process, &code);
        return code;
    }

private:
    HANDLE m_process = nullptr;
    HANDLE m_discard = INVALID_HANDLE_VALUE;
};

std::wstring Joined(const std::vector<std::wstring>& lines)
{
    std::wstring text;
    for (size_t i = 0; i < lines.size() && i < 10; ++i) text += lines[i] + L"\n";
    return text;
}

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

TEST(ExtractionKill, EveryMomentLeavesOnlyWholeFilesAndASecondRunCompletesThem)
{
    const std::vector<PayloadEntry> entries = ReadPayloadEntries();
    ASSERT_GT(entries.size(), 3000u) << "the demo payload could not be read";
    ScratchFolder scratch;
    const std::wstring target = scratch.Path(L"Tarnivo\\");

    // An old version of the product: every folder, every file with old content.
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    for (const PayloadEntry& entry : entries) {
        if (entry.isFolder) {
            ASSERT_TRUE(CreateDirectoryW((target + entry.path).c_str(), nullptr)) << Narrow(entry.path);
        }
    }
    for (const PayloadEntry& entry : entries) {
        if (!entry.isFolder) {
            ASSERT_TRUE(WriteWholeFile(target + entry.path, OldContent(entry))) << Narrow(entry.path);
        }
    }

    int caughtInATemporaryFile = 0;
    for (const Moment& moment : SpreadMoments(entries)) {
        const PayloadEntry& entry = entries[moment.entry];
        SCOPED_TRACE(Narrow(entry.path) + " at byte " + std::to_string(moment.offset));
        ChildProcess run(kTnExtractPath, Quoted(kDemoPayloadWidePath) + L" " + Quoted(target));
        ASSERT_TRUE(run.started());
        // Ends the run while the entry's folder holds a temporary file that
        // far on, or once the entry has its new size when it goes by too fast
        // to be seen. Nothing is opened: a reader would stand in the way.
        bool caught = false;
        while (run.Running()) {
            caught = TemporaryFileReached(target + entry.folder, moment.offset > 0 ? moment.offset : 1);
            if (caught || SizeOf(target + entry.path) == entry.size) break;
        }
        EXPECT_EQ(kKillCode, run.Kill()) << "the run ended before it was killed";
        caughtInATemporaryFile += caught ? 1 : 0;
        const std::vector<std::wstring> faults = Faults(target, entries, false);
        EXPECT_TRUE(faults.empty()) << Narrow(Joined(faults));
    }
    // The first half of the bytes lies in a few large files, where a poll
    // cannot miss the temporary file.
    EXPECT_GE(caughtInATemporaryFile, kMoments / 4) << "too few kills came while a file was being written";

    ChildProcess second(kTnExtractPath, Quoted(kDemoPayloadWidePath) + L" " + Quoted(target));
    ASSERT_TRUE(second.started());
    EXPECT_EQ(0u, second.Finish());
    const std::vector<std::wstring> faults = Faults(target, entries, true);
    EXPECT_TRUE(faults.empty()) << Narrow(Joined(faults));
}

// The writer on its own, both ways of putting a file in place: a process
// ended while it holds a partly written file leaves the old file alone and
// no temporary file.
TEST(ExtractionKill, APartlyWrittenFileGoesWithItsProcess)
{
    for (const wchar_t* placement : {L"link", L"rename"}) {
        SCOPED_TRACE(Narrow(placement));
        ScratchFolder scratch;
        const std::wstring target = scratch.Path(L"product.dll");
        ASSERT_TRUE(WriteWholeFile(target, "old product"));
        ChildProcess holder(kWriterHolderPath, std::wstring(placement) + L" " + Quoted(target));
        ASSERT_TRUE(holder.started());
        while (holder.Running() && !TemporaryFileReached(scratch.path(), 1)) Sleep(1);
        EXPECT_EQ(kKillCode, holder.Kill()) << "the holder ended on its own";
        EXPECT_EQ(std::set<std::wstring>{L"product.dll"}, ListTree(scratch.path()));
        EXPECT_EQ("old product", ReadWholeFile(target).value_or(""));
    }
}

}  // namespace
