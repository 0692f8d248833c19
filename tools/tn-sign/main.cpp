// tn-sign: prints the signed form body the installer would POST, so the
// service side can check its own rebuilding of the signature against ours.
//
//   tn-sign [--time-stamp N] [--method M] [--verbose] PATH PARAMS
//
// PATH is the service path without a leading "/" (v1/userop/add), PARAMS the
// caller's name=value pairs joined by "&", unescaped. Without --time-stamp
// the current time is used. --verbose also prints the normalized string and
// the string-to-sign.

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "report/RequestSigning.h"
#include "report/StatCredentials.h"
#include "report/TextConversion.h"

namespace {

int Usage()
{
    std::fputs("usage: tn-sign [--time-stamp N] [--method M] [--verbose] PATH PARAMS\n", stderr);
    return 2;
}

bool ParseTimeStamp(const std::wstring& text, std::int32_t& timeStamp)
{
    if (text.empty()) return false;
    long long value = 0;
    std::size_t index = text[0] == L'-' ? 1 : 0;
    if (index == text.size()) return false;
    for (; index < text.size(); ++index) {
        if (text[index] < L'0' || text[index] > L'9') return false;
        value = value * 10 + (text[index] - L'0');
        if (value > 2147483648LL) return false;
    }
    if (text[0] == L'-') value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return false;
    timeStamp = static_cast<std::int32_t>(value);
    return true;
}

int Run(const std::vector<std::wstring>& arguments)
{
    std::int32_t timeStamp = static_cast<std::int32_t>(std::time(nullptr));
    std::wstring method = L"POST";
    bool verbose = false;
    std::vector<std::wstring> operands;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == L"--time-stamp" && i + 1 < arguments.size()) {
            if (!ParseTimeStamp(arguments[++i], timeStamp)) return Usage();
        } else if (arguments[i] == L"--method" && i + 1 < arguments.size()) {
            method = arguments[++i];
        } else if (arguments[i] == L"--verbose") {
            verbose = true;
        } else if (arguments[i] == L"--") {
            operands.insert(operands.end(), arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1, arguments.end());
            break;
        } else {
            operands.push_back(arguments[i]);
        }
    }
    if (operands.size() != 2) return Usage();

    const SignedRequest request = SignRequest(operands[0], method, operands[1], Utf16ToUtf8(kStatAppKey),
                                              Utf16ToUtf8(kStatAppSecret), timeStamp);
    if (verbose) {
        std::printf("normalized: %s\nstring-to-sign: %s\nsignature: %s\nbody: ", request.normalized.c_str(),
                    request.stringToSign.c_str(), request.signature.c_str());
    }
    std::printf("%s\n", request.body.c_str());
    return 0;
}

}  // namespace

#ifdef _WIN32
// Windows hands the program its arguments as UTF-16 already.
int wmain(int argc, wchar_t** argv)
{
    return Run(std::vector<std::wstring>(argv, argv + argc));
}
#else
namespace {

// Elsewhere arguments are UTF-8; they are turned into the UTF-16 units a
// Windows command line would hold (surrogate pairs above U+FFFF). Invalid
// input is refused rather than guessed at.
bool DecodeArgument(const std::string& bytes, std::wstring& text)
{
    std::size_t index = 0;
    while (index < bytes.size()) {
        const unsigned char lead = static_cast<unsigned char>(bytes[index]);
        std::size_t length;
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC2 && lead < 0xE0) {
            length = 2;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            length = 3;
        } else if (lead >= 0xF0 && lead < 0xF5) {
            length = 4;
        } else {
            return false;
        }
        if (index + length > bytes.size()) return false;
        std::uint32_t value = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t next = 1; next < length; ++next) {
            const unsigned char byte = static_cast<unsigned char>(bytes[index + next]);
            if ((byte & 0xC0) != 0x80) return false;
            value = (value << 6) | (byte & 0x3F);
        }
        static const std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value < 0xE000)) return false;
        if (value >= 0x10000) {
            text.push_back(static_cast<wchar_t>(0xD800 + ((value - 0x10000) >> 10)));
            text.push_back(static_cast<wchar_t>(0xDC00 + ((value - 0x10000) & 0x3FF)));
        } else {
            text.push_back(static_cast<wchar_t>(value));
        }
        index += length;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::wstring> arguments;
    for (int i = 0; i < argc; ++i) {
        std::wstring text;
        if (!DecodeArgument(argv[i], text)) {
            std::fprintf(stderr, "tn-sign: argument %d is not UTF-8\n", i);
            return 2;
        }
        arguments.push_back(text);
    }
    return Run(arguments);
}
#endif
