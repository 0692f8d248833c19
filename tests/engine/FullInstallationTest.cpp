// The full installation path on the worker: the path chosen from the command
// line, then extraction, the desktop shortcut, its all-users copy, the
// uninstall entry and the product's start in its full form, read back through
// the Windows API. It runs in a prefix of its own (the registration prefix),
// since it writes under HKEY_LOCAL_MACHINE, on the desktop and into the
// all-users Programs folder; each case removes what it wrote.
#include "tests/engine/WorkerHarness.h"

#include <shlobj.h>
#include <wrl/client.h>

#include <map>

#include "app/SubChannel.h"

namespace {

using Microsoft::WRL::ComPtr;

const wchar_t kCommonShortcut[] = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tarnivo 2.0.lnk";
const wchar_t kWow64KeyPath[] = L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarnivo2.0";
const wchar_t kKeyPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarnivo2.0";
constexpr bool kThirtyTwoBit = sizeof(void*) == 4;

struct StoredValue {
    DWORD type;
    DWORD size;
    std::wstring data;
    bool operator==(const StoredValue& other) const
    {
        return type == other.type && size == other.size && data == other.data;
    }
};
using StoredKey = std::map<std::wstring, StoredValue>;

std::ostream& operator<<(std::ostream& out, const StoredValue& value)
{
    return out << "type " << value.type << ", " << value.size << " bytes, " << testing::PrintToString(value.data);
}

// The values under HKLM\path in one registry view, or none without the key.
std::optional<StoredKey> ReadKey(REGSAM view, const wchar_t* path)
{
    tn::UniqueHKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | view, key.put()) != ERROR_SUCCESS) return std::nullopt;
    StoredKey values;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = ARRAYSIZE(name), type = 0;
        BYTE data[2048];
        DWORD size = sizeof(data);
        if (::RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        values[name] = {type, size, std::wstring(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t))};
    }
    return values;
}

// The seven values for folder as the system keeps them: REG_SZ, the text,
// and two bytes a character plus two: the program passes the count without
// the terminator, and the system (NT as well as Wine) counts the one that
// follows the text in memory.
StoredKey ExpectedKey(const std::wstring& folder)
{
    StoredKey key;
    auto add = [&key](const wchar_t* name, const std::wstring& data) {
        key[name] = {REG_SZ, static_cast<DWORD>(data.size() * 2 + 2), data + L'\0'};
    };
    add(L"DisplayIcon", folder + L"\\Tarnivo.exe");
    add(L"DisplayName", L"Tarnivo2.0");
    add(L"Publisher", L"Ostrevan");
    add(L"UninstallString", folder + L"\\uninstall.exe");
    add(L"CHANNEL", L"0");
    add(L"SUBCHANNEL", g_strSubChannel);
    add(L"NOUI", L"0");
    return key;
}

struct ShortcutFields {
    std::wstring target;
    std::wstring workingFolder;
    int showCommand = -1;
};

std::optional<ShortcutFields> ReadShortcut(const std::wstring& path)
{
    tn::ScopedComInitialization com;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&file)) || FAILED(file->Load(path.c_str(), STGM_READ))) {
        return std::nullopt;
    }
    ShortcutFields fields;
    wchar_t text[MAX_PATH * 2] = {};
    (void)link->GetPath(text, ARRAYSIZE(text), nullptr, SLGP_RAWPATH);
    fields.target = text;
    text[0] = L'\0';
    (void)link->GetWorkingDirectory(text, ARRAYSIZE(text));
    fields.workingFolder = text;
    (void)link->GetShowCmd(&fields.showCommand);
    return fields;
}

std::wstring DesktopShortcut()
{
    wchar_t desktop[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop);
    return std::wstring(desktop) + L"\\Tarnivo 2.0.lnk";
}

class FullInstallationTest : public WorkerFixture {
protected:
    void SetUp() override
    {
        WorkerFixture::SetUp();
        RemoveRegistration();
        g_strSubChannel = L"setup";
    }
    void TearDown() override
    {
        RemoveRegistration();
        WorkerFixture::TearDown();
    }

