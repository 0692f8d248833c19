#pragma once
// The MAC address read through a given adapter-list call: the program passes
// GetAdaptersInfo, tests pass fixed adapter records.

#include <winsock2.h>
#include <iphlpapi.h>

#include <string>

using AdapterListQuery = ULONG(WINAPI*)(PIP_ADAPTER_INFO adapters, PULONG size);

// One call with a 3,240-byte buffer; empty text unless it succeeds, else the
// first record's address as "00-1A-2B-3C-4D-5E".
std::wstring MacAddressFromAdapterList(AdapterListQuery query);
