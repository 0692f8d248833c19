#pragma once
// A path of at most 259 characters in a fixed buffer, as every path of the
// extractor must be: a piece that does not fit is refused whole, never cut,
// so a long name can never end up written under a shorter, different path.

#include <cstddef>
#include <string_view>

class ArchivePath {
public:
    static constexpr size_t kMaxLength = 259;

    ArchivePath() { m_text[0] = L'\0'; }

    bool Append(std::wstring_view piece);
    bool Assign(std::wstring_view text);
    void Truncate(size_t length);  // to a shorter length only
    void DropTrailingSeparators();

    const wchar_t* c_str() const { return m_text; }
    size_t size() const { return m_length; }
    bool empty() const { return m_length == 0; }
    std::wstring_view view() const { return std::wstring_view(m_text, m_length); }

private:
    wchar_t m_text[kMaxLength + 1];
    size_t m_length = 0;
};

// The base folder as the reader keeps it: "/" appended when empty or when the
// last character is neither "\" nor "/". False when that does not fit.
bool MakeBaseFolder(std::wstring_view folder, ArchivePath* base);
