// Seeds of the command-line fuzz target: the grammar's cases, the process
// command lines the runtime cuts, and the update command lines the product
// passes, each as the target reads text (tests/support/FuzzInput.h).
#include <string>

#include "tests/app/CommandLineCases.h"
#include "tests/framework/ProgramNamesCases.h"
#include "tests/support/FuzzSeeds.h"

namespace {

using tn::test::BytesFromUnits;
using tn::test::SeedFolder;

void CommandLineSeeds(SeedFolder& seeds, const std::vector<std::string>&)
{
    for (const GrammarCase& c : kGrammarCases) seeds.Add("grammar", BytesFromUnits(c.commandLine));
    for (const ArgumentsCase& c : kArgumentsCases) seeds.Add("process", BytesFromUnits(c.full));
    for (const ExecutableNameCase& c : kExecutableNameCases) seeds.Add("path", BytesFromUnits(c.path));
    // A whole process command line of each mode, the folder box's default included.
    for (const GrammarCase& c : kGrammarCases) {
        seeds.Add("whole", BytesFromUnits(std::wstring(L"\"C:\\Users\\\x5F20\\Downloads\\setup.exe\" ") + c.commandLine));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    return tn::test::RunSeedWriter(argc, argv, {{"fuzz_command_line", CommandLineSeeds}});
}
