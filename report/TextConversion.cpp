#include "report/TextConversion.h"

#include <cstdint>

std::string Utf16ToUtf8(const std::wstring& text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (wchar_t character : text) {
        const std::uint32_t unit = static_cast<std::uint32_t>(character) & 0xFFFFu;
        if (unit < 0x80) {
            bytes.push_back(static_cast<char>(unit));
        } else if (unit < 0x800) {
            bytes.push_back(static_cast<char>(0xC0 | (unit >> 6)));
            bytes.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        } else {
            bytes.push_back(static_cast<char>(0xE0 | (unit >> 12)));
            bytes.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        }
    }
    return bytes;
}

std::wstring Utf8ToUtf16(const std::string& bytes)
{
    std::wstring text;
    text.reserve(bytes.size());
    std::size_t index = 0;
    while (index < bytes.size()) {
        const std::uint32_t lead = static_cast<unsigned char>(bytes[index]);
        std::size_t length;
        std::uint32_t value;
        if (lead < 0xC0) {
            length = 1;
            value = lead;
        } else if (lead < 0xE0) {
            length = 2;
            value = lead & 0x1F;
        } else if (lead < 0xF0) {
            length = 3;
            value = lead & 0x0F;
        } else if (lead < 0xF8) {
            length = 4;
            value = lead & 0x07;
        } else if (lead < 0xFC) {
            length = 5;
            value = lead & 0x03;
        } else {
            length = 6;
            value = lead & 0x01;
        }
        if (length > bytes.size() - index) return std::wstring();
        for (std::size_t next = 1; next < length; ++next) {
            value = (value << 6) | (static_cast<unsigned char>(bytes[index + next]) & 0x3Fu);
        }
        text.push_back(static_cast<wchar_t>(value & 0xFFFFu));
        index += length;
    }
    return text;
}
