#pragma once
// How a network adapter's address is written in the reports. Platform-free.

#include <string>

// The first six bytes of address as "%02X-%02X-%02X-%02X-%02X-%02X".
std::wstring FormatMacAddress(const unsigned char* address);
