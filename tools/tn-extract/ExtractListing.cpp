#include "tools/tn-extract/ExtractListing.h"

#include <cstdio>

namespace {

void AppendCodePoint(std::string* out, uint32_t code)
{
    if (code < 0x80) {
        out->push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (code >> 6)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (code >> 12)));
        out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (code >> 18)));
        out->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

bool IsHighSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

void AppendUtf8(std::string* out, std::wstring_view text)
{
    constexpr uint32_t kReplacement = 0xFFFD;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t code = static_cast<uint32_t>(text[i]);
        if (IsHighSurrogate(code) && i + 1 < text.size() && IsLowSurrogate(static_cast<uint32_t>(text[i + 1]))) {
            code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<uint32_t>(text[i + 1]) - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(code) || IsLowSurrogate(code) || code > 0x10FFFF) {
            code = kReplacement;
        }
        AppendCodePoint(out, code);
    }
}

void AppendEntryLine(std::string* out, int index, ArchiveResult result, const ArchiveItem& record)
{
    char numbers[160];
    std::snprintf(numbers, sizeof(numbers), "%d\t0x%08X\t0x%02X\t%llu\t%llu\t%llu\t", index,
                  static_cast<unsigned>(result), static_cast<unsigned>(record.attributes),
                  static_cast<unsigned long long>(record.modificationTime),
                  static_cast<unsigned long long>(record.accessTime),
                  static_cast<unsigned long long>(record.creationTime));
    out->append(numbers);
    size_t length = 0;
    while (length < sizeof(record.name) / sizeof(record.name[0]) && record.name[length] != L'\0') ++length;
    AppendUtf8(out, std::wstring_view(record.name, length));
    out->push_back('\n');
}

void AppendEntriesLine(std::string* out, int count)
{
    out->append("entries ");
    out->append(std::to_string(count));
    out->push_back('\n');
}
