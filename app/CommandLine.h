#pragma once
// The command-line grammar: how the text after the program's name selects the
// run mode, the target folder and the wording.
// Platform-free, so it is tested natively.

#include <string>

enum class RunMode { Install, Update };

struct CommandLinePieces {
    RunMode mode = RunMode::Install;
    std::wstring firstPiece;   // the target folder; empty means "take the folder box's text"
    std::wstring secondPiece;  // the full-installation marker; only its emptiness matters
    bool hasBar = false;       // the command line holds a "|"
    bool installWording = true;
};

// Splits cmd at its first "|". Without a bar the whole text is the folder with
// every double quote removed; with one, both sides are kept exactly as written.
CommandLinePieces ParseCommandLine(const std::wstring& cmd);
