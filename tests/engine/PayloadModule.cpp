#include "tests/engine/PayloadModule.h"

#include "framework/WinApp.h"

PayloadModule::PayloadModule(const std::wstring& folder, const std::optional<std::string>& archive)
    : m_path(folder + L"\\payload-module.exe")
{
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (!::CopyFileW(self, m_path.c_str(), FALSE)) return;
    if (archive) {
        HANDLE update = ::BeginUpdateResourceW(m_path.c_str(), FALSE);
        if (update == nullptr) return;
        const BOOL added = ::UpdateResourceW(update, L"ZIP", MAKEINTRESOURCEW(148), 2052,
                                             const_cast<char*>(archive->data()), static_cast<DWORD>(archive->size()));
        if (!::EndUpdateResourceW(update, !added) || !added) return;
    }
    m_module = ::LoadLibraryExW(m_path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (m_module != nullptr) AfxSetResourceHandle(m_module);
}

PayloadModule::~PayloadModule()
{
    AfxSetResourceHandle(nullptr);
    if (m_module != nullptr) ::FreeLibrary(m_module);
    ::DeleteFileW(m_path.c_str());
}
