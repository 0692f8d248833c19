#pragma once
// Ending every running copy of the product before anything is written, and
// starting a second, elevated installer the first time one is met. The walk
// and its decisions are platform-free; ProcessSystem is the system's side,
// the real process list in the program and a made-up one in tests.

#include <cstdint>
#include <string>

struct ProcessEntry {
    std::wstring exeFile;  // a bare file name, no folder
    uint32_t processId = 0;
};

class ProcessSystem {
public:
    virtual ~ProcessSystem() = default;
    // The first and each further entry of the process list; false when none is left.
    virtual bool FirstProcess(ProcessEntry* entry) = 0;
    virtual bool NextProcess(ProcessEntry* entry) = 0;
    // Whether name is the product's program name, ignoring case as the system does.
    virtual bool IsProductName(const std::wstring& name) = 0;
    // The installer's own full path; empty when it does not fit the buffer.
    virtual std::wstring ModulePath() = 0;
    // Whether two paths name the same file by their text, ignoring case as
    // the file system does.
    virtual bool NamesSameFile(const std::wstring& first, const std::wstring& second) = 0;
    // Starts path elevated with parameters; whether it started is not known.
    virtual void Relaunch(const std::wstring& path, const std::wstring& parameters) = 0;
    // Ends the process; a process that cannot be opened or ended is passed over.
    virtual void EndProcess(uint32_t processId) = 0;
    virtual void Wait(uint32_t milliseconds) = 0;
};

// How long the files of ended copies take to come free.
constexpr uint32_t kProductShutdownWaitMs = 2000;

// The installer's folder (its path cut back to the last "\", which stays),
// then exeName and ".exe".
std::wstring RelaunchPath(const std::wstring& modulePath, const std::wstring& exeName);

// Walks the process list and ends every process named like the product. At
// the first match, and only when commandLine holds no "|", the installer is
// relaunched with commandLine before that process is ended, provided the
// path rebuilt from its name names the running installer itself: an
// installer whose file lacks ".exe" would otherwise start, elevated and
// without a prompt, whatever file of that name lies beside it. Waits once
// when anything matched. Returns the number of matches.
int EndRunningProduct(ProcessSystem& system, const std::wstring& commandLine, const std::wstring& exeName);

// The same walk, ending and waiting, without ever relaunching.
int EndRunningCopies(ProcessSystem& system);
