#include "engine/ArchiveTimes_win.h"

#include <windows.h>

bool LocalCivilTimeToUtc(const CivilTime& local, uint64_t* utcFileTime)
{
    if (local.year < 0 || local.year > 0xFFFF) return false;
    SYSTEMTIME system{};
    system.wYear = static_cast<WORD>(local.year);
    system.wMonth = static_cast<WORD>(local.month);
    system.wDay = static_cast<WORD>(local.day);
    system.wHour = static_cast<WORD>(local.hour);
    system.wMinute = static_cast<WORD>(local.minute);
    system.wSecond = static_cast<WORD>(local.second);
    FILETIME localTime, utcTime;
    if (!SystemTimeToFileTime(&system, &localTime) || !LocalFileTimeToFileTime(&localTime, &utcTime)) return false;
    *utcFileTime = (static_cast<uint64_t>(utcTime.dwHighDateTime) << 32) | utcTime.dwLowDateTime;
    return true;
}
