#pragma once
// Entry names with what the name rules make of them: the rules' test checks
// them, the name fuzz target starts from them.

// Each rule in turn until none applies.
struct SanitiseCase {
    const wchar_t* name;
    const wchar_t* expected;
};

inline const SanitiseCase kSanitiseCases[] = {
    {L"C:\\x\\..\\y.txt", L"y.txt"},
    {L"/abs/dir/f", L"abs/dir/f"},
    {L"a/b/../c", L"c"},
    {L"a:b", L"b"},
    {L"C:/Windows/x.dll", L"Windows/x.dll"},
    {L"C:", L""},
    {L"C:C:\\\\/x", L"x"},                        // drive, drive, separators, one at a time
    {L"\\\\server\\share\\f", L"server\\share\\f"},
    {L"a\\..\\b/../c", L"c"},                      // "\..\" is looked for first...
    {L"x/../y\\..\\z", L"z"},                      // ...wherever it is
    {L"a\\../b", L"b"},
    {L"a/..\\b", L"b"},
    {L"a/../../b", L"../b"},                       // only the first step is dropped each round
    {L"../x", L"../x"},                            // a leading step is left for the caller to refuse
    {L"..\\x", L"..\\x"},
    {L"a/..", L"a/.."},
    {L"a/..b/c", L"a/..b/c"},
    {L"a/b..\\c", L"a/b..\\c"},
    {L"css/", L"css/"},
    {L"", L""},
    {L"/", L""},
    {L"x:/../y", L"../y"},                         // the drive goes first, then the separator
};

// Steps that climb out of the target folder or reach a device are refused.
struct InsideCase {
    const wchar_t* name;
    bool inside;
};

inline const InsideCase kInsideCases[] = {
    {L"a/b/c.txt", true},    {L"css/", true},          {L"", true},             {L"a//b", true},
    {L"a/..b/c", true},      {L"a/b../c", true},       {L"..x", true},          {L"x..", true},
    {L"a.b.c", true},        {L"console.log", true},   {L"com10", true},        {L"lpt", true},
    {L"nul2.txt", true},     {L"aux_x", true},         {L"COMX", true},
    {L"..", false},          {L"../x", false},         {L"..\\x", false},       {L"a/../b", false},
    {L"a/..", false},        {L"a\\..\\", false},      {L".", false},           {L"./x", false},
    {L"...", false},         {L"a/.../b", false},      {L".. /x", false},       {L"a/. ./b", false},
    {L"CON", false},         {L"con.txt", false},      {L"a/Nul", false},       {L"a/aux.tar.gz", false},
    {L"PRN", false},         {L"COM1", false},         {L"lpt9.log", false},    {L"COM0", false},
    {L"CON .txt", false},    {L"conin$", false},       {L"CONOUT$", false},     {L"COM\u00B9", false},
};
