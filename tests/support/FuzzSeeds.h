#pragma once
// Seed writers for the fuzz targets: each test folder's writer builds its
// targets' first inputs with the tests' own fixtures, so a long run starts
// from the shapes the tests know instead of from nothing.
//
//   <writer> FUZZER FOLDER [ARGUMENTS...]
//
// empties FOLDER and writes the seeds of FUZZER into it. Native tree only.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/support/FuzzInput.h"

namespace tn::test {

class SeedFolder {
public:
    explicit SeedFolder(std::string folder) : m_folder(std::move(folder)) {}

    // One seed file; the label names it, the running number keeps names apart.
    void Add(const std::string& label, const std::string& bytes);
    void Add(const std::string& label, const std::vector<uint8_t>& bytes)
    {
        Add(label, std::string(bytes.begin(), bytes.end()));
    }
    size_t Count() const { return m_count; }

private:
    std::string m_folder;
    size_t m_count = 0;
};

using SeedMaker = void (*)(SeedFolder& seeds, const std::vector<std::string>& arguments);

// The writer's main: runs the maker named by the fuzzer's target name.
int RunSeedWriter(int argc, char** argv, const std::map<std::string, SeedMaker>& makers);

}  // namespace tn::test
