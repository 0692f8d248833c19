#pragma once
// Command lines of every form with what the grammar gives for each: the
// grammar's test checks them, the command-line fuzz target starts from them.

#include "app/CommandLine.h"

struct GrammarCase {
    const wchar_t* commandLine;
    RunMode mode;
    const wchar_t* firstPiece;
    const wchar_t* secondPiece;
    bool installWording;
};

inline const GrammarCase kGrammarCases[] = {
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
