// tn-pack as release engineers run it: the archive it builds into the
// installer is what the installer's reader takes back, every other resource
// stays as the stub had it, and the same folder always gives the same bytes.
#include "engine/ArchiveAcceptance.h"
#include "engine/PayloadArchive.h"
#include "tests/archive/ArchiveTestSupport.h"
#include "tests/pack/PackTestSupport.h"
#include "tests/pack/TnPackPaths.h"

#include <windows.h>
#include <imagehlp.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

// One record of the central directory, as stored.
struct CentralRecord {
    uint16_t versionMadeBy = 0;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint32_t compressedSize = 0;
    uint32_t size = 0;
    uint32_t externalAttributes = 0;
    std::string name;
    std::string extra;
};

uint32_t Little(const std::string& bytes, size_t at, int width)
{
    uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

std::vector<CentralRecord> ReadCentralDirectory(const std::string& zip)
{
    std::vector<CentralRecord> records;
    const size_t end = zip.rfind(std::string("PK\x05\x06", 4));
    if (end == std::string::npos || end + 22 > zip.size()) return records;
    const size_t count = Little(zip, end + 10, 2);
    size_t at = Little(zip, end + 16, 4);
    for (size_t i = 0; i < count && at + 46 <= zip.size() && Little(zip, at, 4) == 0x02014B50; ++i) {
        CentralRecord record;
        record.versionMadeBy = static_cast<uint16_t>(Little(zip, at + 4, 2));
        record.flags = static_cast<uint16_t>(Little(zip, at + 8, 2));
        record.method = static_cast<uint16_t>(Little(zip, at + 10, 2));
        record.compressedSize = Little(zip, at + 20, 4);
        record.size = Little(zip, at + 24, 4);
        const size_t nameLength = Little(zip, at + 28, 2);
        const size_t extraLength = Little(zip, at + 30, 2);
        const size_t commentLength = Little(zip, at + 32, 2);
        record.externalAttributes = Little(zip, at + 38, 4);
        record.name = zip.substr(at + 46, nameLength);
        record.extra = zip.substr(at + 46 + nameLength, extraLength);
        records.push_back(record);
        at += 46 + nameLength + extraLength + commentLength;
    }
    return records;
}

std::string ExtendedTimestamp(uint64_t fileTime)
{
    const uint32_t unixTime = static_cast<uint32_t>(fileTime / 10000000ull - 11644473600ull);
    std::string block("UT\x05\x00\x01", 5);
    for (int i = 0; i < 4; ++i) block.push_back(static_cast<char>(unixTime >> (8 * i)));
    return block;
}

uint64_t Now()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

class TnPack : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(MakeProduct(m_product, SampleProduct()));
        ASSERT_TRUE(CreateDirectoryW(m_scratch.Path(L"out").c_str(), nullptr));
    }

    RunResult Pack(const std::wstring& output)
    {
        return RunTnPack(m_scratch, Quoted(m_product) + L" " + Quoted(output) + L" --stub " + Quoted(kStubPath));
    }

    ScratchFolder m_scratch;
    const std::wstring m_product = m_scratch.Path(L"product");
    const std::wstring m_output = m_scratch.Path(L"out\\setup.exe");
};

