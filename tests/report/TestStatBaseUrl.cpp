// The test program's base address: the receiver that run_stat_client_test.py
// started for this run, named in TN_TEST_STAT_BASE_URL. Linked in place of
// report/StatBaseUrl.cpp, which holds the build setting.

#include <cstdlib>
#include <string>

#include "report/StatBaseUrl.h"

const wchar_t* StatBaseUrl()
{
    static const std::wstring baseUrl = [] {
        const wchar_t* value = _wgetenv(L"TN_TEST_STAT_BASE_URL");
        return std::wstring(value != nullptr ? value : L"");
    }();
    return baseUrl.c_str();
}
