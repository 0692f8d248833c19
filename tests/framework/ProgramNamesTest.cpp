// The program's command line and name as the runtime and framework derive them.
#include "framework/ProgramNames.h"

#include <gtest/gtest.h>

#include "tests/framework/ProgramNamesCases.h"

namespace {

TEST(ProgramNames, ArgumentsStartAfterTheNameAndItsBlanks)
{
    for (const ArgumentsCase& c : kArgumentsCases) EXPECT_EQ(ArgumentsAfterProgramName(c.full), c.arguments);
}

TEST(ProgramNames, ExecutableNameDropsFolderAndLastExtension)
{
    for (const ExecutableNameCase& c : kExecutableNameCases) EXPECT_EQ(ExecutableNameFromPath(c.path), c.name);
}

}  // namespace
