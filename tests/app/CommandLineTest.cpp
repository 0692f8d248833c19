// The command-line grammar: mode, pieces and wording by form.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include "tests/app/CommandLineCases.h"

namespace {

TEST(CommandLineGrammar, GivesModePiecesAndWordingForEachForm)
{
    for (const GrammarCase& c : kGrammarCases) {
        SCOPED_TRACE(testing::Message() << "command line of " << wcslen(c.commandLine) << " units");
        const CommandLinePieces pieces = ParseCommandLine(c.commandLine);
        EXPECT_EQ(pieces.mode, c.mode);
        EXPECT_EQ(pieces.firstPiece, c.firstPiece);
        EXPECT_EQ(pieces.secondPiece, c.secondPiece);
        EXPECT_EQ(pieces.installWording, c.installWording);
    }
}

TEST(CommandLineGrammar, HandlesLongTextsWithManyBars)
{
    std::wstring commandLine(100000, L'|');
    commandLine.insert(0, L"\"E:\\t\"");
    const CommandLinePieces pieces = ParseCommandLine(commandLine);
    EXPECT_EQ(pieces.firstPiece, L"\"E:\\t\"");
    EXPECT_EQ(pieces.secondPiece.size(), 99999u);
}

}  // namespace
