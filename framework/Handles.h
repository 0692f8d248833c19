#pragma once
// Owners for the system's handles. Each releases in its destructor and keeps
// the thread's last error, so a failure being reported survives the cleanup.

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace tn {

class PreserveLastError {
public:
    PreserveLastError() : m_error(::GetLastError()) {}
    ~PreserveLastError() { ::SetLastError(m_error); }
    PreserveLastError(const PreserveLastError&) = delete;
    PreserveLastError& operator=(const PreserveLastError&) = delete;

private:
    DWORD m_error;
};

// Traits give the null value and the release call of one handle kind.
template <typename Traits>
class UniqueResource {
public:
    using Handle = typename Traits::Handle;

    UniqueResource() = default;
    explicit UniqueResource(Handle handle) : m_handle(handle) {}
    ~UniqueResource() { reset(); }
    UniqueResource(UniqueResource&& other) noexcept : m_handle(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    Handle get() const { return m_handle; }
    bool valid() const { return m_handle != Traits::Null(); }
    explicit operator bool() const { return valid(); }
    Handle release() { return std::exchange(m_handle, Traits::Null()); }
    void reset(Handle handle = Traits::Null())
    {
        if (m_handle != Traits::Null()) {
            PreserveLastError keep;
            Traits::Release(m_handle);
        }
        m_handle = handle;
    }
    // For calls that fill a handle through a pointer.
    Handle* put()
    {
        reset();
        return &m_handle;
    }

private:
    Handle m_handle = Traits::Null();
};

// Memory DCs from CreateCompatibleDC.
struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Null() { return nullptr; }
    static void Release(Handle handle) { ::DeleteDC(handle); }
};
using UniqueMemoryDc = UniqueResource<MemoryDcTraits>;

struct GlobalMemoryTraits {
    using Handle = HGLOBAL;
    static Handle Null() { return nullptr; }
    static void Release(Handle handle) { ::GlobalFree(handle); }
};
using UniqueGlobal = UniqueResource<GlobalMemoryTraits>;

// Selects an object into a DC for one scope and puts the previous one back,
// so the object can be deleted afterwards.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    ~SelectedObject()
    {
        if (m_previous != nullptr && m_previous != HGDI_ERROR) ::SelectObject(m_dc, m_previous);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Null() { return nullptr; }
    static void Release(Handle handle) { ::CloseHandle(handle); }
};

// CreateFileW and the snapshot functions fail with INVALID_HANDLE_VALUE.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Null() { return INVALID_HANDLE_VALUE; }
    static void Release(Handle handle) { ::CloseHandle(handle); }
};

struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle Null() { return nullptr; }
    static void Release(Handle handle) { ::RegCloseKey(handle); }
};

struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Null() { return nullptr; }
    static void Release(Handle handle) { ::FreeLibrary(handle); }
};

struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Null() { return nullptr; }
    static void Release(Handle handle) { ::DeleteObject(handle); }
};

// Memory the shell hands out through the COM allocator (item lists).
struct CoTaskMemTraits {
    using Handle = void*;
    static Handle Null() { return nullptr; }
    static void Release(Handle memory) { ::CoTaskMemFree(memory); }
};

// An update begun with BeginUpdateResourceW; the owner discards it, so only
// an update that release() hands to EndUpdateResourceW(..., FALSE) is written.
struct ResourceUpdateTraits {
    using Handle = HANDLE;
    static Handle Null() { return nullptr; }
    static void Release(Handle handle) { ::EndUpdateResourceW(handle, TRUE); }
};

// Memory the system hands out through LocalAlloc (security descriptors made
// from their text).
struct LocalMemoryTraits {
    using Handle = void*;
    static Handle Null() { return nullptr; }
    static void Release(Handle memory) { ::LocalFree(memory); }
};

struct MappedViewTraits {
    using Handle = void*;
    static Handle Null() { return nullptr; }
    static void Release(Handle view) { ::UnmapViewOfFile(view); }
};

using UniqueHandle = UniqueResource<KernelHandleTraits>;
using UniqueFile = UniqueResource<FileHandleTraits>;
using UniqueHKey = UniqueResource<RegistryKeyTraits>;
using UniqueModule = UniqueResource<ModuleTraits>;
using UniqueGdiObject = UniqueResource<GdiObjectTraits>;
using UniqueCoTaskMem = UniqueResource<CoTaskMemTraits>;
using UniqueLocalMemory = UniqueResource<LocalMemoryTraits>;

// COM on the calling thread for the life of the object; uninitialised only
// when this object's initialisation counted.
class ScopedComInitialization {
public:
    ScopedComInitialization() : m_initialised(SUCCEEDED(::CoInitialize(nullptr))) {}
    ~ScopedComInitialization()
    {
        if (m_initialised) {
            PreserveLastError keep;
            ::CoUninitialize();
        }
    }
    ScopedComInitialization(const ScopedComInitialization&) = delete;
    ScopedComInitialization& operator=(const ScopedComInitialization&) = delete;

private:
    bool m_initialised;
};
using UniqueResourceUpdate = UniqueResource<ResourceUpdateTraits>;
using UniqueMappedView = UniqueResource<MappedViewTraits>;

// A window's device context, from GetDC to ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
    ~WindowDc()
    {
        if (m_dc != nullptr) {
            PreserveLastError keep;
            ::ReleaseDC(m_window, m_dc);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HWND m_window;
    HDC m_dc;
};

// Painting a window, from BeginPaint to EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND window) : m_window(window), m_dc(::BeginPaint(window, &m_paint)) {}
    ~PaintDc() { ::EndPaint(m_window, &m_paint); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    HDC get() const { return m_dc; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint = {};
    HDC m_dc;
};

// A global memory block locked for as long as this lives, or until Unlock.
class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL block) : m_block(block), m_pointer(::GlobalLock(block)) {}
    ~GlobalLockScope() { Unlock(); }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;

    void* get() const { return m_pointer; }
    void Unlock()
    {
        if (m_pointer != nullptr) {
            PreserveLastError keep;
            ::GlobalUnlock(m_block);
            m_pointer = nullptr;
        }
    }

private:
    HGLOBAL m_block;
    void* m_pointer;
};

}  // namespace tn
