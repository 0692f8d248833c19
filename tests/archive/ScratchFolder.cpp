#include "tests/archive/ScratchFolder.h"

#include <windows.h>

#include <atomic>

namespace {

std::atomic<unsigned> g_scratchNumber{0};

uint64_t Join(const FILETIME& time)
{
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

bool ReadFileData(const std::wstring& path, WIN32_FILE_ATTRIBUTE_DATA* data)
{
    return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, data) != FALSE;
}

void ListInto(const std::wstring& root, const std::wstring& relative, std::set<std::wstring>* out)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((root + relative + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            out->insert(relative + name + L"\\");
            ListInto(root, relative + name + L"\\", out);
        } else {
            out->insert(relative + name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace

ScratchFolder::ScratchFolder()
{
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    m_path.assign(temp, length);
    if (!m_path.empty() && m_path.back() != L'\\') m_path += L'\\';
    m_path += L"tn-archive-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(g_scratchNumber++) + L"\\";
    RemoveTree(m_path);
    CreateDirectoryW(m_path.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(m_path); }

void RemoveTree(const std::wstring& folder)
{
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\') base += L'\\';
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((base + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = base + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) RemoveTree(path);
            else DeleteFileW(path.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(base.c_str());
}

std::optional<std::string> ReadWholeFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string data;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) data.append(buffer, got);
    CloseHandle(file);
    return data;
}

bool WriteWholeFile(const std::wstring& path, const std::string& data)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
                    written == data.size();
    CloseHandle(file);
    return ok;
}

uint32_t AttributesOf(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::set<std::wstring> ListTree(const std::wstring& folder)
{
    std::set<std::wstring> out;
    std::wstring root = folder;
    if (!root.empty() && root.back() != L'\\') root += L'\\';
    ListInto(root, L"", &out);
    return out;
}

uint64_t LastWriteTimeOf(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    return ReadFileData(path, &data) ? Join(data.ftLastWriteTime) : 0;
}

uint64_t LastAccessTimeOf(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    return ReadFileData(path, &data) ? Join(data.ftLastAccessTime) : 0;
}

std::wstring Widen(const char* utf8)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(length > 0 ? length - 1 : 0), L'\0');
    if (length > 1) MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &out[0], length);
    return out;
}
