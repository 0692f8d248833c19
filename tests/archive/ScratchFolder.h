#pragma once
// A fresh folder under the test process's temporary folder, removed with
// everything in it (read-only files included) when the test ends.

#include <cstdint>
#include <optional>
#include <set>
#include <string>

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder, ending in "\".
    const std::wstring& path() const { return m_path; }
    std::wstring Path(const std::wstring& relative) const { return m_path + relative; }

private:
    std::wstring m_path;
};

std::optional<std::string> ReadWholeFile(const std::wstring& path);
bool WriteWholeFile(const std::wstring& path, const std::string& data);
uint32_t AttributesOf(const std::wstring& path);  // INVALID_FILE_ATTRIBUTES when absent
bool Exists(const std::wstring& path);
// Every file and folder below folder, as relative paths with "\" ("a\b.txt"; folders end in "\").
std::set<std::wstring> ListTree(const std::wstring& folder);
uint64_t LastWriteTimeOf(const std::wstring& path);
uint64_t LastAccessTimeOf(const std::wstring& path);
void RemoveTree(const std::wstring& folder);
std::wstring Widen(const char* utf8);
