// What tn-pack refuses: each with one line saying why, exit code 2, and
// nothing written: no output where there was none, an existing output
// untouched, no temporary file left beside it.
#include "tests/pack/PackTestSupport.h"
#include "tests/pack/TnPackPaths.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

struct Setting {
    std::wstring product;
    std::wstring output;
    std::wstring stub;
    std::wstring arguments;  // when set, used as they are
};

std::vector<ProductFile> ProductWith(const std::vector<ProductFile>& more)
{
    std::vector<ProductFile> files = {{L"Tarnivo.exe", "MZ"}, {L"uninstall.exe", "MZ"}, {L"html\\index.html", "<p>"}};
    files.insert(files.end(), more.begin(), more.end());
    return files;
}

struct Refusal {
    const char* what;
    std::function<bool(const ScratchFolder&, Setting*)> prepare;
    std::wstring message;        // the whole line, after "tn-pack: "; {scratch} stands for the scratch folder
    bool outputExists;
};

std::wstring Expand(std::wstring text, const ScratchFolder& scratch)
{
    const std::wstring marker = L"{scratch}";
    for (size_t at = text.find(marker); at != std::wstring::npos; at = text.find(marker)) {
        text.replace(at, marker.size(), scratch.path());
    }
    return text;
}

// A path as tn-pack names it: made full, so with "\" throughout.
std::wstring AsNamed(std::wstring path)
{
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

const std::wstring kLongFolder(120, L'a');
const std::wstring kLongFile = std::wstring(120, L'b') + L".txt";
// 130 characters of two bytes each in code page 936 (说), in two steps:
// a step of the Unix file system Wine writes to holds at most 255 bytes.
const std::wstring kManyBytesName = std::wstring(65, L'\u8BF4') + L"\\" + std::wstring(65, L'\u8BF4');

const Refusal kRefusals[] = {
    {"a folder that does not exist",
     [](const ScratchFolder& s, Setting* setting) {
         setting->product = s.Path(L"missing");
         return true;
     },
     L"no product folder at {scratch}missing", false},
    {"a folder without Tarnivo.exe at its top",
     [](const ScratchFolder&, Setting* setting) {
         return MakeProduct(setting->product, {{L"uninstall.exe", "MZ"}, {L"bin\\Tarnivo.exe", "MZ"}});
     },
     L"{scratch}product has no Tarnivo.exe at its top", true},
    {"a name the code page cannot hold",
     [](const ScratchFolder&, Setting* setting) {
         return MakeProduct(setting->product, ProductWith({{L"html\\\u0E01.txt", "Thai"}}));
     },
     L"html\\\u0E01.txt: the name cannot be written in the system's code page 936", false},
    {"a name the code page holds only by a look-alike",
     [](const ScratchFolder&, Setting* setting) {
         return MakeProduct(setting->product, ProductWith({{L"\u00C0 la carte\\menu.txt", "menu"}}));
     },
     L"\u00C0 la carte\\: the name cannot be written in the system's code page 936", true},
    {"a path past 259 characters under the default folder",
     [](const ScratchFolder&, Setting* setting) {
         return MakeProduct(setting->product, ProductWith({{kLongFolder + L"\\" + kLongFile, "deep"}}));
     },
     kLongFolder + L"\\" + kLongFile + L": its path under the default folder \"C:\\Program Files\\Tarnivo\" would pass 259 characters",
     false},
    {"a name of more bytes than the reader keeps",
     [](const ScratchFolder&, Setting* setting) {
         return MakeProduct(setting->product, ProductWith({{kManyBytesName, "long"}}));
     },
     kManyBytesName + L": the name takes 261 bytes in code page 936; the installer reads at most 259", true},
    {"a name Windows would read as a device",
     [](const ScratchFolder&, Setting* setting) {
         return MakeProduct(setting->product, ProductWith({{L"html\\con.txt", "device"}}));
     },
     L"html\\con.txt: the installer would not write this name as it is", false},
    {"a file too large for a ZIP without its 64-bit extension",
     [](const ScratchFolder&, Setting* setting) {
         if (!MakeProduct(setting->product, ProductWith({{L"big.bin", ""}}))) return false;
         // Sparse: the size is there without the bytes.
         HANDLE file = CreateFileW((setting->product + L"\\big.bin").c_str(), GENERIC_WRITE, 0, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
         LARGE_INTEGER size;
         size.QuadPart = 0xFFFFFFFFll;
         const bool ok = file != INVALID_HANDLE_VALUE && SetFilePointerEx(file, size, nullptr, FILE_BEGIN) &&
                         SetEndOfFile(file);
          if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
         return ok;
     },
     L"big.bin: 4294967295 bytes, more than a ZIP without its 64-bit extension holds (4294967294 per file)", true},
    {"a stub without dialog 102",
     [](const ScratchFolder&, Setting* setting) {
         setting->stub = kStubWithoutDialogPath;
         return MakeProduct(setting->product, ProductWith({}));
     },
     AsNamed(kStubWithoutDialogPath) + L" is not this installer: it has no dialog 102", false},
    {"a stub without the archive's slot",
     [](const ScratchFolder&, Setting* setting) {
         setting->stub = kStubWithoutArchivePath;
         return MakeProduct(setting->product, ProductWith({}));
     },
     AsNamed(kStubWithoutArchivePath) + L" is not this installer: it has no \"ZIP\" 148 resource in language 2052", true},
    {"a stub whose resource tree shares directories",
     [](const ScratchFolder& s, Setting* setting) {
         setting->stub = s.Path(L"shared.exe");
         return MakeProduct(setting->product, ProductWith({})) && MakeStubSharingDirectories(setting->stub);
     },
     L"{scratch}shared.exe is not this installer: entries of its resource tree share directories, which no linker "
     L"writes",
     true},
    {"a stub whose signature does not end it",
     [](const ScratchFolder& s, Setting* setting) {
         setting->stub = s.Path(L"signed.exe");
         return MakeProduct(setting->product, ProductWith({})) && MakeSignedStub(setting->stub, 1000) &&
                WriteWholeFile(setting->stub, ReadWholeFile(setting->stub).value_or("") + "appended");
     },
     L"{scratch}signed.exe: its certificate table (1000 bytes at ", false},
    {"a stub that is no program",
     [](const ScratchFolder& s, Setting* setting) {
         setting->stub = s.Path(L"notes.txt");
         return MakeProduct(setting->product, ProductWith({})) && WriteWholeFile(setting->stub, "not a program");
     },
     L"{scratch}notes.txt is not a program that can be read (error ", false},
    {"a read-only last release",
     [](const ScratchFolder&, Setting* setting) {
         return MakeProduct(setting->product, ProductWith({})) && WriteWholeFile(setting->output, "the last release") &&
                SetFileAttributesW(setting->output.c_str(), FILE_ATTRIBUTE_READONLY);
     },
     L"{scratch}out\\setup.exe is read-only", true},
    {"bad usage",
     [](const ScratchFolder& s, Setting* setting) {
         setting->arguments = Quoted(s.Path(L"product"));
         return MakeProduct(setting->product, ProductWith({}));
     },
     L"usage: tn-pack PRODUCT_FOLDER OUTPUT.exe [--stub INSTALLER.exe]", true},
};

void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.what; }

class TnPackRefuses : public testing::TestWithParam<Refusal> {};

TEST_P(TnPackRefuses, WithOneLineExitCodeTwoAndNothingWritten)
{
    const Refusal& refusal = GetParam();
    ScratchFolder scratch;
    Setting setting{scratch.Path(L"product"), scratch.Path(L"out\\setup.exe"), kStubPath, L""};
    ASSERT_TRUE(CreateDirectoryW(scratch.Path(L"out").c_str(), nullptr));
    ASSERT_TRUE(refusal.prepare(scratch, &setting)) << "the case could not be set up";
    if (refusal.outputExists && !Exists(setting.output)) {
        ASSERT_TRUE(WriteWholeFile(setting.output, "the last release"));
    }

    const std::wstring arguments = !setting.arguments.empty()
        ? setting.arguments
        : Quoted(setting.product) + L" " + Quoted(setting.output) + L" --stub " + Quoted(setting.stub);
    const RunResult run = RunTnPack(scratch, arguments);
    EXPECT_EQ(2u, run.exitCode);
    const std::string line = Utf8(Expand(refusal.message, scratch));
    const std::string expected = refusal.message.rfind(L"usage: ", 0) == 0 ? line : "tn-pack: " + line;
    // The whole line, or its start where a system error number follows.
    EXPECT_EQ(0u, run.err.find(expected)) << run.err;
    EXPECT_EQ(1, std::count(run.err.begin(), run.err.end(), '\n')) << run.err;
    EXPECT_EQ("", run.out);
    if (refusal.outputExists) {
        EXPECT_EQ("the last release", ReadWholeFile(setting.output).value_or(""));
        EXPECT_EQ((std::set<std::wstring>{L"setup.exe"}), ListTree(scratch.Path(L"out")));
    } else {
        EXPECT_TRUE(ListTree(scratch.Path(L"out")).empty());
    }
    // Names past the system's usual path length go through the extended form.
    RemoveTree(ExtendedLength(setting.product));
}

INSTANTIATE_TEST_SUITE_P(Cases, TnPackRefuses, testing::ValuesIn(kRefusals),
                         [](const testing::TestParamInfo<Refusal>& info) {
                             std::string name;
                             for (const char* c = info.param.what; *c != '\0'; ++c) {
                                 if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                             }
                             return name;
                         });

}  // namespace