    static void RemoveRegistration()
    {
        for (const wchar_t* path : {kWow64KeyPath, kKeyPath}) {
            for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path, view, 0);
        }
        ::DeleteFileW(DesktopShortcut().c_str());
        ::DeleteFileW(kCommonShortcut);
    }

    // Runs a full installation of an archive holding the stand-in product.
    void Install(const std::wstring& arguments, const std::wstring& folderBox, const std::string& extraEntryData = "1",
                 bool corruptExtraEntry = false)
    {
        TestZipEntry extra = FileEntry("e001.txt", extraEntryData);
        if (corruptExtraEntry) extra.crc = 0x12345678;
        PayloadModule module(m_scratch, BuildTestZip({FileEntry("Tarnivo.exe", ProductBytes()), extra}));
        ASSERT_TRUE(module.loaded());
        UseCommandLine(arguments);
        RecordingWindow window;
        window.folderText = folderBox;
        // The worker asks the window to close whatever happened on the way.
        EXPECT_EQ(RunToEnd(window), -1);
        EXPECT_EQ(::WaitForSingleObject(window.workerThread.get(), 10000), WAIT_OBJECT_0) << "the thread ends";
    }

    // Where the two writes must land: a 64-bit installer writes the first
    // key under the literal Wow6432Node path and the second in its own view;
    // both writes of the 32-bit installer land in the 32-bit view, which is
    // Wow6432Node itself, and the 64-bit view gets none.
    void ExpectUninstallEntry(const std::wstring& folder)
    {
        const StoredKey expected = ExpectedKey(folder);
        EXPECT_EQ(ReadKey(KEY_WOW64_32KEY, kKeyPath), expected) << "the 32-bit view";
        EXPECT_EQ(ReadKey(KEY_WOW64_64KEY, kWow64KeyPath), expected) << "the 64-bit view's Wow6432Node";
        if (kThirtyTwoBit) {
            EXPECT_EQ(ReadKey(KEY_WOW64_64KEY, kKeyPath), std::nullopt) << "the 64-bit view";
        } else {
            EXPECT_EQ(ReadKey(KEY_WOW64_64KEY, kKeyPath), expected) << "the 64-bit view";
        }
    }

    void ExpectDesktopShortcut(const std::wstring& folder)
    {
        const std::optional<ShortcutFields> shortcut = ReadShortcut(DesktopShortcut());
        ASSERT_TRUE(shortcut.has_value()) << "no desktop shortcut";
        EXPECT_EQ(shortcut->target, folder + L"\\Tarnivo.exe");
        EXPECT_EQ(shortcut->workingFolder, folder);
        EXPECT_EQ(shortcut->showCommand, SW_SHOWNORMAL);
    }

    // The product's start in its full form: application name and command
    // line both folder + "\Tarnivo.exe", in the installer's current folder.
    // Under Wine the two pin requests open the shortcut, which starts the
    // product as well, from its working folder; those lines are told apart.
    void ExpectFullFormStart(const std::wstring& folder)
    {
        const std::wstring fullForm = folder + L"\\Tarnivo.exe\t" + m_current;
        std::wstring record;
        const ULONGLONG deadline = ::GetTickCount64() + 30000;
        while (record.find(fullForm + L"\t") == std::wstring::npos && ::GetTickCount64() < deadline) {
            ::Sleep(100);
            record = Widen(ReadWholeFile(folder + L"\\launch.log").value_or("").c_str());
        }
        int fullFormStarts = 0;
        for (size_t start = 0, end; (end = record.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
            std::wstring line = record.substr(start, end - start);
            line.erase(line.rfind(L'\t'));  // the creation time
            if (line == fullForm) {
                ++fullFormStarts;
            } else {
                EXPECT_EQ(line.substr(line.find(L'\t')), L"\t" + folder) << "a start that is neither form";
            }
        }
        EXPECT_EQ(fullFormStarts, 1) << testing::PrintToString(record);
    }
};

