#pragma once
// A copy of the test program with a given "ZIP" 148 resource, loaded as the
// framework's resource module, so the worker finds that archive as the
// installer finds its own.

#include <windows.h>

#include <optional>
#include <string>

class PayloadModule {
public:
    // Without an archive the copy has no resource 148 at all.
    PayloadModule(const std::wstring& folder, const std::optional<std::string>& archive);
    ~PayloadModule();
    PayloadModule(const PayloadModule&) = delete;
    PayloadModule& operator=(const PayloadModule&) = delete;

    bool loaded() const { return m_module != nullptr; }

private:
    std::wstring m_path;
    HMODULE m_module = nullptr;
};
