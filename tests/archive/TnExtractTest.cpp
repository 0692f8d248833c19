// tn-extract as release engineers run it: its listing, its exit codes.
#include "tests/archive/ArchiveTestSupport.h"
#include "tests/archive/TnExtractPath.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct RunResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out;
    std::string err;
};

HANDLE InheritableFile(const std::wstring& path)
{
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
}

RunResult RunTnExtract(const ScratchFolder& scratch, const std::wstring& arguments)
{
    RunResult run;
    const std::wstring outPath = scratch.Path(L"stdout.txt");
    const std::wstring errPath = scratch.Path(L"stderr.txt");
    HANDLE out = InheritableFile(outPath);
    HANDLE err = InheritableFile(errPath);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    std::wstring commandLine = L"\"" + std::wstring(kTnExtractPath) + L"\" " + arguments;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(kTnExtractPath, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out);
    CloseHandle(err);
    run.out = ReadWholeFile(outPath).value_or("");
    run.err = ReadWholeFile(errPath).value_or("");
    return run;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

TEST(TnExtract, ListsEveryEntryAndAcceptsTheWorkersEmptyFiles)
{
    ScratchFolder scratch;
    TestZipEntry page = FileEntry("css/a.css", PseudoText(20000, 4), 8);
    page.localExtra = ExtendedTimestampBlock(7, {1600000000, 1500000000, -1});
    TestZipEntry hidden = FileEntry("\xCB\xB5\xC3\xF7.txt", "notes");  // 说明.txt in code page 936
    hidden.externalAttributes = 0x22;
    const std::string zip = BuildTestZip({FolderEntry("css/"), page, FileEntry("empty.txt", ""), hidden});
    ASSERT_TRUE(WriteWholeFile(scratch.Path(L"payload.zip"), zip));

    const RunResult run =
        RunTnExtract(scratch, L"--stats " + Quoted(scratch.Path(L"payload.zip")) + L" " + Quoted(scratch.Path(L"out")));
    EXPECT_EQ(0u, run.exitCode) << run.err;
    const std::string dos = std::to_string(DosUtc(kDefaultDosTimeUtc));
    const std::string expected =
        "0\t0x00000000\t0x10\t" + dos + "\t" + dos + "\t" + dos + "\tcss/\n"
        "1\t0x00000000\t0x20\t132444736000000000\t131444736000000000\t116444735990000000\tcss/a.css\n"
        "2\t0x05000000\t0x20\t" + dos + "\t" + dos + "\t" + dos + "\tempty.txt\n"
        "3\t0x00000000\t0x22\t" + dos + "\t" + dos + "\t" + dos + "\t\xE8\xAF\xB4\xE6\x98\x8E.txt\n"
        "entries 4\n";
    EXPECT_EQ(expected, run.out);
    EXPECT_EQ(page.data, ReadWholeFile(scratch.Path(L"out\\css\\a.css")).value_or(""));
    EXPECT_NE(std::string::npos, run.err.find("peak_working_set ")) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("archive_size " + std::to_string(zip.size()))) << run.err;
}

TEST(TnExtract, GoesOnAfterAFailedEntryAndSaysSoInItsExitCode)
{
    ScratchFolder scratch;
    TestZipEntry corrupt = FileEntry("bad.txt", "payload");
    corrupt.crc = 1;
    const std::string zip = BuildTestZip({corrupt, FileEntry("good.txt", "good")});
    ASSERT_TRUE(WriteWholeFile(scratch.Path(L"payload.zip"), zip));
    const RunResult run = RunTnExtract(scratch, Quoted(scratch.Path(L"payload.zip")) + L" " + Quoted(scratch.Path(L"out")));
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_NE(std::string::npos, run.out.find("0\t0x00000700\t0x20\t")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("1\t0x00000000\t0x20\t")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("entries 2\n")) << run.out;
    EXPECT_EQ("good", ReadWholeFile(scratch.Path(L"out\\good.txt")).value_or(""));
}

