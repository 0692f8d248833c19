#include "report/MacAddress.h"

#include "report/MacAddressFromAdapters.h"
#include "report/MacAddressText.h"

std::wstring MacAddressFromAdapterList(AdapterListQuery query)
{
    // Five records of the system's 648-byte 32-bit layout; a machine with more
    // adapters reports no address. MinGW's i686 header counts time_t as 32 bits,
    // so sizeof(IP_ADAPTER_INFO) there says 640: the size is spelled out.
    constexpr ULONG kAdapterBufferSize = 3240;
    alignas(IP_ADAPTER_INFO) unsigned char buffer[kAdapterBufferSize];
    ULONG size = kAdapterBufferSize;
    IP_ADAPTER_INFO* adapters = reinterpret_cast<IP_ADAPTER_INFO*>(buffer);
    if (query(adapters, &size) != ERROR_SUCCESS) return std::wstring();
    // The first record as the system lists it; its AddressLength is not consulted.
    return FormatMacAddress(adapters->Address);
}

std::wstring GetMacAddress()
{
    return MacAddressFromAdapterList(&GetAdaptersInfo);
}
