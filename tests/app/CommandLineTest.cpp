// The command-line grammar: mode, pieces and wording by form.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {

struct GrammarCase {
    const wchar_t* commandLine;
    RunMode mode;
    const wchar_t* firstPiece;
    const wchar_t* secondPiece;
    bool installWording;
};

const GrammarCase kCases[] = {
    {L"", RunMode::Install, L"", L"", true},
    {L"\"D:\\Apps\\Tarnivo\"", RunMode::Update, L"D:\\Apps\\Tarnivo", L"", false},
    {L"D:\\Apps\\Tarnivo|a|b", RunMode::Update, L"D:\\Apps\\Tarnivo", L"a|b", true},
    {L"D:\\Apps\\Tarnivo|", RunMode::Update, L"D:\\Apps\\Tarnivo", L"", true},
    {L"\"D:\\Apps\\Tarnivo\"|x", RunMode::Update, L"\"D:\\Apps\\Tarnivo\"", L"x", true},
    // Only quotes: an empty first piece, so the folder box's text and the full path.
    {L"\"\"\"", RunMode::Update, L"", L"", false},
    {L"|", RunMode::Update, L"", L"", true},
    {L"C:\\Program Files\\Tarnivo", RunMode::Update, L"C:\\Program Files\\Tarnivo", L"", false},
    {L"x  ", RunMode::Update, L"x  ", L"", false},
};

TEST(CommandLineGrammar, GivesModePiecesAndWordingForEachForm)
{
    for (const GrammarCase& c : kCases) {
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