// The exit code follows the worker's rule for an accepted entry, each archive
// on its own: an empty member is accepted only when both its sizes are 0.
TEST(TnExtract, ExitCodeFollowsTheWorkersAcceptanceRule)
{
    const struct {
        const char* what;
        TestZipEntry entry;
        DWORD exitCode;
        const char* listed;
    } cases[] = {
        {"a stored empty file", FileEntry("empty.txt", ""), 0, "0\t0x05000000\t0x20\t"},
        {"a deflated empty file", FileEntry("deflated-empty.txt", "", 8), 1, "0\t0x05000000\t0x20\t"},
        {"a file", FileEntry("good.txt", "good"), 0, "0\t0x00000000\t0x20\t"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        ScratchFolder scratch;
        ASSERT_TRUE(WriteWholeFile(scratch.Path(L"payload.zip"), BuildTestZip({row.entry})));
        const RunResult run =
            RunTnExtract(scratch, Quoted(scratch.Path(L"payload.zip")) + L" " + Quoted(scratch.Path(L"out")));
        EXPECT_EQ(row.exitCode, run.exitCode);
        EXPECT_NE(std::string::npos, run.out.find(row.listed)) << run.out;
    }
}

// A finished installer is read as it reads itself: its "ZIP" 148, in place.
TEST(TnExtract, ReadsTheArchiveOfAnInstallerProgram)
{
    ScratchFolder scratch;
    TestZipEntry hidden = FileEntry("\xCB\xB5\xC3\xF7.txt", "notes");  // 说明.txt in code page 936
    hidden.externalAttributes = 0x22;
    const std::string zip = BuildTestZip({FolderEntry("css/"), FileEntry("css/a.css", PseudoText(5000, 7), 8), hidden});
    // Any program will do as the installer's body; the archive is what is read.
    const std::wstring installer = scratch.Path(L"setup.exe");
    ASSERT_TRUE(CopyFileW(kTnExtractPath, installer.c_str(), FALSE));
    HANDLE update = BeginUpdateResourceW(installer.c_str(), FALSE);
    ASSERT_NE(nullptr, update);
    ASSERT_TRUE(UpdateResourceW(update, L"ZIP", MAKEINTRESOURCEW(148), MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED),
                                const_cast<char*>(zip.data()), static_cast<DWORD>(zip.size())));
    ASSERT_TRUE(EndUpdateResourceW(update, FALSE));
    ASSERT_TRUE(WriteWholeFile(scratch.Path(L"payload.zip"), zip));

    const RunResult fromProgram = RunTnExtract(scratch, L"--stats " + Quoted(installer) + L" " + Quoted(scratch.Path(L"a")));
    const RunResult fromArchive = RunTnExtract(scratch, Quoted(scratch.Path(L"payload.zip")) + L" " + Quoted(scratch.Path(L"b")));
    EXPECT_EQ(0u, fromProgram.exitCode) << fromProgram.err;
    EXPECT_NE(std::string::npos, fromProgram.out.find("entries 3\n")) << fromProgram.out;
    EXPECT_EQ(fromArchive.out, fromProgram.out);
    EXPECT_EQ(ReadWholeFile(scratch.Path(L"b\\css\\a.css")), ReadWholeFile(scratch.Path(L"a\\css\\a.css")));
    EXPECT_EQ(0x22u, AttributesOf(scratch.Path(L"a\\\u8BF4\u660E.txt")) & 0x27);
    EXPECT_NE(std::string::npos, fromProgram.err.find("archive_size " + std::to_string(zip.size()))) << fromProgram.err;

    // A program without the resource has nothing to extract.
    const RunResult plain = RunTnExtract(scratch, Quoted(kTnExtractPath) + L" " + Quoted(scratch.Path(L"c")));
    EXPECT_EQ(2u, plain.exitCode);
    EXPECT_EQ("tn-extract: the program has no \"ZIP\" 148 resource\n", plain.err);
    EXPECT_FALSE(Exists(scratch.Path(L"c")));
}

TEST(TnExtract, ArchiveThatCannotBeOpenedGivesTwo)
{
    ScratchFolder scratch;
    const std::string zip = BuildTestZip({FileEntry("a.txt", "a")});
    ASSERT_TRUE(WriteWholeFile(scratch.Path(L"cut.zip"), zip.substr(0, zip.size() - 10)));
    EXPECT_EQ(2u, RunTnExtract(scratch, Quoted(scratch.Path(L"cut.zip")) + L" " + Quoted(scratch.Path(L"out"))).exitCode);
    EXPECT_EQ(2u, RunTnExtract(scratch, Quoted(scratch.Path(L"missing.zip")) + L" " + Quoted(scratch.Path(L"out"))).exitCode);
    const RunResult usage = RunTnExtract(scratch, L"only-one-argument");
    EXPECT_EQ(2u, usage.exitCode);
    EXPECT_NE(std::string::npos, usage.err.find("usage: tn-extract")) << usage.err;
    EXPECT_FALSE(Exists(scratch.Path(L"out")));
}

}  // namespace
