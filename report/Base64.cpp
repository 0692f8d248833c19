#include "report/Base64.h"

std::string Base64Encode(const unsigned char* data, std::size_t size)
{
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((size + 2) / 3 * 4);
    for (std::size_t i = 0; i < size; i += 3) {
        const std::size_t left = size - i;
        const unsigned long group = (static_cast<unsigned long>(data[i]) << 16) |
                                    (left > 1 ? static_cast<unsigned long>(data[i + 1]) << 8 : 0) |
                                    (left > 2 ? static_cast<unsigned long>(data[i + 2]) : 0);
        text.push_back(kAlphabet[(group >> 18) & 0x3F]);
        text.push_back(kAlphabet[(group >> 12) & 0x3F]);
        text.push_back(left > 1 ? kAlphabet[(group >> 6) & 0x3F] : '=');
        text.push_back(left > 2 ? kAlphabet[group & 0x3F] : '=');
    }
    return text;
}
