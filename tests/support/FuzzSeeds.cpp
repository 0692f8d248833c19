#include "tests/support/FuzzSeeds.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace tn::test {

void SeedFolder::Add(const std::string& label, const std::string& bytes)
{
    char number[16];
    std::snprintf(number, sizeof(number), "%04zu-", m_count++);
    std::string name = number;
    for (const char c : label) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
        name.push_back(plain ? c : '_');
    }
    std::ofstream file(std::filesystem::path(m_folder) / name.substr(0, 80), std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write seed " + name);
}

int RunSeedWriter(int argc, char** argv, const std::map<std::string, SeedMaker>& makers)
{
    if (argc < 3 || makers.count(argv[1]) == 0) {
        std::fprintf(stderr, "usage: %s FUZZER FOLDER [ARGUMENTS...]\nfuzzers:", argv[0]);
        for (const auto& maker : makers) std::fprintf(stderr, " %s", maker.first.c_str());
        std::fprintf(stderr, "\n");
        return 2;
    }
    try {
        // Seeds of an earlier build that the fixtures no longer make go.
        std::filesystem::remove_all(argv[2]);
        std::filesystem::create_directories(argv[2]);
        SeedFolder seeds(argv[2]);
        makers.at(argv[1])(seeds, std::vector<std::string>(argv + 3, argv + argc));
        if (seeds.Count() == 0) {
            std::fprintf(stderr, "%s: no seeds for %s\n", argv[0], argv[1]);
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
    return 0;
}

}  // namespace tn::test
