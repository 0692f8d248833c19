// Any command line, of any length or content, gives the grammar's result.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/CommandLine.h"
#include "framework/ProgramNames.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::wstring text;
    for (size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));

    const CommandLinePieces pieces = ParseCommandLine(text);
    // The two pieces are cut from the text: together never longer than it.
    if (pieces.firstPiece.size() + pieces.secondPiece.size() > text.size()) __builtin_trap();
    if (pieces.hasBar != (text.find(L'|') != std::wstring::npos)) __builtin_trap();
    if (pieces.mode == RunMode::Install && !text.empty()) __builtin_trap();

    const std::wstring arguments = ArgumentsAfterProgramName(text);
    if (arguments.size() > text.size()) __builtin_trap();
    (void)ExecutableNameFromPath(text);
    return 0;
}
