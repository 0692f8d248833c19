#pragma once
// How the runtime and the framework derive the program's command line and
// name. Platform-free, so they are tested natively.

#include <string>

// The text the runtime hands a program after its own name: the name (quoted up
// to its closing quote, else up to the first blank) and every following
// character up to code 32 are skipped; trailing blanks stay.
std::wstring ArgumentsAfterProgramName(const std::wstring& fullCommandLine);

// The file name of modulePath without its folder and without its last
// extension ("D:\\Down\\setup.beta.exe" gives "setup.beta").
std::wstring ExecutableNameFromPath(const std::wstring& modulePath);