TEST_F(TnPack, PacksEveryEntryAsTheReaderTakesIt)
{
    // The stub by default: the TNInstaller.exe beside tn-pack.
    const RunResult run = RunTnPack(m_scratch, Quoted(m_product) + L" " + Quoted(m_output));
    ASSERT_EQ(0u, run.exitCode) << run.err;
    EXPECT_NE(std::string::npos, run.out.find(": 18 entries, archive ")) << run.out;
    const std::string zip = ReadProductArchive(m_output);
    ASSERT_FALSE(zip.empty());

    // Each folder's files, then its subfolders, each in ordinal order.
    const std::vector<std::wstring> order = {
        L"Tarnivo.exe", L"empty.txt", L"hidden.dat", L"readonly.txt", L"resources.pak", L"system.sys",
        L"uninstall.exe", L"empty/", L"empty/deeper/", L"empty/deeper/deepest/", L"html/", L"html/big.js",
        L"html/\u56FE\u6807.png", L"html/\u8BF4\u660E.txt", L"html/css/", L"html/css/a.css", L"html/css/empty.css",
        L"\u65B0\u7248/",
    };
    const std::vector<CentralRecord> central = ReadCentralDirectory(zip);
    ASSERT_EQ(order.size(), central.size());
    OpenedArchive archive(zip);
    ASSERT_TRUE(archive);
    ASSERT_TRUE(archive->SetBaseFolder(m_scratch.Path(L"extracted").c_str()) == ArcOk);

    for (size_t i = 0; i < order.size(); ++i) {
        SCOPED_TRACE(Utf8(order[i]));
        const bool folder = order[i].back() == L'/';
        std::wstring source = m_product + L"\\" + order[i];
        std::replace(source.begin(), source.end(), L'/', L'\\');
        ArchiveItem record;
        std::memset(&record, 0, sizeof(record));
        ASSERT_EQ(ArcOk, archive->ReadItem(static_cast<int>(i), &record));
        EXPECT_EQ(order[i], std::wstring(record.name));
        const uint32_t attributes = folder ? FILE_ATTRIBUTE_DIRECTORY : AttributesOf(source) & 0x27;
        EXPECT_EQ(attributes, record.attributes);
        // To the second: what a "UT" block holds.
        EXPECT_EQ(LastWriteTimeOf(source) / 10000000 * 10000000, record.modificationTime);

        const CentralRecord& stored = central[i];
        EXPECT_EQ(20, stored.versionMadeBy);  // host MS-DOS
        EXPECT_EQ(0, stored.flags);
        EXPECT_EQ(ExtendedTimestamp(LastWriteTimeOf(source)), stored.extra);
        if (stored.method == 8) {
            EXPECT_LT(stored.compressedSize, stored.size);
        } else {
            EXPECT_EQ(stored.compressedSize, stored.size);
        }

        const ArchiveResult extracted = archive->ExtractItem(static_cast<int>(i), record.name);
        EXPECT_TRUE(IsExtractionAccepted(extracted, record)) << std::hex << extracted;
        if (!folder) {
            const std::optional<std::string> copy = ReadWholeFile(m_scratch.Path(L"extracted\\") + source.substr(m_product.size() + 1));
            EXPECT_TRUE(copy && *copy == ReadWholeFile(source)) << "bytes differ";
        }
    }
    const auto method = [&](const std::wstring& name) {
        const size_t at = std::find(order.begin(), order.end(), name) - order.begin();
        return at < central.size() ? central[at].method : -1;
    };
    EXPECT_EQ("html/\xCB\xB5\xC3\xF7.txt", central[13].name);  // in code page 936
    EXPECT_EQ(8, method(L"html/\u8BF4\u660E.txt"));               // text deflates
    EXPECT_EQ(8, method(L"html/big.js"));
    EXPECT_EQ(8, method(L"Tarnivo.exe"));
    EXPECT_EQ(0, method(L"html/\u56FE\u6807.png"));               // random bytes do not
    EXPECT_EQ(0, method(L"resources.pak"));
    EXPECT_EQ(0, method(L"empty.txt"));                            // nor does nothing
    EXPECT_EQ(0, method(L"readonly.txt"));                         // nor a few bytes
    EXPECT_EQ(0, method(L"empty/"));
    EXPECT_EQ(0x10u, central[7].externalAttributes);
    EXPECT_EQ(kTimeIn2030, LastWriteTimeOf(m_product + L"\\html\\\u8BF4\u660E.txt"));
    EXPECT_EQ(FILE_ATTRIBUTE_READONLY, AttributesOf(m_product + L"\\readonly.txt") & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN, AttributesOf(m_product + L"\\hidden.dat") & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(FILE_ATTRIBUTE_SYSTEM, AttributesOf(m_product + L"\\system.sys") & FILE_ATTRIBUTE_SYSTEM);
}

TEST_F(TnPack, KeepsEveryOtherResourceOfTheStub)
{
    const RunResult run = Pack(m_output);
    ASSERT_EQ(0u, run.exitCode) << run.err;
    std::map<ResourceKey, std::string> stub = ReadResources(kStubPath);
    std::map<ResourceKey, std::string> output = ReadResources(m_output);
    ASSERT_TRUE(stub.count(ResourceKey(L"#5", L"#102", 2052)));  // the enumeration reads the program
    ASSERT_GT(stub.size(), 3u);

    const ResourceKey archive(L"ZIP", L"#148", 2052);
    ASSERT_TRUE(output.count(archive));
    EXPECT_EQ(ReadProductArchive(m_output), output[archive]);
    EXPECT_NE(stub[archive], output[archive]);
    stub.erase(archive);
    output.erase(archive);
    for (const auto& [key, bytes] : stub) {
        const auto found = output.find(key);
        ASSERT_NE(output.end(), found) << Utf8(std::get<0>(key)) << " " << Utf8(std::get<1>(key)) << " missing";
        EXPECT_TRUE(found->second == bytes) << Utf8(std::get<0>(key)) << " " << Utf8(std::get<1>(key)) << " changed";
    }
    EXPECT_EQ(stub.size(), output.size()) << "resources the stub did not have";
}

TEST_F(TnPack, SameFolderAndStubGiveTheSameBytes)
{
    const uint64_t started = Now();
    ASSERT_EQ(0u, Pack(m_scratch.Path(L"out\\first.exe")).exitCode);
    // A later run, so that anything taken from the clock would differ.
    while (Now() < started + 2 * 10000000ull) Sleep(100);
    ASSERT_TRUE(WriteWholeFile(m_output, "an older installer"));
    const RunResult again = Pack(m_output);
    ASSERT_EQ(0u, again.exitCode) << again.err;

    const std::optional<std::string> first = ReadWholeFile(m_scratch.Path(L"out\\first.exe"));
    const std::optional<std::string> second = ReadWholeFile(m_output);
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(*first == *second) << "the outputs differ";
    EXPECT_EQ((std::set<std::wstring>{L"first.exe", L"setup.exe"}), ListTree(m_scratch.Path(L"out")));

    // The header: the stub's time stamp, and a checksum of the new bytes.
    DWORD headerSum = 0, computed = 0;
    ASSERT_EQ(CHECKSUM_SUCCESS, MapFileAndCheckSumW(m_output.c_str(), &headerSum, &computed));
    EXPECT_EQ(computed, headerSum);
    DWORD stubHeaderSum = 0, stubComputed = 0;
    ASSERT_EQ(CHECKSUM_SUCCESS, MapFileAndCheckSumW(kStubPath, &stubHeaderSum, &stubComputed));
    EXPECT_NE(0u, stubHeaderSum);
    const auto stampOf = [](const std::string& image) {
        return Little(image, Little(image, 0x3C, 4) + 8, 4);
    };
    EXPECT_EQ(stampOf(ReadWholeFile(kStubPath).value_or(std::string(64, '\0'))), stampOf(*second));
}

// A failure before the output is made (a product file that cannot be read)
// and one at its very end (the last release is open in another program and
// cannot be replaced): either way the last release stays as it was and no
// temporary file is left beside it.
TEST_F(TnPack, AFailureLeavesTheExistingOutputAsItWas)
{
    struct Case {
        const char* what;
        std::wstring held;
        std::string message;
    } const cases[] = {
        {"a product file held by another program", m_product + L"\\html\\css\\a.css",
         "tn-pack: cannot read html\\css\\a.css (error "},
        {"the last release held by another program", m_output, "tn-pack: cannot replace " + Utf8(m_output) + " (error "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteWholeFile(m_output, "the last release"));
        // Open without sharing: tn-pack can neither read nor replace it.
        HANDLE held = CreateFileW(c.held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        const RunResult run = Pack(m_output);
        CloseHandle(held);
        EXPECT_EQ(1u, run.exitCode);
        EXPECT_EQ(0u, run.err.find(c.message)) << run.err;
        EXPECT_EQ("the last release", ReadWholeFile(m_output).value_or(""));
        EXPECT_EQ((std::set<std::wstring>{L"setup.exe"}), ListTree(m_scratch.Path(L"out")));
    }
}

// The last signed release taken as the stub: its signature, over bytes the
// new archive changes, goes, and the output is the unsigned installer the
// same stub gives before it was signed, ready to be signed again.
TEST_F(TnPack, ASignedStubGivesAnUnsignedInstallerReadyToBeSigned)
{
    const std::wstring signedStub = m_scratch.Path(L"signed.exe");
    ASSERT_TRUE(MakeSignedStub(signedStub, 2001));
    ASSERT_NE(0u, SecurityDirectoryOf(signedStub).first);
    const std::wstring fromUnsigned = m_scratch.Path(L"out\\unsigned.exe");
    const RunResult plain = Pack(fromUnsigned);
    ASSERT_EQ(0u, plain.exitCode) << plain.err;
    EXPECT_EQ("", plain.err);

    const RunResult run =
        RunTnPack(m_scratch, Quoted(m_product) + L" " + Quoted(m_output) + L" --stub " + Quoted(signedStub));
    ASSERT_EQ(0u, run.exitCode) << run.err;
    EXPECT_EQ("tn-pack: the stub's signature was removed; sign " + Utf8(m_output) + " again\r\n", run.err);  // a text stream
    EXPECT_NE(std::string::npos, run.out.find(": 18 entries, archive ")) << run.out;
    EXPECT_EQ((std::pair<uint32_t, uint32_t>(0, 0)), SecurityDirectoryOf(m_output));
    const std::optional<std::string> output = ReadWholeFile(m_output);
    const std::optional<std::string> expected = ReadWholeFile(fromUnsigned);
    ASSERT_TRUE(output && expected);
    EXPECT_TRUE(*output == *expected) << "not the installer of the unsigned stub: " << output->size() << " bytes, not "
                                      << expected->size();
    DWORD headerSum = 0, computed = 0;
    ASSERT_EQ(CHECKSUM_SUCCESS, MapFileAndCheckSumW(m_output.c_str(), &headerSum, &computed));
    EXPECT_EQ(computed, headerSum);
}

// Relative names are the current folder's files for every step, even where
// a file of the same name lies beside tn-pack (its default stub does): the
// stub checked is the stub copied.
TEST_F(TnPack, RelativePathsNameTheCurrentFoldersFiles)
{
    const std::wstring besideTool = std::wstring(kTnPackPath).substr(0, std::wstring(kTnPackPath).find_last_of(L"\\/") + 1);
    ASSERT_TRUE(Exists(besideTool + L"TNInstaller.exe"));
    const std::wstring here = m_scratch.path();
    const struct {
        const char* what;
        const wchar_t* stubCopiedFrom;
        DWORD exitCode;
        std::string err;
    } cases[] = {
        {"this installer", kStubPath, 0, ""},
        {"a program of the same name that is not this installer", kStubWithoutArchivePath, 2,
         "tn-pack: " + Utf8(here) + "TNInstaller.exe is not this installer: it has no \"ZIP\" 148 resource in "
         "language 2052\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(CopyFileW(c.stubCopiedFrom, (here + L"TNInstaller.exe").c_str(), FALSE));
        const RunResult run = RunTnPack(m_scratch, L"product out\\setup.exe --stub TNInstaller.exe", here);
        EXPECT_EQ(c.exitCode, run.exitCode) << run.err;
        EXPECT_EQ(c.err, run.err);
        if (c.exitCode == 0) {
            EXPECT_EQ("tn-pack: " + Utf8(m_output) + ": 18 entries, archive ", run.out.substr(0, run.out.find("archive ") + 8));
            EXPECT_EQ(18u, ReadCentralDirectory(ReadProductArchive(m_output)).size());
            ASSERT_TRUE(DeleteFileW(m_output.c_str()));
        } else {
            EXPECT_EQ("", run.out);
        }
        EXPECT_TRUE(ListTree(m_scratch.Path(L"out")).empty());
    }
}

}  // namespace
