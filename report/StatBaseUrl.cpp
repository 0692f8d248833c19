#include "report/StatBaseUrl.h"

#ifndef TN_STAT_BASE_URL
#error "TN_STAT_BASE_URL is set by report/CMakeLists.txt"
#endif

const wchar_t* StatBaseUrl()
{
    return L"" TN_STAT_BASE_URL;
}
