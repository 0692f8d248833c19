#pragma once
// Whether a worker may still use the window that asked for an installation.
// The window takes the lease before it posts its request; the worker gives it
// back just before its quit message. A window whose modal loop ends while the
// lease is out ends the process before its object goes away, so the worker
// never reaches a destroyed window object.

#include <atomic>

class WindowLease {
public:
    static void Take() { s_held.store(true); }
    static void Release() { s_held.store(false); }
    static bool Held() { return s_held.load(); }

private:
    static inline std::atomic<bool> s_held{false};
};