// The worker picks the path from the command line and the folder box: the
// full installation registers the product and ends the thread; the
// extract-only update leaves the thread idle. Both start the installed copy,
// never the one in the installer's current folder.
TEST_F(FullInstallationTest, PathFollowsTheCommandLine)
{
    const std::string product = ProductBytes();
    ASSERT_TRUE(WriteWholeFile(m_current + L"\\Tarnivo.exe", product));
    const struct {
        const char* what;
        std::wstring arguments;
        std::wstring folderBox;
        bool full;
    } cases[] = {
        {"a quoted folder", Quoted(m_target), L"", false},
        {"a folder and a marker", m_target + L"|x", L"", true},
        {"a folder and a bar alone", m_target + L"|", L"", false},
        {"only quotes: the folder box", L"\"\"", m_target, true},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        PayloadModule module(m_scratch, BuildTestZip({FileEntry("Tarnivo.exe", ProductBytes()), FileEntry("e001.txt", "1")}));
        UseCommandLine(row.arguments);
        RecordingWindow window;
        window.folderText = row.folderBox;
        RunToEnd(window);

        EXPECT_TRUE(ProductProcessRuns(m_target + L"\\Tarnivo.exe"));
        EXPECT_FALSE(ProductProcessRuns(m_current + L"\\Tarnivo.exe"));
        EXPECT_EQ(ReadShortcut(DesktopShortcut()).has_value(), row.full);
        if (row.full) {
            EXPECT_EQ(::WaitForSingleObject(window.workerThread.get(), 10000), WAIT_OBJECT_0);
        } else {
            // Idle in its loop: only a quit message ends it.
            EXPECT_EQ(::WaitForSingleObject(window.workerThread.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
            ::PostThreadMessageW(window.workerThreadId, WM_QUIT, 0, 0);
            EXPECT_EQ(::WaitForSingleObject(window.workerThread.get(), 10000), WAIT_OBJECT_0);
        }
        EndProducts();
        RemoveRegistration();
        ::DeleteFileW((m_current + L"\\launch.log").c_str());
        RemoveTree(m_target);
    }
}

// Install mode takes the folder box's text, here the default folder, and
// goes through the whole sequence.
TEST_F(FullInstallationTest, InstallModeWithTheDefaultFolder)
{
    const std::wstring folder = L"C:\\Program Files\\Tarnivo";
    RemoveTree(folder);
    UseCommandLine(L"");
    PayloadModule module(m_scratch, BuildTestZip({FileEntry("Tarnivo.exe", ProductBytes()), FileEntry("e001.txt", "1")}));
    RecordingWindow window;
    window.folderText = folder;
    EXPECT_EQ(RunToEnd(window), -1);
    EXPECT_EQ(::WaitForSingleObject(window.workerThread.get(), 10000), WAIT_OBJECT_0) << "the thread ends";

    EXPECT_EQ(window.events, CompleteDisplay(kInstallPrefix, kInstallEnd));
    EXPECT_EQ(ReadWholeFile(folder + L"\\e001.txt"), "1");
    ExpectDesktopShortcut(folder);
    EXPECT_EQ(ReadWholeFile(kCommonShortcut), ReadWholeFile(DesktopShortcut())) << "the all-users copy";
    ExpectUninstallEntry(folder);
    ExpectFullFormStart(folder);
    EndProductsAt(folder + L"\\Tarnivo.exe");
    RemoveTree(folder);
}

// Nothing normalises the folder: a trailing separator doubles before the
// file names.
TEST_F(FullInstallationTest, AFolderEndingInASeparatorIsUsedAsWritten)
{
    const std::wstring folder = m_target + L"\\";
    Install(folder + L"|x", L"");
    ExpectUninstallEntry(folder);
    const std::optional<StoredKey> stored = ReadKey(KEY_WOW64_32KEY, kKeyPath);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->at(L"DisplayIcon").data, m_target + L"\\\\Tarnivo.exe" + L'\0');
    EXPECT_EQ(stored->at(L"UninstallString").data, m_target + L"\\\\uninstall.exe" + L'\0');
}

// A failed extraction stops nothing after it: shortcut, copy, uninstall
// entry, the start and the request to close all still happen.
TEST_F(FullInstallationTest, AFailedExtractionStillRegistersAndStarts)
{
    Install(m_target + L"|x", L"", "bad", true);
    EXPECT_FALSE(Exists(m_target + L"\\e001.txt"));
    ExpectDesktopShortcut(m_target);
    EXPECT_TRUE(Exists(kCommonShortcut));
    ExpectUninstallEntry(m_target);
    ExpectFullFormStart(m_target);
}

// A second installation overwrites the values and saves the desktop
// shortcut again; the all-users copy keeps the first one.
TEST_F(FullInstallationTest, InstallingTwiceOverwritesAllButTheAllUsersCopy)
{
    const std::wstring first = m_scratch + L"\\first", second = m_scratch + L"\\second";
    Install(first + L"|x", L"");
    const std::optional<std::string> firstCopy = ReadWholeFile(kCommonShortcut);
    ASSERT_TRUE(firstCopy.has_value());
    g_strSubChannel = L"setup.second";
    Install(second + L"|x", L"");

    ExpectUninstallEntry(second);
    ExpectDesktopShortcut(second);
    EXPECT_EQ(ReadWholeFile(kCommonShortcut), firstCopy);
    const std::optional<ShortcutFields> copy = ReadShortcut(kCommonShortcut);
    ASSERT_TRUE(copy.has_value());
    EXPECT_EQ(copy->target, first + L"\\Tarnivo.exe");
    for (const std::wstring& folder : {first, second}) EndProductsAt(folder + L"\\Tarnivo.exe");
}

}  // namespace
