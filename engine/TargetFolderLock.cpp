#include "engine/TargetFolderLock.h"

#include <windows.h>

#include <vector>

#include "engine/TargetLockName.h"

namespace {

// Folded by the system, as it compares paths.
std::wstring CaseFolded(const std::wstring& folder)
{
    std::vector<wchar_t> text(folder.begin(), folder.end());
    if (!text.empty()) ::CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return std::wstring(text.begin(), text.end());
}

}  // namespace

TargetFolderLock::TargetFolderLock(const std::wstring& folder)
    : m_mutex(::CreateMutexW(nullptr, FALSE, TargetLockName(CaseFolded(folder)).c_str()))
{
    if (!m_mutex) return;  // no lock to be had: go on as before there was one
    DWORD waited = ::WaitForSingleObject(m_mutex.get(), 0);
    if (waited == WAIT_TIMEOUT) {
        m_waited = true;
        waited = ::WaitForSingleObject(m_mutex.get(), INFINITE);
    }
    m_owned = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

TargetFolderLock::~TargetFolderLock()
{
    Release();
}

void TargetFolderLock::Release()
{
    if (m_owned) ::ReleaseMutex(m_mutex.get());
    m_owned = false;
    m_mutex.reset();
}
