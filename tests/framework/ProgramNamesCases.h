#pragma once
// Process command lines and program paths with what the runtime and the
// framework derive from them: their test checks them, the command-line fuzz
// target starts from them.

struct ArgumentsCase {
    const wchar_t* full;
    const wchar_t* arguments;
};

inline const ArgumentsCase kArgumentsCases[] = {
    {L"TNInstaller.exe", L""},
    {L"TNInstaller.exe    ", L""},  // only blanks: install mode
    {L"\"C:\\Down Loads\\setup.exe\" \"D:\\Apps\\Tarnivo\"", L"\"D:\\Apps\\Tarnivo\""},
    {L"\"C:\\a b\\setup.exe\"D:\\x", L"D:\\x"},  // nothing between the quote and the text
    {L"setup.exe D:\\Apps\\Tarnivo|a|b", L"D:\\Apps\\Tarnivo|a|b"},
    {L"setup.exe \t x  ", L"x  "},  // trailing blanks stay
    {L"\"unclosed quote x", L""},
};

struct ExecutableNameCase {
    const wchar_t* path;
    const wchar_t* name;
};

inline const ExecutableNameCase kExecutableNameCases[] = {
    {L"D:\\Down\\setup.beta.exe", L"setup.beta"},
    {L"C:\\x\\Tarnivo_setup", L"Tarnivo_setup"},
    {L"C:\\dotted.folder\\setup", L"setup"},
    {L"Z:/tmp/setup.exe", L"setup"},
    {L"C:\\x\\my.setup file", L"my.setup file"},
};
