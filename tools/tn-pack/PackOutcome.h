#pragma once
// How a step of tn-pack ended: done, failed on the way (a read or write
// error, no memory), or refused because the input cannot become an
// installer. The message is one line, without the program's name.

#include <string>
#include <utility>

enum class PackExit : int {
    Packed = 0,
    Failed = 1,
    Refused = 2,
};

struct PackOutcome {
    PackExit exit = PackExit::Packed;
    std::wstring message;

    static PackOutcome Done() { return PackOutcome(); }
    static PackOutcome Fail(std::wstring text) { return PackOutcome{PackExit::Failed, std::move(text)}; }
    static PackOutcome Refuse(std::wstring text) { return PackOutcome{PackExit::Refused, std::move(text)}; }
    bool ok() const { return exit == PackExit::Packed; }
};
