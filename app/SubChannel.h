#pragma once
#include <string>

// The installer's own executable file name without folder and extension, set
// once at start-up; sent as sub_channel and stored as SUBCHANNEL.
extern std::wstring g_strSubChannel;
