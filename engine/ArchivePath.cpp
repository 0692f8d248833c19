#include "engine/ArchivePath.h"

#include "engine/ArchiveNames.h"

bool ArchivePath::Append(std::wstring_view piece)
{
    if (piece.size() > kMaxLength - m_length) return false;
    piece.copy(m_text + m_length, piece.size());
    m_length += piece.size();
    m_text[m_length] = L'\0';
    return true;
}

bool ArchivePath::Assign(std::wstring_view text)
{
    Truncate(0);
    return Append(text);
}

void ArchivePath::Truncate(size_t length)
{
    if (length < m_length) {
        m_length = length;
        m_text[m_length] = L'\0';
    }
}

void ArchivePath::DropTrailingSeparators()
{
    size_t length = m_length;
    while (length > 0 && IsNameSeparator(m_text[length - 1])) --length;
    Truncate(length);
}

bool MakeBaseFolder(std::wstring_view folder, ArchivePath* base)
{
    ArchivePath made;
    if (!made.Assign(folder)) return false;
    if (folder.empty() || !IsNameSeparator(folder.back())) {
        if (!made.Append(L"/")) return false;
    }
    *base = made;
    return true;
}
