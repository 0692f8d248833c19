#pragma once
// One line of text to standard output or error: as wide characters on a
// console, as UTF-8 bytes into a file or pipe.

#include <cstdio>
#include <string>

void WriteLine(FILE* stream, const std::wstring& line);
