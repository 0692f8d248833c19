#pragma once
// Shared by the tests of tn-pack as a program: running it, the product
// folders the tests build, and reading an installer's resources back.

#include "tests/archive/ScratchFolder.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

struct RunResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out;
    std::string err;
};

// Runs tn-pack with the arguments (already quoted) in currentFolder (by
// default the test's own); its output goes through files in scratch.
RunResult RunTnPack(const ScratchFolder& scratch, const std::wstring& arguments,
                    const std::wstring& currentFolder = std::wstring());
std::wstring Quoted(const std::wstring& text);
std::string Utf8(const std::wstring& text);

// 2023-06-18 10:24:36 and 2030-07-15 12:34:56 UTC as file times.
constexpr uint64_t kBuildTime = 133315574760000000ull;
constexpr uint64_t kTimeIn2030 = 135548228960000000ull;

struct ProductFile {
    std::wstring name;  // relative, "\" separators; a folder's ends in "\"
    std::string data;
    DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
    uint64_t modified = kBuildTime;
};

// Writes each file (folders made as needed) with its bytes, time and
// attributes, through extended-length paths so long names can be made.
bool MakeProduct(const std::wstring& folder, const std::vector<ProductFile>& files);
std::wstring ExtendedLength(const std::wstring& path);

// A product with what the installer must carry faithfully: names in code
// page 936, empty files, nested empty folders, read-only, hidden and system
// files, a time in 2030, text that deflates and bytes that do not, in files
// smaller and larger than one of tn-pack's reads.
std::vector<ProductFile> SampleProduct();

// Every resource of a program: (type, name, language) to bytes; ids as "#n".
using ResourceKey = std::tuple<std::wstring, std::wstring, WORD>;
std::map<ResourceKey, std::string> ReadResources(const std::wstring& program);

// "ZIP" 148 of a program, as the installer finds it.
std::string ReadProductArchive(const std::wstring& program);

// Copies the stub the build made into path.
bool CopyStub(const std::wstring& path);

// A copy of the stub at path, signed as signing tools sign: a certificate
// table of table bytes (its WIN_CERTIFICATE header included, padded to 8)
// after the last byte, named by the security directory entry. Its contents
// are no real signature: tn-pack only removes it.
bool MakeSignedStub(const std::wstring& path, size_t table);

// A copy of the stub at path whose root resource directory sends its last
// type entry to the directory of the type before it: a tree whose entries
// share a directory, which the system still reads (dialog 102 and
// "ZIP" 148 are found as ever).
bool MakeStubSharingDirectories(const std::wstring& path);

// The security directory entry (offset, size) of the program at path.
std::pair<uint32_t, uint32_t> SecurityDirectoryOf(const std::wstring& path);
