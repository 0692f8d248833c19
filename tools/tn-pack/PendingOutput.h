#pragma once
// The output program while it is made: a temporary file beside OUTPUT that
// is renamed into place only once complete. Until then OUTPUT is never
// touched, and a failure (or an early end) removes the temporary file.

#include "tools/tn-pack/PackOutcome.h"

#include <string>

class CPendingOutput {
public:
    CPendingOutput() = default;
    ~CPendingOutput();
    CPendingOutput(const CPendingOutput&) = delete;
    CPendingOutput& operator=(const CPendingOutput&) = delete;

    // Refused when output names a folder, a read-only file, or a place in a
    // folder that does not exist.
    static PackOutcome CheckPlace(const std::wstring& output);

    // The temporary file: a writable copy of stub.
    PackOutcome Begin(const std::wstring& output, const std::wstring& stub);
    const std::wstring& path() const { return m_temporary; }

    // Written through to the disk, then renamed over OUTPUT.
    PackOutcome Commit();

private:
    std::wstring m_output;
    std::wstring m_temporary;
};
