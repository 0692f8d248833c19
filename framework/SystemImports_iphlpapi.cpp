// iphlpapi: the adapter list the MAC address is read from.
#include "framework/SystemImports.h"

#include <iphlpapi.h>

extern "C" {
TN_SYSTEM_IMPORT(L"iphlpapi.dll", ERROR_NOT_SUPPORTED, ULONG, GetAdaptersInfo,
                 (PIP_ADAPTER_INFO adapters, PULONG size), (adapters, size))
}
