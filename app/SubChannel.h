#pragma once
#include <string>

// The installer's own executable file name without folder and extension, set
// once at start-up; sent as sub_channel and stored as SUBCHANNEL.
extern std::wstring g_strSubChannel;

// The file name of modulePath without its folder and without its last
// extension ("D:\Down\setup.beta.exe" gives "setup.beta").
std::wstring ExecutableNameFromPath(const std::wstring& modulePath);
