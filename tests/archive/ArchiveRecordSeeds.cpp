// Writes the seed archives of archive_record_fuzzer, built with the tests'
// own ZIP writer: the shapes the reader's tests use, each small enough for
// the fuzzer to mutate.
//
//   archive_record_seeds DIR
#include "tests/archive/TestZip.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

TestZipEntry With(TestZipEntry entry, uint16_t versionMadeBy, uint32_t external, uint16_t flags = 0)
{
    entry.versionMadeBy = versionMadeBy;
    entry.externalAttributes = external;
    entry.flags = flags;
    return entry;
}

std::string Text(size_t size)
{
    std::string text;
    while (text.size() < size) text += "<div class=\"nav\">tarnivo</div>\n";
    text.resize(size);
    return text;
}

std::vector<std::pair<std::string, std::string>> Seeds()
{
    std::vector<std::pair<std::string, std::string>> seeds;

    // Folders marked only by their names, as common writers store them.
    seeds.emplace_back("folders-by-name.zip",
                       BuildTestZip({With(FileEntry("META-INF/", ""), kHostDos, 0),
                                     With(FileEntry("META-INF/MANIFEST.MF", "Manifest-Version: 1.0\r\n", 8), kHostDos, 0),
                                     With(FileEntry("pkg/", ""), kHostUnix, 0x01ED0000),
                                     With(FileEntry("pkg/mod.py", "print(1)\n", 8), kHostUnix, 0x01A40000),
                                     With(FileEntry("win\\sub\\", ""), kHostDos, 0), FolderEntry("css/")}));

    // 世界.txt flagged as UTF-8, 说明.txt in code page 936, a flag on bytes that are not UTF-8.
    seeds.emplace_back("utf8-names.zip",
                       BuildTestZip({With(FileEntry("\xE4\xB8\x96\xE7\x95\x8C.txt", "hello", 8), kHostDos, 0x20, 0x0800),
                                     With(FileEntry("\xE5\x9B\xBE/", ""), kHostUnix, 0x41ED0000, 0x0800),
                                     FileEntry("\xCB\xB5\xC3\xF7.txt", "notes"),
                                     With(FileEntry("\xCB\xB5.txt", "x"), kHostDos, 0x20, 0x0800)}));

    TestZipEntry stamped = FileEntry("ut.js", Text(3000), 8);
    stamped.localExtra = NtfsTimesBlock(5, 6, 7) + ExtendedTimestampBlock(7, {1600000000, 1500000000, -1});
    TestZipEntry shortStamp = FileEntry("short.txt", "s");
    shortStamp.localExtra = ExtendedTimestampBlock(7, {1600000000});
    TestZipEntry badTime = FileEntry("bad-time.txt", "t");
    badTime.dosDateTime = DosDateTime(2021, 13, 4, 11, 17, 26);
    seeds.emplace_back("times.zip", BuildTestZip({stamped, shortStamp, badTime}));

    TestZipEntry deferred = FileEntry("late.txt", Text(2000), 8);
    deferred.flags = 0x0008;
    deferred.localCrc = 0;
    deferred.localCompressedSize = 0;
    deferred.localUncompressedSize = 0;
    TestZipEntry encrypted = FileEntry("secret.txt", "xxxxxxxxxxxx");
    encrypted.flags = 0x0001;
    seeds.emplace_back("members.zip", BuildTestZip({deferred, FileEntry("empty.txt", ""), encrypted,
                                                    With(FileEntry("ro.txt", "r"), kHostUnix, 0x81240000)}));

    TestZipEntry wrongSignature = FileEntry("a.txt", "a");
    wrongSignature.localSignature = 0x08074b50;
    TestZipEntry wrongCrc = FileEntry("b.txt", Text(500), 8);
    wrongCrc.localCrc = 0x12345678;
    TestZipEntry wrongNameLength = FileEntry("c.txt", "c");
    wrongNameLength.localNameLength = 3;
    TestZipEntry unknownMethod = FileEntry("d.bz2", "");
    unknownMethod.method = 12;
    unknownMethod.compressedData = "BZh9";
    TestZipEntry badCrc = FileEntry("e.txt", "e");
    badCrc.crc = 1;
    seeds.emplace_back("header-faults.zip",
                       BuildTestZip({wrongSignature, wrongCrc, wrongNameLength, unknownMethod, badCrc}));

    TestZipEntry offTheEnd = FileEntry("tail.txt", "");
    offTheEnd.localExtra = ExtendedTimestampBlock(1, {1600000000});
    offTheEnd.localExtraLength = 400;
    offTheEnd.localRecordAfterEnd = true;
    TestZipEntry brokenCentral = FileEntry("hidden.txt", "h");
    brokenCentral.brokenCentralSignature = true;
    seeds.emplace_back("directory-faults.zip",
                       BuildTestZip({FileEntry("first.txt", "1"), offTheEnd, brokenCentral, FileEntry("last.txt", "l")}));

    seeds.emplace_back("names.zip", BuildTestZip({FileEntry("C:/Windows/x.dll", "d"), FileEntry("a/b/../c", "c"),
                                                  FileEntry("/abs/dir/f", "f"), FileEntry("../up.txt", "u"),
                                                  FileEntry(std::string("nul\0in.txt", 10), "n"),
                                                  FileEntry(std::string(260, 'n'), "l")}));

    TestZipOptions disagreeing;
    disagreeing.totalEntryCount = 3;
    seeds.emplace_back("counts-disagree.zip", BuildTestZip({FileEntry("a", "a"), FileEntry("b", "b")}, disagreeing));
    seeds.emplace_back("no-entries.zip", BuildTestZip({}));
    return seeds;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: archive_record_seeds DIR\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "archive_record_seeds: cannot make %s\n", argv[1]);
        return 1;
    }
    for (const auto& [name, bytes] : Seeds()) {
        std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "archive_record_seeds: cannot write %s\n", name.c_str());
            return 1;
        }
    }
    return 0;
}
