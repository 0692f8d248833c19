// Any command line, of any length or content: the pieces are cut from it as
// the grammar says, and the runtime's arguments and the executable name are
// parts of it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/CommandLine.h"
#include "framework/ProgramNames.h"
#include "tests/support/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::wstring text = tn::test::UnitsFromBytes(data, size);

    const CommandLinePieces pieces = ParseCommandLine(text);
    if (pieces.hasBar != (text.find(L'|') != std::wstring::npos)) __builtin_trap();
    if ((pieces.mode == RunMode::Install) != text.empty()) __builtin_trap();
    if (pieces.installWording != (text.empty() || pieces.hasBar)) __builtin_trap();
    if (pieces.hasBar) {
        // Cut at the first bar, nothing lost or changed on either side.
        if (pieces.firstPiece.find(L'|') != std::wstring::npos) __builtin_trap();
        if (pieces.firstPiece + L"|" + pieces.secondPiece != text) __builtin_trap();
    } else {
        // The whole text less its quotes, in order.
        if (!pieces.secondPiece.empty() || pieces.firstPiece.find(L'"') != std::wstring::npos) __builtin_trap();
        std::wstring::size_type at = 0;
        for (wchar_t c : pieces.firstPiece) {
            while (at < text.size() && text[at] == L'"') ++at;
            if (at == text.size() || text[at++] != c) __builtin_trap();
        }
        while (at < text.size() && text[at] == L'"') ++at;
        if (at != text.size()) __builtin_trap();
    }

    // What the runtime hands on is the text's tail, starting past the blanks.
    const std::wstring arguments = ArgumentsAfterProgramName(text);
    if (arguments.size() > text.size() || text.compare(text.size() - arguments.size(), arguments.size(), arguments) != 0)
        __builtin_trap();
    if (!arguments.empty() && arguments[0] <= L' ') __builtin_trap();

    // The name is the file name's start; what was cut is one extension: a
    // "." with no further "." and no blank after it.
    const std::wstring name = ExecutableNameFromPath(text);
    const std::wstring::size_type folderEnd = text.find_last_of(L"\\/:");
    const std::wstring fileName = folderEnd == std::wstring::npos ? text : text.substr(folderEnd + 1);
    if (fileName.compare(0, name.size(), name) != 0) __builtin_trap();
    const std::wstring cut = fileName.substr(name.size());
    if (!cut.empty() && (cut[0] != L'.' || cut.find_first_of(L". ", 1) != std::wstring::npos)) __builtin_trap();
    if (cut.empty()) {
        // No extension: every "." of the name has a blank after it.
        const std::wstring::size_type lastDot = name.rfind(L'.');
        if (lastDot != std::wstring::npos && name.find(L' ', lastDot) == std::wstring::npos) __builtin_trap();
    }
    return 0;
}
