#include "app/SubChannel.h"

std::wstring g_strSubChannel;
