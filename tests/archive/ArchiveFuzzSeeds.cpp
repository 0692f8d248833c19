// Seeds of the archive core's fuzz targets: the names of the name rules'
// test cases (tests/archive/ArchiveNameCases.h) in the name target's input
// form, and DOS times with extra fields built by the test ZIP writer's block
// builders, in the times target's form (the DOS time's four bytes, low byte
// first, then the field).
#include <cstdint>
#include <string>
#include <vector>

#include "tests/archive/ArchiveNameCases.h"
#include "tests/archive/ArchiveNamesFuzzInput.h"
#include "tests/archive/TestZip.h"
#include "tests/support/FuzzSeeds.h"

namespace {

using tn::test::SeedFolder;

void NameSeeds(SeedFolder& seeds, const std::vector<std::string>&)
{
    for (const SanitiseCase& c : kSanitiseCases) seeds.Add("sanitise", tn::test::BytesFromItemName(c.name));
    for (const InsideCase& c : kInsideCases) seeds.Add("inside", tn::test::BytesFromItemName(c.name));
    // Folder entries marked by their last character, of either kind, and
    // names shaped like the product's (a CJK file in an ASCII folder).
    for (const wchar_t* name : {L"html/ggkszd/", L"locales\\zh-CN\\", L"html/ggkszd/index.html", L"res/\x8BF4\x660E.txt"}) {
        seeds.Add("product", tn::test::BytesFromItemName(name));
    }
}

std::string TimesInput(uint32_t dosDateTime, const std::string& extra)
{
    std::string bytes;
    for (int at = 0; at < 4; ++at) bytes.push_back(static_cast<char>(dosDateTime >> (8 * at)));
    return bytes + extra;
}

void TimesSeeds(SeedFolder& seeds, const std::vector<std::string>&)
{
    const uint32_t dos = DosDateTime(2021, 5, 4, 11, 17, 26);
    const uint64_t fileTime = 132646006460000000ull;
    const std::string ut = ExtendedTimestampBlock(7, {1600000000, 1500000000, -1});
    const std::string cases[] = {
        "",
        ExtendedTimestampBlock(1, {1600000000}),
        ut,
        ExtendedTimestampBlock(2, {1500000000}),
        ExtendedTimestampBlock(4, {-1}),
        ExtendedTimestampBlock(7, {}),
        ExtendedTimestampBlock(7, {1600000000, 1500000000}),
        ExtendedTimestampBlock(0xF9, {INT32_MIN}),
        ExtraBlock(0x5455, ""),
        ExtendedTimestampBlock(0, {}) + ExtendedTimestampBlock(1, {1500000000}),
        NtfsTimesBlock(fileTime, fileTime + 1, fileTime + 2),
        NtfsTimesBlock(fileTime, fileTime, fileTime) + ut,
        ExtraBlock(0x7875, std::string("\x01\x04\xE8\x03\x00\x00\x04\xE8\x03\x00\x00", 11)) + ut,
        ut.substr(0, ut.size() - 1),                          // the block runs past the field
        ExtraBlock(0x000A, "").substr(0, 2) + "\xFF\xFF" + ut,  // a skipped block runs away
    };
    for (const std::string& extra : cases) seeds.Add("extra", TimesInput(dos, extra));
    for (const uint32_t other : {0u, 0xFFFFFFFFu, DosDateTime(2020, 2, 29, 0, 0, 0), DosDateTime(2021, 2, 29, 0, 0, 0),
                                 DosDateTime(1980, 1, 1, 0, 0, 0), DosDateTime(2107, 12, 31, 23, 59, 58)}) {
        seeds.Add("dos", TimesInput(other, ut));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    return tn::test::RunSeedWriter(argc, argv,
                                   {{"archive_names_fuzzer", NameSeeds}, {"archive_times_fuzzer", TimesSeeds}});
}
