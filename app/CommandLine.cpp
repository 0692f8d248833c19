#include "app/CommandLine.h"

CommandLinePieces ParseCommandLine(const std::wstring& cmd)
{
    CommandLinePieces pieces;
    pieces.mode = cmd.empty() ? RunMode::Install : RunMode::Update;

    const std::wstring::size_type bar = cmd.find(L'|');
    pieces.hasBar = bar != std::wstring::npos;
    if (pieces.hasBar) {
        pieces.firstPiece = cmd.substr(0, bar);
        pieces.secondPiece = cmd.substr(bar + 1);
    } else {
        pieces.firstPiece.reserve(cmd.size());
        for (wchar_t c : cmd) {
            if (c != L'"') pieces.firstPiece.push_back(c);
        }
    }

    pieces.installWording = cmd.empty() || pieces.hasBar;
    return pieces;
}
