// tn-pack: turns a product folder into a finished installer, without a
// compiler: the folder's files and folders become the ZIP archive the
// installer reads, put into a copy of the installer as "ZIP" 148.
//
//   tn-pack PRODUCT_FOLDER OUTPUT.exe [--stub INSTALLER.exe]
//
// The stub defaults to the TNInstaller.exe beside tn-pack; a signed stub
// loses its signature, and OUTPUT is to be signed again. The same folder
// and stub always give the same bytes. Exit code 0 when OUTPUT was written,
// 1 when reading or writing failed, 2 when the input was refused (bad usage,
// or a folder or stub the installer could not work with); OUTPUT is then
// left as it was.

#include "tools/common/FullPath.h"
#include "tools/tn-pack/ArchiveBuilder.h"
#include "tools/tn-pack/ConsoleText.h"
#include "tools/tn-pack/InstallerStub.h"
#include "tools/tn-pack/PendingOutput.h"
#include "tools/tn-pack/ProductFolder.h"
#include "tools/tn-pack/ReproducibleImage_win.h"
#include "tools/tn-pack/StubSignature_win.h"

#include <windows.h>

#include <cwchar>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kUsage[] = L"usage: tn-pack PRODUCT_FOLDER OUTPUT.exe [--stub INSTALLER.exe]";
constexpr wchar_t kDefaultStubName[] = L"TNInstaller.exe";

struct Arguments {
    std::wstring folder;
    std::wstring output;
    std::wstring stub;
};

bool ParseArguments(int argc, wchar_t** argv, Arguments* arguments)
{
    std::vector<std::wstring> positional;
    for (int i = 1; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--stub") == 0) {
            if (i + 1 >= argc || !arguments->stub.empty()) return false;
            arguments->stub = argv[++i];
        } else {
            positional.push_back(argv[i]);
        }
    }
    if (positional.size() != 2) return false;
    arguments->folder = positional[0];
    arguments->output = positional[1];
    return true;
}

std::wstring DefaultStub()
{
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return kDefaultStubName;
    std::wstring path(self, length);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + kDefaultStubName;
}

// Every path full before its first use: the stub the loader checks, the
// stub copied and the folder read are the files the current folder names.
bool MakeFull(Arguments* arguments)
{
    for (std::wstring* path : {&arguments->folder, &arguments->output, &arguments->stub}) {
        const std::optional<std::wstring> full = FullPathOf(*path);
        if (!full) return false;
        *path = *full;
    }
    return true;
}

struct Packed {
    size_t entryCount = 0;
    size_t archiveSize = 0;
    bool signatureRemoved = false;
};

PackOutcome Pack(const Arguments& arguments, Packed* packed)
{
    CProductFolder folder;
    PackOutcome outcome = CProductFolder::Open(arguments.folder, &folder);
    if (!outcome.ok()) return outcome;
    bool stubSigned = false;
    outcome = CheckInstallerStub(arguments.stub, &stubSigned);
    if (!outcome.ok()) return outcome;
    outcome = CPendingOutput::CheckPlace(arguments.output);
    if (!outcome.ok()) return outcome;

    std::vector<PackEntry> entries;
    outcome = folder.List(&entries);
    if (!outcome.ok()) return outcome;
    CArchiveBuilder builder;
    outcome = builder.Build(folder, entries);
    if (!outcome.ok()) return outcome;

    CPendingOutput output;
    outcome = output.Begin(arguments.output, arguments.stub);
    if (!outcome.ok()) return outcome;
    // Before the update: the system's writer then meets an unsigned image.
    if (stubSigned) {
        outcome = RemoveStubSignature(output.path());
        if (!outcome.ok()) return outcome;
    }
    outcome = ReplaceProductArchive(output.path(), builder.bytes());
    if (!outcome.ok()) return outcome;
    outcome = MakeReproducible(output.path(), arguments.stub);
    if (!outcome.ok()) return outcome;
    outcome = output.Commit();
    packed->entryCount = entries.size();
    packed->archiveSize = builder.bytes().size();
    packed->signatureRemoved = stubSigned;
    return outcome;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    Arguments arguments;
    if (!ParseArguments(argc, argv, &arguments)) {
        WriteLine(stderr, kUsage);
        return static_cast<int>(PackExit::Refused);
    }
    if (arguments.stub.empty()) arguments.stub = DefaultStub();
    if (!MakeFull(&arguments)) {
        WriteLine(stderr, L"tn-pack: a path cannot be made full");
        return static_cast<int>(PackExit::Refused);
    }

    Packed packed;
    const PackOutcome outcome = Pack(arguments, &packed);
    if (!outcome.ok()) {
        WriteLine(stderr, L"tn-pack: " + outcome.message);
        return static_cast<int>(outcome.exit);
    }
    if (packed.signatureRemoved) {
        WriteLine(stderr, L"tn-pack: the stub's signature was removed; sign " + arguments.output + L" again");
    }
    WriteLine(stdout, L"tn-pack: " + arguments.output + L": " + std::to_wstring(packed.entryCount) +
                          L" entries, archive " + std::to_wstring(packed.archiveSize) + L" bytes");
    return static_cast<int>(PackExit::Packed);
}
