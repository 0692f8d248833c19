#include "report/PercentEncoding.h"

#include "report/TextConversion.h"

namespace {

bool IsAsciiLetterOrDigit(unsigned value)
{
    return (value >= '0' && value <= '9') || (value >= 'A' && value <= 'Z') || (value >= 'a' && value <= 'z');
}

void AppendEscape(std::string& text, unsigned char byte)
{
    static const char kHexDigits[] = "0123456789ABCDEF";
    text.push_back('%');
    text.push_back(kHexDigits[byte >> 4]);
    text.push_back(kHexDigits[byte & 0x0F]);
}

}  // namespace

std::string UrlEncode(const std::string& bytes)
{
    std::string text;
    text.reserve(bytes.size() * 3);
    for (char character : bytes) {
        const unsigned char byte = static_cast<unsigned char>(character);
        if (IsAsciiLetterOrDigit(byte) || byte == '.' || byte == '_' || byte == '-') {
            text.push_back(character);
        } else {
            AppendEscape(text, byte);
        }
    }
    return text;
}

std::string EncodeSignValue(const std::string& bytes)
{
    std::string text;
    text.reserve(bytes.size() * 3);
    for (wchar_t character : Utf8ToUtf16(bytes)) {
        const unsigned unit = static_cast<unsigned>(character) & 0xFFFFu;
        if (IsAsciiLetterOrDigit(unit) || unit == '!' || unit == '*' || unit == '(' || unit == ')') {
            text.push_back(static_cast<char>(unit));
        } else if (unit < 0x80) {
            AppendEscape(text, static_cast<unsigned char>(unit));
        } else {
            // Agreed with the service: the unit's UTF-8 bytes, each escaped.
            for (char byte : Utf16ToUtf8(std::wstring(1, static_cast<wchar_t>(unit)))) {
                AppendEscape(text, static_cast<unsigned char>(byte));
            }
        }
    }
    return text;
}
