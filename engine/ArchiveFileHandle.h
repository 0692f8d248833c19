#pragma once
// Owner of one file handle for the extractor. Closing keeps the thread's last
// error, so a failure can still be reported after the handle is gone.
// (A stand-in until the framework's shared owner types exist.)

#include <windows.h>

class ArchiveFileHandle {
public:
    ArchiveFileHandle() = default;
    explicit ArchiveFileHandle(HANDLE handle) : m_handle(handle) {}
    ~ArchiveFileHandle() { Close(); }
    ArchiveFileHandle(const ArchiveFileHandle&) = delete;
    ArchiveFileHandle& operator=(const ArchiveFileHandle&) = delete;

    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }

    void Reset(HANDLE handle)
    {
        Close();
        m_handle = handle;
    }

    // True when the handle was open and closed cleanly.
    bool Close()
    {
        if (m_handle == INVALID_HANDLE_VALUE) return false;
        const DWORD lastError = GetLastError();
        const bool closed = CloseHandle(m_handle) != FALSE;
        m_handle = INVALID_HANDLE_VALUE;
        if (closed) SetLastError(lastError);
        return closed;
    }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};
