#include "report/MacAddressText.h"

std::wstring FormatMacAddress(const unsigned char* address)
{
    static const wchar_t kHexDigits[] = L"0123456789ABCDEF";
    std::wstring text;
    for (int i = 0; i < 6; ++i) {
        if (i > 0) text.push_back(L'-');
        text.push_back(kHexDigits[address[i] >> 4]);
        text.push_back(kHexDigits[address[i] & 0x0F]);
    }
    return text;
}
