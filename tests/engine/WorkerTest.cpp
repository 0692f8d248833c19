// The worker and its progress protocol on the extract-only path, observed
// from the window's side: a test window whose status text and progress bar
// record everything they receive, with the real worker thread extracting a
// small archive. The full installation path is FullInstallationTest's.
#include "tests/engine/WorkerHarness.h"

#include "engine/ProgressPlan.h"

namespace {

using WorkerTest = WorkerFixture;

TEST_F(WorkerTest, ShowsEachValueOnceAfterItsEntryAndThenTheEnd)
{
    for (int count : {0, 4, 150}) {
        SCOPED_TRACE(count);
        PayloadModule module(m_scratch, Archive(count));
        ASSERT_TRUE(module.loaded());
        UseCommandLine(Quoted(m_target));

        RecordingWindow window;
        // At each percentage the entry that completes it is on disk and the next one is not yet.
        int shown = 0;
        window.progress.onPosition = [&](int position) {
            if (position == 100) return;
            EXPECT_EQ(position, shown++);
            int entry = 0;
            while (PercentCompleteAfterEntry(entry, count) <= position) ++entry;
            EXPECT_TRUE(Exists(EntryPath(entry))) << "value " << position << " before entry " << entry;
            EXPECT_FALSE(Exists(EntryPath(entry + 1))) << "value " << position << " late";
        };
        bool quitPostedAgain = false;
        EXPECT_EQ(RunToEnd(window, &quitPostedAgain), -1);  // ended by the worker's WM_QUIT
        EXPECT_TRUE(quitPostedAgain);
        EXPECT_FALSE(WindowLease::Held());

        std::vector<Event> expected = CompleteDisplay(kUpdatePrefix, kUpdateEnd);
        if (count == 0) expected.erase(expected.begin(), expected.end() - 4);  // only the end
        EXPECT_EQ(window.events, expected);
        for (int index = 0; index < count; ++index) EXPECT_TRUE(Exists(EntryPath(index)));
        RemoveTree(m_target);
    }
}

TEST_F(WorkerTest, WordingFollowsTheCommandLine)
{
    struct Case {
        std::wstring arguments;
        const std::wstring& prefix;
        const std::wstring& end;
    } const cases[] = {
        {m_target + L"|", kInstallPrefix, kInstallEnd},         // a bar: install wording, extract only
        {Quoted(m_target), kUpdatePrefix, kUpdateEnd},
        {m_target, kUpdatePrefix, kUpdateEnd},
    };
    for (const Case& c : cases) {
        PayloadModule module(m_scratch, Archive(1));
        UseCommandLine(c.arguments);
        RecordingWindow window;
        RunToEnd(window);
        EXPECT_EQ(window.events, CompleteDisplay(c.prefix, c.end));
        EXPECT_TRUE(Exists(EntryPath(0)));
        RemoveTree(m_target);
    }
}

TEST_F(WorkerTest, AFailingEntryStopsAtOnceAndTheProductIsNotStarted)
{
    PlaceProducts();
    PayloadModule module(m_scratch, Archive(4, 2));
    UseCommandLine(Quoted(m_target));
    RecordingWindow window;
    EXPECT_EQ(RunToEnd(window), -1);  // the window still closes

    // Entries 0 and 1 released 0 to 49; entry 2 failed and nothing came after it.
    std::vector<Event> expected = CompleteDisplay(kUpdatePrefix, kUpdateEnd);
    expected.resize(50 * 4);
    EXPECT_EQ(window.events, expected);
    EXPECT_FALSE(Exists(EntryPath(2)));
    EXPECT_FALSE(Exists(EntryPath(3)));
    EXPECT_FALSE(ProductProcessRuns());
}

// A deflated member of no bytes is not the empty entry the worker lets
// through (its compressed size is not 0): it stops there like any failure.
TEST_F(WorkerTest, ADeflatedEmptyMemberStopsTheWorker)
{
    PlaceProducts();
    std::vector<TestZipEntry> entries = {FileEntry("e000.txt", "entry 0"), FileEntry("e001.txt", "", 8),
                                         FileEntry("e002.txt", "entry 2")};
    PayloadModule module(m_scratch, BuildTestZip(entries));
    UseCommandLine(Quoted(m_target));
    RecordingWindow window;
    EXPECT_EQ(RunToEnd(window), -1);

    std::vector<Event> expected = CompleteDisplay(kUpdatePrefix, kUpdateEnd);
    expected.resize(33 * 4);  // entry 0 released 0 to 32
    EXPECT_EQ(window.events, expected);
    EXPECT_FALSE(Exists(EntryPath(2)));
    EXPECT_FALSE(ProductProcessRuns());
}

// As other writers store archives: folders marked only by the separator that
// ends their names (MS-DOS host with attributes 0, Unix host with a mode and
// no type bits, a backslash), and non-ASCII names in UTF-8 with bit 11 set.
TEST_F(WorkerTest, ArchivesFromOtherWritersInstallWithTheirFoldersAndNames)
{
    auto entry = [](const std::string& name, const std::string& data, uint16_t versionMadeBy, uint32_t external,
                    uint16_t flags = 0) {
        TestZipEntry made = FileEntry(name, data, data.empty() ? 0 : 8);
        made.versionMadeBy = versionMadeBy;
        made.externalAttributes = external;
        made.flags = flags;
        return made;
    };
    const std::string docs = "\xE6\x96\x87\xE6\xA1\xA3";    // 文档
    const std::string world = "\xE4\xB8\x96\xE7\x95\x8C";   // 世界
    PayloadModule module(m_scratch, BuildTestZip({
        entry("META-INF/", "", kHostDos, 0),
        entry("META-INF/MANIFEST.MF", "Manifest-Version: 1.0\r\n", kHostDos, 0),
        entry("pkg/", "", kHostUnix, 0x01ED0000),
        entry("pkg/mod.py", "print(1)\n", kHostUnix, 0x01A40000),
        entry("win\\sub\\", "", kHostDos, 0x20),
        entry(docs + "/", "", kHostDos, 0, 0x0800),
        entry(docs + "/" + world + ".txt", "hello", kHostDos, 0x20, 0x0800),
        entry("empty/", "", kHostUnix, 0),
    }));
    UseCommandLine(Quoted(m_target));
    RecordingWindow window;
    EXPECT_EQ(RunToEnd(window), -1);
    EXPECT_EQ(window.events, CompleteDisplay(kUpdatePrefix, kUpdateEnd));
    const std::wstring wideDocs = Widen(docs.c_str());
    const std::wstring wideWorld = Widen(world.c_str());
    EXPECT_EQ(ListTree(m_target), (std::set<std::wstring>{L"META-INF\\", L"META-INF\\MANIFEST.MF", L"pkg\\",
                                                          L"pkg\\mod.py", L"win\\", L"win\\sub\\",
                                                          wideDocs + L"\\", wideDocs + L"\\" + wideWorld + L".txt",
                                                          L"empty\\"}));
    EXPECT_EQ(ReadWholeFile(m_target + L"\\" + wideDocs + L"\\" + wideWorld + L".txt").value_or(""), "hello");
}

TEST_F(WorkerTest, AMissingArchiveShowsNothing)
{
    PlaceProducts();
    PayloadModule module(m_scratch, std::nullopt);
    UseCommandLine(Quoted(m_target));
    RecordingWindow window;
    EXPECT_EQ(RunToEnd(window), -1);
    EXPECT_TRUE(window.events.empty());
    EXPECT_FALSE(ProductProcessRuns());
}

TEST_F(WorkerTest, ASuccessfulUpdateStartsTheInstalledProduct)
{
    PlaceProducts();
    PayloadModule module(m_scratch, Archive(1));
    UseCommandLine(Quoted(m_target));
    RecordingWindow window;
    RunToEnd(window);
    // The copy in the target folder, told where it is; never the one a bare
    // name finds in the installer's current folder.
    const std::optional<std::string> record = LaunchRecord(m_target, 30000);
    const std::optional<std::string> decoy = LaunchRecord(m_current, 0);
    EndProducts();
    ASSERT_TRUE(record.has_value());
    EXPECT_FALSE(decoy.has_value());
    wchar_t current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    const std::wstring line = Widen(record->c_str());
    EXPECT_EQ(line.substr(0, line.rfind(L'\t')), m_target + L"\\Tarnivo.exe\t" + current);
}

TEST_F(WorkerTest, ABusyWindowThreadMakesTheWorkerWait)
{
    PayloadModule module(m_scratch, Archive(150));
    UseCommandLine(Quoted(m_target));
    RecordingWindow window;
    int filesBefore = -1, filesAfter = -1;
    window.status.onText = [&](const std::wstring& text) {
        if (text != kUpdatePrefix + L"10%") return;
        auto count = [&] {
            int present = 0;
            for (int index = 0; index < 150; ++index) present += Exists(EntryPath(index));
            return present;
        };
        filesBefore = count();
        ::Sleep(1500);  // the window's thread is busy, as while it sends its reports
        filesAfter = count();
    };
    RunToEnd(window);
    EXPECT_EQ(filesBefore, filesAfter) << "the worker went on while the window could not answer";
    EXPECT_EQ(window.events, CompleteDisplay(kUpdatePrefix, kUpdateEnd));
    for (int index = 0; index < 150; ++index) EXPECT_TRUE(Exists(EntryPath(index)));
}

TEST_F(WorkerTest, AWindowEndedDuringTheRunLeavesTheLeaseOut)
{
    PayloadModule module(m_scratch, Archive(150));
    UseCommandLine(Quoted(m_target));
    RecordingWindow window;
    window.progress.onPosition = [&](int position) {
        if (position == 10) window.EndDialog(IDCLOSE);  // as the exit question's Yes does
    };
    EXPECT_EQ(window.DoModal(), IDCLOSE);
    // The program ends the process here, before the window object goes away.
    EXPECT_TRUE(WindowLease::Held());

    // Left alone, the worker runs on against the destroyed controls and gives
    // the lease back at its end; nothing it does reaches the window any more.
    const size_t eventsAtEnd = window.events.size();
    WaitForTheWorkerToLetGo();
    EXPECT_FALSE(WindowLease::Held());
    EXPECT_EQ(window.events.size(), eventsAtEnd);
}

}  // namespace
